#include "gui_harness.h"

#include "mainwindow/commandline.h"
#include "mainwindow/mainwindow.h"
#include "platform/names.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QUrl>

using namespace Qt::StringLiterals;

using Arguments = QList<QByteArray>;

// The command line: what it makes of a folder argument as a shell or a file
// manager passes it, and that --help, --version and an unknown option are
// answered without a display and without touching the settings file.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void folderArgumentOpensTheFolder_data();
    void folderArgumentOpensTheFolder();
    void answersWithoutDisplayOrSettings_data();
    void answersWithoutDisplayOrSettings();
    void qtOptionsLeftToTheApplication_data();
    void qtOptionsLeftToTheApplication();
};

void CommandLineTest::parse_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: the program starts
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("text");

    const QString here = QDir::currentPath();
    QTest::newRow("none") << Arguments{"kazami"} << -1 << QString() << QString();
    QTest::newRow("path/absolute with a blank")
        << Arguments{"kazami", "/tmp/a b"} << -1 << u"/tmp/a b"_s << QString();
    QTest::newRow("path/relative made absolute")
        << Arguments{"kazami", "sub/x"} << -1 << here + u"/sub/x"_s << QString();
    QTest::newRow("path/bytes not UTF-8 kept")
        << Arguments{"kazami", "/tmp/\xff\xfe"} << -1 << DecodeName("/tmp/\xff\xfe") << QString();
    QTest::newRow("path/after a double dash")
        << Arguments{"kazami", "--", "-odd"} << -1 << here + u"/-odd"_s << QString();
    QTest::newRow("uri/japanese and a blank percent-encoded")
        << Arguments{"kazami", "file:///tmp/%E6%97%A5%E6%9C%AC%20%E8%AA%9E"} << -1 << u"/tmp/日本 語"_s
        << QString();
    QTest::newRow("uri/raw UTF-8") << Arguments{"kazami", "file:///tmp/日本"} << -1 << u"/tmp/日本"_s
                                   << QString();
    QTest::newRow("uri/localhost and upper-case scheme")
        << Arguments{"kazami", "FILE://localhost/tmp/x"} << -1 << u"/tmp/x"_s << QString();
    QTest::newRow("uri/escape not UTF-8 kept") << Arguments{"kazami", "file:///tmp/%FF%41"} << -1
                                               << DecodeName("/tmp/\xff"
                                                             "A")
                                               << QString();
    QTest::newRow("uri/other host refused")
        << Arguments{"kazami", "file://server/share"} << 1 << QString() << u"file://server/share"_s;
    QTest::newRow("uri/other scheme refused")
        << Arguments{"kazami", "sftp://server/home"} << 1 << QString() << u"sftp://server/home"_s;
    QTest::newRow("uri/NUL escape refused")
        << Arguments{"kazami", "file:///tmp%00/etc"} << 1 << QString() << u"file:///tmp%00/etc"_s;
    QTest::newRow("help") << Arguments{"kazami", "--help"} << 0 << QString() << u"--version"_s;
    QTest::newRow("help/short with a folder")
        << Arguments{"kazami", "/tmp", "-h"} << 0 << QString() << u"FOLDER"_s;
    QTest::newRow("version") << Arguments{"kazami", "--version"} << 0 << QString()
                             << u"Kazami "_s + ProgramVersion() + u'\n';
    QTest::newRow("version/among Qt's own options")
        << Arguments{"kazami", "-platform", "offscreen", "-v"} << 0 << QString() << u"Kazami "_s;
    QTest::newRow("unknown option refused")
        << Arguments{"kazami", "--bogus", "/tmp"} << 1 << QString() << u"--bogus"_s;
    QTest::newRow("two folders refused")
        << Arguments{"kazami", "/tmp", "/var"} << 1 << QString() << u"one folder"_s;
}

void CommandLineTest::parse()
{
    QFETCH(Arguments, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, folder);
    QFETCH(QString, text);

    const CommandLine command = ParseCommandLine(arguments);
    QCOMPARE(command.exit, exitCode >= 0);
    if (command.exit)
        QCOMPARE(command.exitCode, exitCode);
    QCOMPARE(command.folder, folder);
    QVERIFY2(command.text.contains(text), qPrintable(command.text));
}

void CommandLineTest::folderArgumentOpensTheFolder_data()
{
    QTest::addColumn<bool>("asUri");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::newRow("path") << false << u"日本 語"_s << true;
    QTest::newRow("path/trailing separators") << false << u"日本 語//"_s << true;
    QTest::newRow("uri") << true << u"日本 語"_s << true;
    QTest::newRow("uri/trailing separator") << true << u"日本 語/"_s << true;
    QTest::newRow("missing folder") << false << u"無い"_s << false;
}

