// The rename run under other programs, other users, odd file systems and
// full disks: each case on a real folder where the fault is real there (an
// exFAT file system through FUSE, a full tmpfs, another user through
// setpriv), else through the file-system double.
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/repair.h"
#include "engine/scan.h"
#include "engine/undo.h"
#include "engine/validation.h"
#include "platform/names.h"
#include "settings/paths.h"
#include "settings/settingsfile.h"
#include "support/failingfilesystem.h"
#include "support/pathfs.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/runplan.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString Aborted = u"置換を中止します"_s;
const QString CheckedRenameTitle = u"上書きを防げないファイルシステムです"_s;

// A folder to rename in, a program folder for the log, the list, a window
// and the messages.
struct Run
{
    TempFolder folder;
    TempFolder program;
    FileList list;
    AppSettings settings;
    RenameWindowRecorder window{list, settings, SortNameAscending};
    RecordingMessageSink sink;

    explicit Run(const QString &renamed = {})
    {
        SetProgramFolderOverride(program.path());
        settings.CurrentFolder = renamed.isEmpty() ? folder.path() : renamed;
        settings.FilePattern = u"*"_s;
        settings.ShowHidden = true;
    }
    ~Run() { SetProgramFolderOverride({}); }

    void scan() { InputData(list, settings, SortNameAscending); }
    void preview(const QString &name, const QString &preview, const QString &attributes = {})
    {
        for (int row = 1; row <= list.count(); ++row) {
            FileEntry entry = list.ReadRow(row);
            if (entry.Name != name)
                continue;
            entry.Preview = preview;
            if (!attributes.isEmpty()) {
                entry.Attributes = attributes;
                entry.HiddenByName = false;
            }
            list.WriteRow(row, entry);
        }
    }
    bool run(QList<bool> answers = {true})
    {
        sink.scriptAnswers(std::move(answers));
        return ExecuteRename(list, settings, window);
    }
    QString logPath() const { return program.filePath(u"Kazami.Log"_s); }
};

bool Succeeds(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString Output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A file system of its own, mounted for the lifetime of the object, where
// this machine allows it (as root): exFAT through FUSE on a loop device, or
// a tmpfs of a given size.
class Mount final
{
public:
    static std::unique_ptr<Mount> Exfat()
    {
        auto mount = std::unique_ptr<Mount>(new Mount);
        const QString image = mount->m_scratch.filePath(u"exfat.img"_s);
        if (::geteuid() != 0 || !Succeeds(u"truncate"_s, {u"-s"_s, u"16M"_s, image}) ||
            !Succeeds(u"mkfs.exfat"_s, {image}))
            return nullptr;
        mount->m_loop = Output(u"losetup"_s, {u"-f"_s, u"--show"_s, image});
        if (!mount->m_loop.startsWith(u"/dev/loop"_s) ||
            !Succeeds(u"mount.exfat-fuse"_s, {mount->m_loop, mount->path()}))
            return nullptr;
        mount->m_mounted = true;
        return mount;
    }
    static std::unique_ptr<Mount> Tmpfs(const QString &size)
    {
        auto mount = std::unique_ptr<Mount>(new Mount);
        if (::geteuid() != 0 || !Succeeds(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size="_s + size,
                                                       u"tmpfs"_s, mount->path()}))
            return nullptr;
        mount->m_mounted = true;
        return mount;
    }
    ~Mount()
    {
        if (m_mounted)
            Succeeds(u"umount"_s, {u"-l"_s, path()});
        if (!m_loop.isEmpty())
            Succeeds(u"losetup"_s, {u"-d"_s, m_loop});
    }
    Mount(const Mount &) = delete;
    Mount &operator=(const Mount &) = delete;

    QString path() const { return m_scratch.filePath(u"mnt"_s); }

private:
    Mount() { m_scratch.addFolder(u"mnt"_s); }

    TempFolder m_scratch;
    QString m_loop;
    bool m_mounted = false;
};

