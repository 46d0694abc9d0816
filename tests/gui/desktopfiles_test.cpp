#include "mainwindow/commandline.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A key file as the desktop reads it: groups of key=value lines. Anything
// else on a line, a key given twice or a key outside a group is an error.
struct KeyFile
{
    QMap<QString, QMap<QString, QString>> groups;
    QStringList errors;
};

KeyFile ReadKeyFile(const QString &path)
{
    KeyFile file;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        file.errors.append(u"cannot open "_s + path);
        return file;
    }
    static const QRegularExpression keyLine(u"^([A-Za-z0-9-]+(\\[[A-Za-z_@.]+\\])?)\\s*=\\s*(.*)$"_s);
    QString group;
    int number = 0;
    for (const QByteArray &raw : in.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw);
        if (line.toUtf8() != raw)
            file.errors.append(u"line %1 is not UTF-8"_s.arg(number));
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            if (file.groups.contains(group))
                file.errors.append(u"group %1 twice"_s.arg(group));
            file.groups[group];
            continue;
        }
        const QRegularExpressionMatch match = keyLine.match(line);
        if (!match.hasMatch() || group.isEmpty()) {
            file.errors.append(u"line %1 is no key: %2"_s.arg(number).arg(line));
            continue;
        }
        if (file.groups[group].contains(match.captured(1)))
            file.errors.append(u"key %1 twice"_s.arg(match.captured(1)));
        file.groups[group].insert(match.captured(1), match.captured(3));
    }
    return file;
}

QString Dist(const char *name)
{
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/../dist/") + QLatin1StringView(name);
}

// The folder Kazami opens when a file manager runs the line exec with the
// field code replaced by folder.
QString OpenedFolder(const QString &exec, const QString &folder)
{
    QStringList words = exec.split(u' ', Qt::SkipEmptyParts);
    QList<QByteArray> arguments;
    for (const QString &word : words)
        arguments.append(word.startsWith(u'%') ? folder.toUtf8() : word.toUtf8());
    if (arguments.value(0) != "kazami")
        return u"runs "_s + QString::fromUtf8(arguments.value(0));
    const CommandLine command = ParseCommandLine(arguments);
    return command.exit ? command.text : command.folder;
}

// What desktop-file-validate says of a file, its warnings and errors.
QStringList Validate(const QString &path)
{
    QProcess validator;
    validator.start(u"desktop-file-validate"_s, {path});
    if (!validator.waitForFinished(30000))
        return {u"desktop-file-validate did not run"_s};
    QStringList said;
    for (const QString &line :
         QString::fromUtf8(validator.readAllStandardOutput() + validator.readAllStandardError())
             .split(u'\n', Qt::SkipEmptyParts))
        said.append(line.section(u": "_s, 1));
    return said;
}

} // namespace

class DesktopFilesTest : public QObject
{
    Q_OBJECT

private slots:
    // The application's entry never registers Kazami for folders: that made
    // it the folder opener of desktops without one set.
    void entryOpensNoFolders()
    {
        const KeyFile entry = ReadKeyFile(Dist("kazami.desktop"));
        QVERIFY2(entry.errors.isEmpty(), qPrintable(entry.errors.join(u'\n')));
        const auto main = entry.groups.value(u"Desktop Entry"_s);
        QCOMPARE(main.value(u"Type"_s), u"Application"_s);
        QVERIFY(!main.value(u"MimeType"_s).contains(u"inode/directory"_s));
        QCOMPARE(Validate(Dist("kazami.desktop")), QStringList());
    }

    void kdeServiceMenuOpensTheFolder()
    {
        const KeyFile menu = ReadKeyFile(Dist("kazami-rename.desktop"));
        QVERIFY2(menu.errors.isEmpty(), qPrintable(menu.errors.join(u'\n')));
        const auto main = menu.groups.value(u"Desktop Entry"_s);
        QCOMPARE(main.value(u"Type"_s), u"Service"_s);
        QVERIFY(main.value(u"MimeType"_s).split(u';').contains(u"inode/directory"_s));
        const QStringList actions = main.value(u"Actions"_s).split(u';', Qt::SkipEmptyParts);
        QCOMPARE(actions.size(), 1);
        const auto action = menu.groups.value(u"Desktop Action "_s + actions.constFirst());
        QCOMPARE(action.value(u"Name"_s), u"Rename files with Kazami"_s);
        QCOMPARE(action.value(u"Name[ja]"_s), u"Kazami で名前を一括変更"_s);
        QCOMPARE(action.value(u"Icon"_s), u"kazami"_s);
        QCOMPARE(OpenedFolder(action.value(u"Exec"_s), u"/home/u/写真 2024"_s), u"/home/u/写真 2024"_s);
        // The validator knows only applications' keys: a service menu's own
        // keys are all it may find fault with.
        QStringList said = Validate(Dist("kazami-rename.desktop"));
        said.removeAll(u"error: key \"MimeType\" is present in group \"Desktop Entry\", but the type is "
                       "\"Service\" while this key is only valid for type \"Application\""_s);
        said.removeAll(u"error: key \"Actions\" is present in group \"Desktop Entry\", but the type is "
                       "\"Service\" while this key is only valid for type \"Application\""_s);
        QCOMPARE(said, QStringList());
    }

    void nemoActions_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("extensions");
        QTest::newRow("on a folder") << u"kazami-rename.nemo_action"_s << u"s"_s << u"dir;"_s;
        QTest::newRow("in a folder") << u"kazami-rename-here.nemo_action"_s << u"none"_s << u"any;"_s;
    }

    void nemoActions()
    {
        QFETCH(QString, file);
        QFETCH(QString, selection);
        QFETCH(QString, extensions);
        const KeyFile action = ReadKeyFile(Dist(file.toLatin1().constData()));
        QVERIFY2(action.errors.isEmpty(), qPrintable(action.errors.join(u'\n')));
        QCOMPARE(action.groups.keys(), QStringList({u"Nemo Action"_s}));
        const auto keys = action.groups.value(u"Nemo Action"_s);
        QCOMPARE(keys.value(u"Name"_s), u"Rename files with Kazami"_s);
        QCOMPARE(keys.value(u"Name[ja]"_s), u"Kazami で名前を一括変更"_s);
        QCOMPARE(keys.value(u"Selection"_s), selection);
        QCOMPARE(keys.value(u"Extensions"_s), extensions);
        QCOMPARE(keys.value(u"Icon-Name"_s), u"kazami"_s);
        // Quoted, a folder with blanks in its name stays one argument.
        QCOMPARE(keys.value(u"Quote"_s), u"double"_s);
        QVERIFY(keys.value(u"Dependencies"_s).split(u';').contains(u"kazami"_s));
        const QString exec = keys.value(u"Exec"_s);
        QVERIFY2(exec.contains(selection == u"s" ? u"%F"_s : u"%P"_s), qPrintable(exec));
        QCOMPARE(OpenedFolder(exec, u"/home/u/写真 2024"_s), u"/home/u/写真 2024"_s);
    }
};

QTEST_MAIN(DesktopFilesTest)
#include "desktopfiles_test.moc"
