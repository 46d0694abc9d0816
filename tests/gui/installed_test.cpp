#include "gui_harness.h"

#include "engine/changelog.h"
#include "mainwindow/mainwindow.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray RunArgument = "--installed-run";
// The unprivileged user a root test runs the program as.
const uid_t Nobody = 65534;

// The program as a user starts it from an install: the real settings, the
// folder named on the command line, one file renamed, then closed, which
// saves the settings. Every message goes to the standard error.
int InstalledRun(const QString &folder)
{
    RecordingMessageSink messages;
    int result = 0;
    {
        AppSettings settings;
        MainWindow window(settings);
        if (!window.FormLoad())
            return 10;
        window.show();
        window.OpenFolder(folder);
        if (window.list().count() != 1)
            return 11;
        FileEntry row = window.list().ReadRow(1);
        row.Preview = u"renamed.txt"_s;
        window.list().WriteRow(1, row);
        messages.scriptAnswers({true});
        window.findChild<QPushButton *>(u"cmdExe"_s)->click();
        if (!window.RenameDone())
            result = 12;
        window.close();
    }
    for (const RecordingMessageSink::Message &message : messages.messages()) {
        std::fprintf(stderr, "message: %s\n", message.text.toUtf8().constData());
        if (message.icon == MessageIcon::Critical || message.icon == MessageIcon::Exclamation)
            result = result ? result : 13;
    }
    return result;
}

QStringList Names(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

void ChangeOwner(const QString &path, uid_t user)
{
    QVERIFY(::chown(QFile::encodeName(path).constData(), user, user) == 0);
    QDirIterator all(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                     QDirIterator::Subdirectories);
    while (all.hasNext())
        QVERIFY(::lchown(QFile::encodeName(all.next()).constData(), user, user) == 0);
}

} // namespace

// Installed use: where the program's folder cannot be written, the settings
// file and the change log go to the user's XDG folders, and a rename run
// completes there.
class InstalledTest : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyProgramFolderUsesXdgFolders();
};

void InstalledTest::readOnlyProgramFolderUsesXdgFolders()
{
    const bool root = ::geteuid() == 0;
    if (root && QProcess::execute(u"setpriv"_s, {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                                                 u"true"_s}) != 0)
        QSKIP("running as root, and cannot run a program as an unprivileged user");

    TempFolder top;
    for (const QString &name : {u"bin"_s, u"config"_s, u"state"_s, u"runtime"_s, u"home"_s, u"work"_s})
        top.addFolder(name);
    top.addFile(u"work/a.txt"_s, "content");
    const QString bin = top.filePath(u"bin"_s);
    const QString program = bin + u"/kazami"_s;
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QVERIFY(::chmod(QFile::encodeName(top.filePath(u"runtime"_s)).constData(), 0700) == 0);
    if (root)
        ChangeOwner(top.path(), Nobody);
    QVERIFY(::chmod(QFile::encodeName(bin).constData(), 0555) == 0);
    struct RestoreWrite
    {
        QString folder;
        ~RestoreWrite() { ::chmod(QFile::encodeName(folder).constData(), 0755); }
    } restore{bin};
    if (!root && ::access(QFile::encodeName(bin).constData(), W_OK) == 0)
        QSKIP("this user can write a folder of mode 0555");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"HOME"_s, top.filePath(u"home"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, top.filePath(u"config"_s));
    environment.insert(u"XDG_STATE_HOME"_s, top.filePath(u"state"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, top.filePath(u"runtime"_s));
    QStringList arguments{QString::fromLatin1(RunArgument), top.filePath(u"work"_s)};
    QString command = program;
    if (root) {
        arguments =
            QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, program} + arguments;
        command = u"setpriv"_s;
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(top.filePath(u"home"_s));
    process.start(command, arguments);
    QVERIFY(process.waitForFinished(120000));
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, qPrintable(u"exit code %1\n"_s.arg(process.exitCode()) + error));

    QCOMPARE(Names(top.filePath(u"bin"_s)), QStringList{u"kazami"_s});
    QCOMPARE(Names(top.filePath(u"work"_s)), QStringList{u"renamed.txt"_s});
    QCOMPARE(Names(top.filePath(u"config/Kazami"_s)), QStringList{u"Kazami.ini"_s});
    QCOMPARE(Names(top.filePath(u"state/Kazami"_s)), QStringList{u"Kazami.Log"_s});
    // The settings remember the folder the command line named; the log
    // belongs to it.
    QVERIFY(top.content(u"config/Kazami/Kazami.ini"_s).contains(top.filePath(u"work"_s).toUtf8()));
    const auto log = ReadChangeLog(top.content(u"state/Kazami/Kazami.Log"_s));
    QVERIFY(log);
    QCOMPARE(log->folder, top.filePath(u"work"_s));
    // The folders made for the user are the user's alone.
    for (const QString &made : {u"config/Kazami"_s, u"state/Kazami"_s}) {
        const QFileInfo info(top.filePath(made));
        QCOMPARE(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                       QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QCOMPARE(info.ownerId(), root ? Nobody : ::geteuid());
    }
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && RunArgument == argv[1])
        return InstalledRun(DecodeName(argv[2]));
    InstalledTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "installed_test.moc"