QStringList Names(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class RunSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void checkedRenameOnlyAfterYes_data();
    void checkedRenameOnlyAfterYes();
    void exfatAsksOnceAndKeepsDotFileMarks();
    void scanOffersTheRepair();
    void folderPutInPlaceOfTheScannedOne();
    void listedEntryReplacedBeforeTheRun_data();
    void listedEntryReplacedBeforeTheRun();
    void folderLockedByAnotherCopy();
    void stoppedTrialOnAFullDiskKeepsThePreviousLog();
    void previousLogThatCannotComeBack();
    void fileLeftUnderItsTrialName();
    void changeLogOfAnyLength();
    void settingsValuesNeverBreakLines_data();
    void settingsValuesNeverBreakLines();
    void anotherOwnersFileFailsInTheTrial();
    void shortSambaRecordIsUnappliable();
    void quotedNames_data();
    void quotedNames();
};

void RunSafetyTest::checkedRenameOnlyAfterYes_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("no: nothing renamed") << false;
    QTest::newRow("yes: the run completes") << true;
}

void RunSafetyTest::checkedRenameOnlyAfterYes()
{
    // A file system that has neither renameat2's no-replace flag nor hard
    // links: only a check and a rename remain, which the user must accept.
    QFETCH(bool, accept);
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);
    FailingFileSystem fs;
    fs.noAtomicRename = true;
    QCOMPARE(run.run({true, accept}), accept);

    const QList<RecordingMessageSink::Message> &messages = run.sink.messages();
    QCOMPARE(messages.size(), accept ? 2 : 3);
    QCOMPARE(messages.at(1).title, CheckedRenameTitle);
    QVERIFY(messages.at(1).question && messages.at(1).defaultNo);
    QVERIFY(messages.at(1).text.contains(u"他のプログラムでこのフォルダに書き込まないでください"_s));
    QCOMPARE(run.folder.content(u"a.txt"_s), QByteArray(accept ? "b" : "a"));
    QCOMPARE(run.folder.content(u"b.txt"_s), QByteArray(accept ? "a" : "b"));
    if (!accept) {
        QCOMPARE(messages.at(2).text, Aborted);
        // The previous state of the log folder: this run renamed nothing.
        QVERIFY(ReadChangeLog(run.program.content(u"Kazami.Log"_s))->incomplete);
    }
}

void RunSafetyTest::exfatAsksOnceAndKeepsDotFileMarks()
{
    const std::unique_ptr<Mount> exfat = Mount::Exfat();
    if (!exfat)
        QSKIP("an exFAT file system cannot be mounted here (needs root, losetup, mkfs.exfat, exfat-fuse)");
    const QString folder = exfat->path();
    for (const char *name : {"a.txt", "b.txt", ".env"}) {
        QFile file(folder + u'/' + QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    for (const bool accept : {false, true}) {
        Run run(folder);
        run.scan();
        QCOMPARE(run.list.count(), 3);
        run.preview(u"a.txt"_s, u"b.txt"_s);
        run.preview(u"b.txt"_s, u"a.txt"_s);
        // The user marks the dot-file hidden by hand: at its own name, which
        // begins with a period, nothing needs writing, so a file system
        // without user attributes is no obstacle.
        run.preview(u".env"_s, u".env"_s, u"- H -"_s);
        QCOMPARE(run.run({true, accept}), accept);
        QCOMPARE(run.sink.messages().at(1).title, CheckedRenameTitle);
        int asked = 0;
        for (const RecordingMessageSink::Message &m : run.sink.messages())
            asked += m.title == CheckedRenameTitle;
        QCOMPARE(asked, 1);
    }
    QFile a(folder + u"/a.txt"_s);
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), QByteArray("b.txt"));
    QCOMPARE(Names(folder), (QStringList{u".env"_s, u"a.txt"_s, u"b.txt"_s}));
}

