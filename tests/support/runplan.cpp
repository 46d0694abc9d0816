#include "support/runplan.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

void WritePlan(const QString &path, const std::vector<Planned> &plan)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the plan");
    for (const Planned &p : plan)
        file.write((p.name + u'\t' + p.preview + u'\t' + p.attributes + u'\n').toUtf8());
}

std::vector<Planned> ReadPlan(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the plan");
    std::vector<Planned> plan;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(u'\t');
        if (fields.size() == 3)
            plan.push_back({fields[0], fields[1], fields[2]});
    }
    return plan;
}

ChildRun RunChild(const QString &folder, const QString &logFolder, const QString &planPath, int killAt,
                  int asUser)
{
    const QString program = qEnvironmentVariable("KAZAMI_RUN_CHILD");
    if (program.isEmpty())
        qFatal("KAZAMI_RUN_CHILD names no program");
    QStringList arguments{folder, logFolder, planPath, QString::number(killAt)};
    QString command = program;
    if (asUser >= 0) {
        arguments.prepend(program);
        arguments = QStringList{QStringLiteral("--reuid=%1").arg(asUser),
                                QStringLiteral("--regid=%1").arg(asUser), QStringLiteral("--clear-groups")} +
                    arguments;
        command = QStringLiteral("setpriv");
    }
    QProcess child;
    child.start(command, arguments);
    if (!child.waitForFinished(60000))
        qFatal("the child does not end");
    ChildRun run;
    run.killed = child.exitStatus() == QProcess::CrashExit;
    const QStringList words = QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
    if (words.size() >= 4) {
        run.operations = words.at(1).toInt();
        run.completed = words.at(3).trimmed() == u"1";
    }
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    run.messages = errors.split(QStringLiteral("\n--\n"), Qt::SkipEmptyParts);
    return run;
}
