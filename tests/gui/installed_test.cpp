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
// folder named on the command line (else the one it lists first, which it
// prints), its a.txt renamed, then closed, which saves the settings. Every
// message goes to the standard error.
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
        if (!folder.isEmpty())
            window.OpenFolder(folder);
        std::printf("%s\n", EncodeName(window.list().Folder()).constData());
        int row = 1;
        while (row <= window.list().count() && window.list().at(row).Name != u"a.txt")
            ++row;
        if (row > window.list().count())
            return 11;
        FileEntry entry = window.list().ReadRow(row);
        entry.Preview = u"renamed.txt"_s;
        window.list().WriteRow(row, entry);
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

// A user's folders under top (home, config, state, runtime, one more), and
// a copy of this program as programFolder/kazami.
void LayOut(TempFolder &top, const QString &programFolder)
{
    for (const QString &name : {programFolder, u"config"_s, u"state"_s, u"runtime"_s, u"home"_s, u"work"_s})
        top.addFolder(name);
    QVERIFY(::chmod(QFile::encodeName(top.filePath(u"runtime"_s)).constData(), 0700) == 0);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), top.filePath(programFolder + u"/kazami"_s)));
}

// Runs the copy as the user whose folders are under top, as nobody when
// asked; output is what it printed.
void RunCopy(const TempFolder &top, const QString &program, const QStringList &arguments, bool asNobody,
             QString &output)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"HOME"_s, top.filePath(u"home"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, top.filePath(u"config"_s));
    environment.insert(u"XDG_STATE_HOME"_s, top.filePath(u"state"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, top.filePath(u"runtime"_s));
    QStringList all = QStringList{QString::fromLatin1(RunArgument)} + arguments;
    QString command = program;
    if (asNobody) {
        all = QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, program} + all;
        command = u"setpriv"_s;
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(top.filePath(u"home"_s));
    process.start(command, all);
    QVERIFY(process.waitForFinished(120000));
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, qPrintable(u"exit code %1\n"_s.arg(process.exitCode()) + error));
    output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

// Installed use: an installed copy, told by its place or by a program
// folder it cannot write, keeps the settings file and the change log in the
// user's XDG folders and first lists the home folder; a portable copy keeps
// them beside itself.
class InstalledTest : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyProgramFolderUsesXdgFolders();
    void installedCopyKnownByItsPlace_data();
    void installedCopyKnownByItsPlace();
};

void InstalledTest::readOnlyProgramFolderUsesXdgFolders()
{
    const bool root = ::geteuid() == 0;
    if (root && QProcess::execute(u"setpriv"_s, {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                                                 u"true"_s}) != 0)
        QSKIP("running as root, and cannot run a program as an unprivileged user");

    TempFolder top;
    LayOut(top, u"bin"_s);
    top.addFile(u"work/a.txt"_s, "content");
    const QString bin = top.filePath(u"bin"_s);
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

    QString output;
    RunCopy(top, bin + u"/kazami"_s, {top.filePath(u"work"_s)}, root, output);
    if (QTest::currentTestFailed())
        return;

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

void InstalledTest::installedCopyKnownByItsPlace_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<bool>("desktopEntry");
    QTest::addColumn<bool>("installed");

    // Root can write any bin folder (and a user their own): only the place tells.
    QTest::newRow("installed/bin beside share/applications") << u"bin"_s << true << true;
    QTest::newRow("portable/bin without the desktop entry") << u"bin"_s << false << false;
    QTest::newRow("portable/other folder beside share/applications") << u"kazami"_s << true << false;
}

void InstalledTest::installedCopyKnownByItsPlace()
{
    QFETCH(QString, programFolder);
    QFETCH(bool, desktopEntry);
    QFETCH(bool, installed);

    TempFolder top;
    LayOut(top, programFolder);
    if (desktopEntry) {
        const QString entry = qEnvironmentVariable("KAZAMI_DESKTOP_ENTRY");
        QVERIFY2(!entry.isEmpty(), "KAZAMI_DESKTOP_ENTRY names no file: run this test through ctest");
        top.addFolder(u"share"_s);
        top.addFolder(u"share/applications"_s);
        QVERIFY(QFile::copy(entry, top.filePath(u"share/applications/kazami.desktop"_s)));
    }
    top.addFile(u"home/a.txt"_s, "home");
    top.addFile(programFolder + u"/a.txt"_s, "beside");
    const QString bin = top.filePath(programFolder);

    // A first run: no folder named, no settings file yet.
    QString listed;
    RunCopy(top, bin + u"/kazami"_s, {}, false, listed);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(listed, installed ? top.filePath(u"home"_s) : bin);
    QVERIFY(Names(listed).contains(u"renamed.txt"_s));
    if (installed) {
        QCOMPARE(Names(bin), (QStringList{u"a.txt"_s, u"kazami"_s}));
        QCOMPARE(Names(top.filePath(u"config/Kazami"_s)), QStringList{u"Kazami.ini"_s});
        QCOMPARE(Names(top.filePath(u"state/Kazami"_s)), QStringList{u"Kazami.Log"_s});
    } else {
        QCOMPARE(Names(bin), (QStringList{u"Kazami.Log"_s, u"Kazami.ini"_s, u"kazami"_s, u"renamed.txt"_s}));
        QCOMPARE(Names(top.filePath(u"config"_s)), QStringList());
        QCOMPARE(Names(top.filePath(u"state"_s)), QStringList());
    }
    const auto log = ReadChangeLog(
        top.content(installed ? u"state/Kazami/Kazami.Log"_s : programFolder + u"/Kazami.Log"_s));
    QVERIFY(log);
    QCOMPARE(log->folder, listed);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc >= 2 && RunArgument == argv[1])
        return InstalledRun(argc == 3 ? DecodeName(argv[2]) : QString());
    InstalledTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "installed_test.moc"