void RunSafetyTest::scanOffersTheRepair()
{
    // A run killed in its trial and phase 1: two files under temporary names.
    Run run;
    run.settings.FilePattern = u"*.txt"_s;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"c.txt"_s);
    run.preview(u"b.txt"_s, u"d.txt"_s);
    std::vector<FileEntry> rows{run.list.at(1), run.list.at(2)};
    QVERIFY(!run.program.addFile(u"Kazami.Log"_s, ComposeChangeLog(run.folder.path(), rows, true)).isEmpty());
    QVERIFY(RenameByPath(run.folder.filePath(u"a.txt"_s), run.folder.filePath(u"__KZM_X_.001"_s)));
    QVERIFY(RenameByPath(run.folder.filePath(u"b.txt"_s), run.folder.filePath(u"__KZM_X_.002x"_s)));
    run.scan();

    // Not while another run holds the folder: its temporary names are its own.
    {
        const FolderHandle other = Fs().OpenFolder(run.folder.path());
        const LockAttempt held = Fs().LockFolder(other);
        QVERIFY(held.lock);
        QCOMPARE(OfferRepair(run.list), RepairOffer::NotNeeded);
        QVERIFY(run.sink.messages().isEmpty());
    }
    run.sink.scriptAnswers({false});
    QCOMPARE(OfferRepair(run.list), RepairOffer::Declined);
    QVERIFY(run.sink.texts().at(0).contains(u"一時名（__KZM_X_.）のファイルが 2 個あります"_s));
    // The run refuses with one message for both leftovers.
    run.sink.clear();
    QVERIFY(!run.run());
    QCOMPARE(run.sink.texts().size(), 2);
    QVERIFY(run.sink.texts().at(0).contains(u"フォルダに 2 個あります"_s));

    run.sink.clear();
    run.sink.scriptAnswers({true});
    QCOMPARE(OfferRepair(run.list), RepairOffer::Repaired);
    QCOMPARE(run.sink.messages().size(), 1);
    QCOMPARE(run.folder.names(), (QStringList{u"a.txt"_s, u"b.txt"_s}));

    // Another folder's log offers nothing.
    QVERIFY(RenameByPath(run.folder.filePath(u"a.txt"_s), run.folder.filePath(u"__KZM_X_.001"_s)));
    run.program.addFile(u"Kazami.Log"_s, ComposeChangeLog(u"/elsewhere"_s, rows, true));
    run.scan();
    QCOMPARE(OfferRepair(run.list), RepairOffer::NotNeeded);
}

void RunSafetyTest::folderPutInPlaceOfTheScannedOne()
{
    // Two camera folders with the same names; the path scanned is a link,
    // re-pointed to the other folder before the run.
    TempFolder top;
    top.addFolder(u"one"_s);
    top.addFolder(u"two"_s);
    for (const QString &sub : {u"one"_s, u"two"_s})
        top.addFile(sub + u"/IMG_0001.JPG"_s, sub.toUtf8());
    const QByteArray link = EncodeName(top.filePath(u"camera"_s));
    QCOMPARE(::symlink("one", link.constData()), 0);
    Run run(top.filePath(u"camera"_s));
    run.scan();
    run.preview(u"IMG_0001.JPG"_s, u"trip.JPG"_s);
    QCOMPARE(::unlink(link.constData()), 0);
    QCOMPARE(::symlink("two", link.constData()), 0);

    QVERIFY(!run.run());
    QCOMPARE(run.sink.messages().size(), 2);
    QVERIFY(run.sink.texts().at(0).contains(u"一覧を読み込んだ後で別のものに置き換えられた"_s));
    QCOMPARE(run.sink.texts().at(1), Aborted);
    QCOMPARE(Names(top.filePath(u"one"_s)), QStringList{u"IMG_0001.JPG"_s});
    QCOMPARE(Names(top.filePath(u"two"_s)), QStringList{u"IMG_0001.JPG"_s});
    QVERIFY(!QFile::exists(run.logPath()));
}

void RunSafetyTest::listedEntryReplacedBeforeTheRun_data()
{
    QTest::addColumn<bool>("byFolder");
    QTest::newRow("by a folder") << true;
    QTest::newRow("by another file") << false;
}