void CommandLineTest::folderArgumentOpensTheFolder()
{
    QFETCH(bool, asUri);
    QFETCH(QString, name);
    QFETCH(bool, exists);

    TempFolder root;
    root.addFolder(u"日本 語"_s);
    root.addFile(u"日本 語/a.txt"_s);
    root.addFile(u"b.txt"_s);
    const QString path = root.path() + u'/' + name;
    // A file manager passes the URI percent-encoded.
    const QByteArray argument = asUri ? QUrl::fromLocalFile(path).toEncoded() : path.toUtf8();
    if (asUri)
        QVERIFY(argument.contains("%20"));
    const CommandLine command = ParseCommandLine({"kazami", argument});
    QVERIFY(!command.exit);

    ProgramFolder program;
    AppSettings settings;
    RecordingMessageSink messages;
    const auto window = StartWindow(program, settings, root.path());
    QCOMPARE(window->list().count(), 1);
    window->OpenFolder(command.folder);

    QString shown = path;
    StripTrailingSeparators(shown);
    QCOMPARE(window->findChild<QLineEdit *>(u"txtPath"_s)->text(), shown);
    QCOMPARE(settings.CurrentFolder, shown);
    if (exists) {
        QCOMPARE(window->list().count(), 1);
        QCOMPARE(window->list().at(1).Name, u"a.txt"_s);
    } else {
        QCOMPARE(window->list().count(), 0);
    }
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.texts().join(u'|')));
}

void CommandLineTest::answersWithoutDisplayOrSettings_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("printed"); // on the standard output for 0, else the error

    const QString usage = u"Usage: kazami [OPTION] [FOLDER]"_s;
    QTest::newRow("version") << QStringList{u"--version"_s} << 0
                             << QStringList{u"Kazami "_s + ProgramVersion() + u'\n'};
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << QStringList{usage};
    QTest::newRow("unknown option") << QStringList{u"--bogus"_s} << 1
                                    << QStringList{u"unknown option: --bogus"_s, usage};
    QTest::newRow("unknown option after a folder")
        << QStringList{u"/tmp"_s, u"--bogus"_s} << 1 << QStringList{u"unknown option: --bogus"_s, usage};
    QTest::newRow("unknown option after a platform") << QStringList{u"-platform"_s, u"xcb"_s, u"--bogus"_s}
                                                     << 1 << QStringList{u"unknown option: --bogus"_s, usage};
}

void CommandLineTest::answersWithoutDisplayOrSettings()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, printed);

    const QString built = qEnvironmentVariable("KAZAMI_EXECUTABLE");
    if (built.isEmpty())
        QFAIL("KAZAMI_EXECUTABLE names no program: run this test through ctest");
    // A copy of its own in a writable folder, where a settings file would
    // land beside it.
    TempFolder bin;
    TempFolder xdg;
    const QString program = bin.filePath(u"kazami"_s);
    QVERIFY(QFile::copy(built, program));

    // Without a platform or a display, starting the application would fail.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
        environment.remove(name);
    environment.insert(u"XDG_CONFIG_HOME"_s, xdg.path());
    environment.insert(u"XDG_STATE_HOME"_s, xdg.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(bin.path());
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, qPrintable(error));
    for (const QString &text : printed)
        QVERIFY2((exitCode == 0 ? output : error).contains(text), qPrintable(output + error));
    QVERIFY((exitCode == 0 ? error : output).isEmpty());
    QCOMPARE(bin.names(), QStringList{u"kazami"_s});
    QCOMPARE(xdg.names(), QStringList());
}

void CommandLineTest::qtOptionsLeftToTheApplication_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: the program starts
    QTest::addColumn<QString>("folder");

    QTest::newRow("platform with its value, then a folder")
        << Arguments{"kazami", "-platform", "offscreen", "/tmp"} << -1 << u"/tmp"_s;
    QTest::newRow("two dashes, a joined value, an option alone")
        << Arguments{"kazami", "--style=Fusion", "-reverse", "--qwindowtitle", "t", "/tmp"} << -1
        << u"/tmp"_s;
    QTest::newRow("unknown option among Qt's own")
        << Arguments{"kazami", "-platform", "xcb", "--bogus"} << 1 << QString();
    QTest::newRow("a Qt option's value is no folder")
        << Arguments{"kazami", "-display", ":9"} << -1 << QString();
}

void CommandLineTest::qtOptionsLeftToTheApplication()
{
    QFETCH(Arguments, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, folder);

    const CommandLine command = ParseCommandLine(WithoutQtOptions(arguments));
    QCOMPARE(command.exit, exitCode >= 0);
    if (command.exit)
        QCOMPARE(command.exitCode, exitCode);
    QCOMPARE(command.folder, folder);
}

QTEST_MAIN(CommandLineTest)
#include "commandline_test.moc"