void RunSafetyTest::listedEntryReplacedBeforeTheRun()
{
    QFETCH(bool, byFolder);
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"x.txt"_s);
    run.preview(u"b.txt"_s, u"y.txt"_s);
    // Another program puts its own entry in the file's place.
    if (byFolder) {
        QVERIFY(QFile::remove(run.folder.filePath(u"b.txt"_s)));
        run.folder.addFolder(u"b.txt"_s);
    } else {
        run.folder.addFile(u"incoming"_s, "someone else's");
        QCOMPARE(::rename(EncodeName(run.folder.filePath(u"incoming"_s)).constData(),
                          EncodeName(run.folder.filePath(u"b.txt"_s)).constData()),
                 0);
    }

    QVERIFY(!run.run());
    QVERIFY(run.sink.texts().at(1).startsWith(u"b.txt　の変換（リネーム）ができません"_s));
    QCOMPARE(run.list.CurrentRow(), 2);
    QCOMPARE(run.folder.names(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
}

void RunSafetyTest::folderLockedByAnotherCopy()
{
    // Another copy of the program, with a change log of its own, renames in
    // the same folder: this run refuses before it asks anything.
    Run run;
    run.folder.addFile(u"a.txt"_s);
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    const FolderHandle other = Fs().OpenFolder(run.folder.path());
    const LockAttempt held = Fs().LockFolder(other);
    QVERIFY(held.lock);
    QVERIFY(!run.run());
    QCOMPARE(run.sink.texts(),
             (QStringList{u"別のウィンドウで置換を実行中です．\r\n終わってから，もう一度実行してください"
                          u"\r\n\r\n"_s +
                              run.folder.path(),
                          Aborted}));
    QCOMPARE(run.folder.names(), QStringList{u"a.txt"_s});
}

void RunSafetyTest::stoppedTrialOnAFullDiskKeepsThePreviousLog()
{
    const std::unique_ptr<Mount> small = Mount::Tmpfs(u"256k"_s);
    if (!small)
        QSKIP("a tmpfs cannot be mounted here (needs root)");
    Run run;
    SetProgramFolderOverride(small->path());
    for (const char *name : {"a.txt", "b.txt"})
        run.folder.addFile(QString::fromLatin1(name), name);
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);
    QVERIFY(run.run());
    const QByteArray previous = Fs().ReadFile(ChangeLogPath()).value_or(QByteArray());
    QVERIFY(!ReadChangeLog(previous)->incomplete);

    // The next run's trial fails on a file, and the disk fills up meanwhile.
    run.preview(u"a.txt"_s, u"c.txt"_s);
    FailingFileSystem fs;
    bool filled = false;
    fs.beforeOperation = [&](int, const FailingFileSystem::Operation &op) {
        if (filled || op.kind != u"RenameNoReplace"_s)
            return;
        QFile filler(small->path() + u"/filler"_s);
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        filled = true;
    };
    fs.refuse = [&](const FailingFileSystem::Operation &op) {
        return op.kind == u"RenameNoReplace"_s && op.path.endsWith(u"/b.txt"_s);
    };
    run.sink.clear();
    QVERIFY(!run.run());
    QVERIFY(filled);
    // The log of the run that did rename is back, byte for byte, and can
    // still be undone; nothing was exchanged by this one.
    QCOMPARE(Fs().ReadFile(ChangeLogPath()).value_or(QByteArray()), previous);
    QCOMPARE(run.folder.content(u"a.txt"_s), QByteArray("b.txt"));
    run.scan();
    QVERIFY(PrepareUndo(run.list));
    QCOMPARE(run.list.count(), 2);
}

void RunSafetyTest::previousLogThatCannotComeBack()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);
    QVERIFY(run.run());

    // The swap again, stopped in its trial, and the old log cannot be moved
    // back: the stopped run's log goes, so that undo never exchanges files
    // that were never renamed.
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);
    FailingFileSystem fs;
    fs.refuse = [&](const FailingFileSystem::Operation &op) {
        return (op.kind == u"RenameNoReplace"_s && op.path.endsWith(u"/b.txt"_s)) ||
               (op.kind == u"MoveFileOver"_s && op.target.endsWith(u"/Kazami.Log"_s));
    };
    run.sink.clear();
    QVERIFY(!run.run());
    QVERIFY(run.sink.texts().contains(
        u"前回の置換の変更記録を元に戻せませんでした．\r\n中止した置換の変更記録は消しました．\r\n"
        u"前回の置換は「直前の置換を元に戻す」では戻せません．前回の変更記録はここにあります：\r\n"_s +
        run.program.filePath(u"Kazami.Log.prev"_s)));
    QVERIFY(!QFile::exists(run.logPath()));
    run.scan();
    QVERIFY(!PrepareUndo(run.list));
    QCOMPARE(run.folder.content(u"a.txt"_s), QByteArray("b"));
}

void RunSafetyTest::fileLeftUnderItsTrialName()
{
    // The trial renames a file away and cannot bring it back: its old name
    // stays in the log for the repair, and the message names both names.
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"b.txt"_s, u"c.txt"_s);
    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) {
        return op.kind == u"RenameNoReplace"_s && op.path.endsWith(u"__KZM_X_.002x"_s);
    };
    QVERIFY(!run.run());
    QVERIFY(run.sink.texts().at(1).contains(u"b.txt　は一時名 __KZM_X_.002x のまま戻せませんでした．"_s));
    const std::optional<ChangeLogRecord> log = ReadChangeLog(run.program.content(u"Kazami.Log"_s));
    QVERIFY(log && log->incomplete);
    QCOMPARE(log->RowOfTemporary(u"__KZM_X_.002x"_s)->oldName, u"b.txt"_s);

    fs.refuse = {};
    run.scan();
    run.sink.clear();
    run.sink.scriptAnswers({true});
    QCOMPARE(OfferRepair(run.list), RepairOffer::Repaired);
    QCOMPARE(run.folder.names(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
}

void RunSafetyTest::changeLogOfAnyLength()
{
    // 130,000 files with 250-byte names make a log of more than 64 MiB.
    std::vector<FileEntry> rows(130000);
    for (size_t k = 0; k < rows.size(); ++k) {
        rows[k].Name = QString::number(k).rightJustified(250, u'n');
        rows[k].Preview = QString::number(k).rightJustified(250, u'p');
    }
    TempFolder logs;
    const QString path = logs.addFile(u"Kazami.Log"_s, ComposeChangeLog(u"/photos"_s, rows));
    QVERIFY(QFileInfo(path).size() > 64 * 1024 * 1024);
    const std::optional<QByteArray> content = Fs().ReadFile(path);
    QVERIFY(content);
    const std::optional<ChangeLogRecord> log = ReadChangeLog(*content);
    QVERIFY(log);
    QCOMPARE(log->rows.size(), rows.size());
    QCOMPARE(log->RowOfTemporary(TempName(130000))->oldName, rows.back().Name);
}

void RunSafetyTest::settingsValuesNeverBreakLines_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("replaceFrom");
    QTest::newRow("CR that would start new settings")
        << u"/tmp/evil\rFalse\rFalse\rFalse\rpython3"_s << u"x"_s;
    QTest::newRow("LF and CR LF") << u"/tmp/a\nb\r\nc"_s << u"line\nbreak"_s;
    QTest::newRow("the escape itself") << u"C:\\new\\r"_s << u"\\\\n"_s;
}

void RunSafetyTest::settingsValuesNeverBreakLines()
{
    QFETCH(QString, folder);
    QFETCH(QString, replaceFrom);
    AppSettings written;
    written.CurrentFolder = folder;
    written.ReplaceFrom = replaceFrom;
    written.ExternalProgram = u"Explorer"_s;
    written.ShowHidden = false;
    const QByteArray content = ComposeSettings(written);
    // Every value on its own line: the 31 lines and the three added choices.
    QCOMPARE(content.count("\r\n"), 34);
    QCOMPARE(content.count('\r'), 34);
    QCOMPARE(content.count('\n'), 34);
    AppSettings read;
    QVERIFY(ReadSettings(content, read));
    QCOMPARE(read.CurrentFolder, folder);
    QCOMPARE(read.ReplaceFrom, replaceFrom);
    QCOMPARE(read.ExternalProgram, u"Explorer"_s);
    QCOMPARE(read.ShowHidden, false);
}

void RunSafetyTest::anotherOwnersFileFailsInTheTrial()
{
    // A colleague's file in a shared folder, mode 0644: the owner bit says
    // writable, yet this user cannot write its user attributes.
    if (::geteuid() != 0 ||
        !Succeeds(u"setpriv"_s, {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, u"true"_s}))
        QSKIP("needs root and setpriv to run as another user");
    TempFolder top;
    top.addFolder(u"shared"_s);
    top.addFolder(u"logs"_s);
    top.addFile(u"shared/theirs.txt"_s, "theirs");
    top.addFile(u"shared/mine.txt"_s, "mine");
    for (const char *name : {"", "/shared", "/logs"})
        QCOMPARE(::chmod(QByteArray(top.encodedPath() + name).constData(), 0777), 0);
    QCOMPARE(::chown(EncodeName(top.filePath(u"shared/mine.txt"_s)).constData(), 65534, 65534), 0);
    WritePlan(top.filePath(u"logs/plan"_s),
              {{u"theirs.txt"_s, u"theirs.txt"_s, u"- H -"_s}, {u"mine.txt"_s, u"ours.txt"_s, u"- - -"_s}});
    const ChildRun run =
        RunChild(top.filePath(u"shared"_s), top.filePath(u"logs"_s), top.filePath(u"logs/plan"_s), 0, 65534);
    QVERIFY(!run.killed && !run.completed);
    QVERIFY2(run.messages.join(u'|').contains(u"theirs.txt　の変換（リネーム）ができません"_s),
             qPrintable(run.messages.join(u'|')));
    QCOMPARE(Names(top.filePath(u"shared"_s)), (QStringList{u"mine.txt"_s, u"theirs.txt"_s}));
}

void RunSafetyTest::shortSambaRecordIsUnappliable()
{
    // Samba records cut shorter than their version's structure: read, but
    // never patched, and the row is refused in the trial.
    const QByteArray version5("\0\0\x05\0\x05\0\0\0\x01\0\0\0\x22\0\0\0", 16);
    const QByteArray version1("0x22\0\0\x01\0\x01\0\0\0\x22\0\0\0", 16);
    for (const QByteArray &record : {version5, version1}) {
        Run run;
        run.folder.addFile(u"a.txt"_s);
        if (::setxattr(EncodeName(run.folder.filePath(u"a.txt"_s)).constData(), "user.DOSATTRIB",
                       record.constData(), size_t(record.size()), 0) != 0)
            QSKIP("this file system keeps no user attributes");
        run.scan();
        QCOMPARE(run.list.at(1).Attributes, MakeAttrText(AttrHidden));
        run.preview(u"a.txt"_s, u"a.txt"_s, u"- - S"_s);
        QVERIFY(!run.run());
        QVERIFY(run.sink.texts().at(1).startsWith(u"a.txt　の変換（リネーム）ができません"_s));
        QByteArray stored(64, '\0');
        stored.truncate(::getxattr(EncodeName(run.folder.filePath(u"a.txt"_s)).constData(), "user.DOSATTRIB",
                                   stored.data(), 64));
        QCOMPARE(stored, record);
    }
}

void RunSafetyTest::quotedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("short name as it is") << u"<b>bold</b>.txt"_s << u"<b>bold</b>.txt"_s;
    QTest::newRow("line breaks on one line") << u"a\r\nb"_s << u"a/r/nb"_s;
    const QString longName = QString(150, u'a') + QString(150, u'z');
    QTest::newRow("long name cut in its middle")
        << longName << QString(100, u'a') + u"…"_s + QString(99, u'z');
    QString pairs;
    for (int k = 0; k < 150; ++k)
        pairs += u"😀"_s;
    QTest::newRow("never half a character") << pairs << pairs.left(100) + u"…"_s + pairs.right(98);
}

void RunSafetyTest::quotedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, quoted);
    QCOMPARE(QuoteName(name), quoted);
    QVERIFY(QuoteName(QString(1000000, u'x')).size() <= 200);
}

QTEST_GUILESS_MAIN(RunSafetyTest)
#include "run_safety_test.moc"
