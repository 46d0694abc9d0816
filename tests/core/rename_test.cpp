#include "engine/changelog.h"
#include "engine/folderrenamer.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"
#include "support/failingfilesystem.h"
#include "support/pathfs.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/tempfolder.h"

#include <QTest>
#include <sys/xattr.h>

using namespace Qt::StringLiterals;

namespace {

const QString ConfirmTitle = u"置換の実行"_s;
const QString ConfirmText =
    u"ファイルの置換を実行します．\r\n（置換の実行中はなるべく他の事をしないでください）\r\n\r\nよろしいですね？"_s;
const QString Aborted = u"置換を中止します"_s;
const QString FatalTitle = u"ごめんなさい，致命的なエラーです．"_s;
QString FatalText()
{
    return u"ちょっとヤバイ状態になったかも知れません\r\n対処法 ： Kazami.Log というファイルを探し，メモ帳で開いてください\r\n"_s +
           ChangeLogPath() + u"\r\nごめんなさい．でも責任はとりかねます"_s;
}
const QString RepairTitle = u"修復に挑戦！！"_s;
const QString RepairText =
    u"ファイル名の修復に挑戦します．よろしいですね？\r\n（他のアプリケーションが実行中の場合は，終了するまでお待ちください）"_s;
const QString TrialTitle = u"変換に失敗しました"_s;
const QByteArray Header =
    "///// Kazami \xE5\xA4\x89\xE6\x9B\xB4\xE8\xA8\x98\xE9\x8C\xB2 /////////////////////////////";

QString TrialText(const QString &name)
{
    return name +
           u"　の変換（リネーム）ができません\r\n他のファイルが使用しているか，消された可能性があります．"_s;
}

// One folder to rename, a program folder for the log, the list and a window.
struct Run
{
    TempFolder folder;
    TempFolder program;
    FileList list;
    AppSettings settings;
    RenameWindowRecorder window{list, settings, SortNameAscending};

    Run() { SetProgramFolderOverride(program.path()); }
    ~Run() { SetProgramFolderOverride({}); }

    void scan()
    {
        settings.CurrentFolder = folder.path();
        settings.FilePattern = u"*.*"_s;
        InputData(list, settings, SortNameAscending);
    }
    int rowOf(const QString &name) const
    {
        for (int row = 1; row <= list.count(); ++row) {
            if (list.at(row).Name == name)
                return row;
        }
        return 0;
    }
    void preview(const QString &name, const QString &preview)
    {
        const int row = rowOf(name);
        QVERIFY2(row > 0, qPrintable(name));
        FileEntry entry = list.ReadRow(row);
        entry.Preview = preview;
        list.WriteRow(row, entry);
    }
    void attributes(const QString &name, const QString &text)
    {
        const int row = rowOf(name);
        QVERIFY2(row > 0, qPrintable(name));
        FileEntry entry = list.ReadRow(row);
        entry.Attributes = text;
        list.WriteRow(row, entry);
    }
    QString logPath() const { return program.filePath(u"Kazami.Log"_s); }
    QByteArray log() const { return program.content(u"Kazami.Log"_s); }
    // Each file's content by name.
    QMap<QString, QByteArray> contents() const
    {
        QMap<QString, QByteArray> out;
        for (const QString &name : folder.names())
            out.insert(name, folder.content(name));
        return out;
    }
};

void RepairFolder(const QString &folder)
{
    FolderRenamer renamer(Fs().OpenFolder(folder));
    RepairFromLog(renamer);
}

QString OldNameOf(const ChangeLogRecord &log, const QString &tempName)
{
    const ChangeLogRow *row = log.RowOfTemporary(tempName);
    return row ? row->oldName : QString();
}

} // namespace

class RenameTest : public QObject
{
    Q_OBJECT

private slots:
    void exchangesCyclesCaseAndPlain();
    void logLinesForEveryRow();
    void nothingChangedStillAppliesAttributes();
    void attributesFollowTheRowNotTheScan();
    void decliningChangesNothing();
    void refusedPreviewStopsAtItsRow();
    void duplicatesMarkTheirRows();
    void leftoverTemporaryNameBlocks();
    void trialFailureReportsEveryRow();
    void trialRefusesUnwritableAttributes();
    void logThatCannotBeWrittenStopsTheRun();
    void newcomerIsNeverReplaced();
    void declinedRepairLeavesLoggedNames();
    void namesThatAreNotUtf8();
    void changeLogReadsBackEveryName();
    void repairFindsNamesHoldingTheSeparator();
    void repairRefusesAnotherFoldersLog();
    void periodHiddenStaysWithTheName();
    void twoRunsAtOnceKeepTheirOwnLists();
    void heldLogRefusesTheRun();
    void portableCopyRenamesItsOwnFolder();
};

void RenameTest::exchangesCyclesCaseAndPlain()
{
    Run run;
    const QStringList names{u"a.txt"_s, u"b.txt"_s, u"m.txt"_s, u"p.txt"_s,
                            u"u.txt"_s, u"x.txt"_s, u"y.txt"_s, u"z.txt"_s};
    for (const QString &name : names)
        run.folder.addFile(name, "content of " + name.toUtf8());
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);
    run.preview(u"m.txt"_s, u"M.txt"_s);
    run.preview(u"p.txt"_s, u"q.txt"_s);
    run.preview(u"x.txt"_s, u"y.txt"_s);
    run.preview(u"y.txt"_s, u"z.txt"_s);
    run.preview(u"z.txt"_s, u"x.txt"_s);
    run.list.setCurrentRow(3);

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));

    QCOMPARE(sink.messages().size(), 1);
    QCOMPARE(sink.messages().at(0).text, ConfirmText);
    QCOMPARE(sink.messages().at(0).title, ConfirmTitle);
    QCOMPARE(sink.messages().at(0).icon, MessageIcon::None);
    QVERIFY(sink.messages().at(0).question);
    QCOMPARE(run.window.calls(),
             (QStringList{u"ClearCurrentRow"_s, u"SetBusy(true)"_s, u"SetBusy(false)"_s, u"Rescan"_s}));

    const QMap<QString, QByteArray> expected{
        {u"a.txt"_s, "content of b.txt"}, {u"b.txt"_s, "content of a.txt"}, {u"M.txt"_s, "content of m.txt"},
        {u"q.txt"_s, "content of p.txt"}, {u"u.txt"_s, "content of u.txt"}, {u"x.txt"_s, "content of z.txt"},
        {u"y.txt"_s, "content of x.txt"}, {u"z.txt"_s, "content of y.txt"}};
    QCOMPARE(run.contents(), expected);
    QCOMPARE(run.list.count(), 8);
    for (int row = 1; row <= run.list.count(); ++row)
        QVERIFY(IsUnchanged(run.list.at(row)));
    QCOMPARE(run.list.CurrentRow(), 0);
}

void RenameTest::logLinesForEveryRow()
{
    Run run;
    run.folder.addFile(u"IMG_0001.JPG"_s);
    run.folder.addFile(u"IMG_0002.JPG"_s);
    run.folder.addFile(u"IMG_0003.JPG"_s);
    run.scan();
    run.preview(u"IMG_0001.JPG"_s, u"Trip001.JPG"_s);
    run.preview(u"IMG_0003.JPG"_s, u"旅行003.JPG"_s);
    run.settings.CurrentFolder += u"/"_s;

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    // The unchanged row is logged too, since the trial renames it; the mark
    // of a run not yet complete is gone once every file has its name.
    const QByteArray expected = Header + "\r\nPath= " + run.folder.path().toUtf8() +
                                "\r\nIMG_0001.JPG > __KZM_X_.001 > Trip001.JPG\r\n"
                                "IMG_0002.JPG > __KZM_X_.002 > IMG_0002.JPG\r\n"
                                "IMG_0003.JPG > __KZM_X_.003 > " +
                                u"旅行003.JPG"_s.toUtf8() + "\r\n";
    QCOMPARE(run.log(), expected);
    QCOMPARE(run.folder.names(), (QStringList{u"IMG_0002.JPG"_s, u"Trip001.JPG"_s, u"旅行003.JPG"_s}));
}

void RenameTest::nothingChangedStillAppliesAttributes()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.attributes(u"b.txt"_s, MakeAttrText(AttrReadOnly));

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.log(), Header + "\r\nPath= " + run.folder.path().toUtf8() +
                            "\r\na.txt > __KZM_X_.001 > a.txt\r\nb.txt > __KZM_X_.002 > b.txt\r\n");
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"b.txt"_s)).value_or(-1) & AttrReadOnly,
             int(AttrReadOnly));
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"a.txt"_s)).value_or(-1) & AttrReadOnly, 0);
    QCOMPARE(run.list.at(run.rowOf(u"b.txt"_s)).Attributes, MakeAttrText(AttrReadOnly));
    run.folder.setReadOnly(u"b.txt"_s, false);
}

void RenameTest::attributesFollowTheRowNotTheScan()
{
    Run run;
    run.folder.addFile(u"a.txt"_s);
    run.folder.addFile(u"b.txt"_s);
    run.scan();
    // Another program makes the files read-only after the scan; the rows
    // still say writable, and that is what the user confirmed.
    run.folder.setReadOnly(u"a.txt"_s, true);
    run.folder.setReadOnly(u"b.txt"_s, true);
    run.preview(u"b.txt"_s, u"c.txt"_s);

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"a.txt"_s)), std::optional<int>(0));
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"c.txt"_s)), std::optional<int>(0));

    // Rows whose attributes already hold are not written at all.
    FailingFileSystem fs;
    run.preview(u"c.txt"_s, u"d.txt"_s);
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    for (const FailingFileSystem::Operation &op : fs.operations())
        QVERIFY(op.kind != u"WriteAttributes"_s && op.kind != u"CanWriteAttributes"_s);
}

void RenameTest::decliningChangesNothing()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.program.addFile(u"Kazami.Log"_s, "older log");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"c.txt"_s);
    run.list.setHighlighted(1, true);

    RecordingMessageSink sink;
    sink.scriptAnswers({false});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.texts(), (QStringList{ConfirmText, Aborted}));
    QCOMPARE(run.log(), QByteArray("older log"));
    QCOMPARE(run.contents(), (QMap<QString, QByteArray>{{u"a.txt"_s, "a"}, {u"b.txt"_s, "b"}}));
    QCOMPARE(run.window.calls(), (QStringList{u"ClearCurrentRow"_s, u"SetBusy(true)"_s, u"SetBusy(false)"_s,
                                              u"FocusList"_s, u"ClearCurrentRow"_s}));
    QCOMPARE(run.list.highlightedCount(), 0);
    // The previews stay for another try.
    QCOMPARE(run.list.at(1).Preview, u"b.txt"_s);
}

void RenameTest::refusedPreviewStopsAtItsRow()
{
    Run run;
    for (const char *name : {"1.txt", "2.txt", "3.txt", "4.txt"})
        run.folder.addFile(QString::fromLatin1(name));
    run.scan();
    run.preview(u"2.txt"_s, u"abc."_s);
    run.preview(u"3.txt"_s, u"a?b"_s);

    RecordingMessageSink sink;
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.texts(), (QStringList{u"abc.\r\nファイル名の最後をピリオドにはできません"_s, Aborted}));
    QCOMPARE(run.list.CurrentRow(), 2);
    QVERIFY(run.list.highlighted(2));
    QCOMPARE(run.list.highlightedCount(), 1);
    QCOMPARE(run.window.calls(), (QStringList{u"ClearCurrentRow"_s, u"SetBusy(true)"_s, u"SetBusy(false)"_s,
                                              u"FocusList"_s, u"EnableRowCommands"_s}));
    QVERIFY(!QFile::exists(run.logPath()));
    QCOMPARE(run.folder.names(), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s, u"4.txt"_s}));
}

void RenameTest::duplicatesMarkTheirRows()
{
    Run run;
    run.folder.addFile(u"a.txt"_s);
    run.folder.addFile(u"b.txt"_s);
    run.folder.addFolder(u"docs"_s);
    run.scan();
    run.preview(u"a.txt"_s, u"DOCS"_s);

    RecordingMessageSink sink;
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    // One box for the collision, then the run stops at the listed row that
    // collides with the unlisted folder.
    QCOMPARE(sink.texts().size(), 2);
    QStringList lines = sink.texts().at(0).split(u"\r\n"_s);
    lines.sort();
    QCOMPARE(lines, (QStringList{u"DOCSが重複します"_s, u"docsが重複します"_s}));
    QCOMPARE(sink.texts().at(1), Aborted);
    QCOMPARE(run.list.CurrentRow(), 1);
    QCOMPARE(run.list.highlightedCount(), 1);
    QCOMPARE(run.window.calls().last(), u"EnableRowCommands"_s);
    QVERIFY(!QFile::exists(run.logPath()));
}

void RenameTest::leftoverTemporaryNameBlocks()
{
    Run run;
    run.folder.addFile(u"a.txt"_s);
    run.folder.addFile(u"__KZM_X_.003"_s);
    run.settings.CurrentFolder = run.folder.path();
    run.settings.FilePattern = u"*.txt"_s;
    InputData(run.list, run.settings, SortNameAscending);
    run.preview(u"a.txt"_s, u"b.txt"_s);

    RecordingMessageSink sink;
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.texts().size(), 2);
    QVERIFY(sink.texts().at(0).startsWith(u"このプログラムでは [ __KZM_X_ ] という文字は使えません"_s));
    QCOMPARE(sink.texts().at(1), Aborted);
    QCOMPARE(run.folder.names(), (QStringList{u"__KZM_X_.003"_s, u"a.txt"_s}));
}

void RenameTest::trialFailureReportsEveryRow()
{
    Run run;
    for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        run.folder.addFile(QString::fromLatin1(name), name);
    run.scan();
    run.preview(u"a.txt"_s, u"e.txt"_s);
    run.preview(u"c.txt"_s, u"f.txt"_s);

    // Files in use by another program: the first rename away fails.
    FailingFileSystem fs;
    fs.refuse = [&](const FailingFileSystem::Operation &op) {
        return op.kind == u"RenameNoReplace"_s &&
               (op.path == run.folder.filePath(u"b.txt"_s) || op.path == run.folder.filePath(u"c.txt"_s));
    };
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    // One box for the whole trial: the first file, and how many more.
    QCOMPARE(sink.texts(),
             (QStringList{ConfirmText,
                          TrialText(u"b.txt"_s) +
                              u"\r\n\r\nほかに 1 個のファイルも変換できません（一覧で選択しています）"_s,
                          Aborted}));
    QCOMPARE(sink.messages().at(1).title, TrialTitle);
    QCOMPARE(sink.messages().at(1).icon, MessageIcon::Critical);
    QCOMPARE(run.list.CurrentRow(), 3);
    QVERIFY(run.list.highlighted(2) && run.list.highlighted(3));
    QCOMPARE(run.list.highlightedCount(), 2);
    QVERIFY(run.log().startsWith(Header));
    QCOMPARE(
        run.contents(),
        (QMap<QString, QByteArray>{
            {u"a.txt"_s, "a.txt"}, {u"b.txt"_s, "b.txt"}, {u"c.txt"_s, "c.txt"}, {u"d.txt"_s, "d.txt"}}));
}

void RenameTest::trialRefusesUnwritableAttributes()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"c.txt"_s);
    run.attributes(u"b.txt"_s, MakeAttrText(AttrReadOnly));

    // A file of another owner: its attributes cannot change.
    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) { return op.kind == u"CanWriteAttributes"_s; };
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.texts(), (QStringList{ConfirmText, TrialText(u"b.txt"_s), Aborted}));
    QCOMPARE(run.list.CurrentRow(), 2);
    QCOMPARE(run.contents(), (QMap<QString, QByteArray>{{u"a.txt"_s, "a"}, {u"b.txt"_s, "b"}}));
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"b.txt"_s)), std::optional<int>(0));
}

void RenameTest::logThatCannotBeWrittenStopsTheRun()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);

    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) { return op.kind == u"ReplaceFile"; };
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.messages().size(), 3);
    QCOMPARE(sink.messages().at(1).icon, MessageIcon::Critical);
    QVERIFY(sink.messages().at(1).text.contains(u"Kazami.Log"_s));
    QCOMPARE(sink.messages().at(2).text, Aborted);
    for (const FailingFileSystem::Operation &op : fs.operations())
        QVERIFY(op.kind != u"RenameNoReplace"_s);
    QCOMPARE(run.folder.names(), QStringList{u"a.txt"_s});
}

void RenameTest::newcomerIsNeverReplaced()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"p.txt"_s, "p");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"p.txt"_s, u"q.txt"_s);

    // Another program creates q.txt just before phase 2 gives that name.
    FailingFileSystem fs;
    fs.beforeOperation = [&](int, const FailingFileSystem::Operation &op) {
        if (op.kind == u"RenameNoReplace"_s && op.target == run.folder.filePath(u"q.txt"_s))
            run.folder.addFile(u"q.txt"_s, "newcomer");
    };
    RecordingMessageSink sink;
    sink.scriptAnswers({true, true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.messages().size(), 3);
    QCOMPARE(sink.messages().at(1).text, FatalText());
    QCOMPARE(sink.messages().at(1).title, FatalTitle);
    QCOMPARE(sink.messages().at(1).icon, MessageIcon::Critical);
    QCOMPARE(sink.messages().at(2).text, RepairText);
    QCOMPARE(sink.messages().at(2).title, RepairTitle);
    QVERIFY(sink.messages().at(2).question);
    // Row 1 was finished; row 2's file is back under its old name.
    QCOMPARE(run.contents(),
             (QMap<QString, QByteArray>{{u"b.txt"_s, "a"}, {u"p.txt"_s, "p"}, {u"q.txt"_s, "newcomer"}}));
    QCOMPARE(run.window.calls().last(), u"Rescan"_s);
    QCOMPARE(run.list.count(), 3);
}

void RenameTest::declinedRepairLeavesLoggedNames()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.folder.addFile(u"b.txt"_s, "b");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    run.preview(u"b.txt"_s, u"a.txt"_s);

    FailingFileSystem fs;
    // Fail the second rename of phase 1 (after four trial renames).
    int renames = 0;
    fs.refuse = [&](const FailingFileSystem::Operation &op) {
        return op.kind == u"RenameNoReplace"_s && ++renames == 6;
    };
    RecordingMessageSink sink;
    sink.scriptAnswers({true, false});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.contents(), (QMap<QString, QByteArray>{{u"__KZM_X_.001"_s, "a"}, {u"b.txt"_s, "b"}}));
    QVERIFY(run.log().contains("a.txt > __KZM_X_.001 > b.txt\r\n"));

    // The next run refuses to start until the leftover is dealt with.
    fs.refuse = {};
    sink.clear();
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QVERIFY(sink.texts().first().startsWith(u"このプログラムでは [ __KZM_X_ ] という文字は使えません"_s));
    // The repair on its own brings it back.
    RepairFolder(run.folder.path());
    QCOMPARE(run.contents(), (QMap<QString, QByteArray>{{u"a.txt"_s, "a"}, {u"b.txt"_s, "b"}}));
}

void RenameTest::namesThatAreNotUtf8()
{
    Run run;
    const QByteArray rawOld("\x83\x65\x83\x58\x83\x67.txt"); // cp932
    run.folder.addRawFile(rawOld, "old bytes");
    run.folder.addFile(u"plain.txt"_s, "plain");
    run.scan();
    const QString oldName = DecodeName(rawOld);
    const int oldRow = run.rowOf(oldName);
    run.preview(oldName, u"テスト.txt"_s);
    run.preview(u"plain.txt"_s, DecodeName(QByteArray("\xffplain.txt")));

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.folder.rawNames(),
             (QList<QByteArray>{u"テスト.txt"_s.toUtf8(), QByteArray("\xffplain.txt")}));
    QCOMPARE(run.folder.content(u"テスト.txt"_s), QByteArray("old bytes"));
    // The log keeps the exact bytes, so the repair can give them back.
    const QByteArray tempName = TempName(oldRow).toUtf8();
    QVERIFY(run.log().contains(
        QByteArray(rawOld + " > " + tempName + " > " + u"テスト.txt"_s.toUtf8() + "\r\n")));
    Fs().RemoveFile(run.folder.filePath(DecodeName(QByteArray("\xffplain.txt"))));

    QCOMPARE(OldNameOf(*ReadChangeLog(run.log()), TempName(oldRow)), oldName);
}

void RenameTest::changeLogReadsBackEveryName()
{
    std::vector<FileEntry> rows(1000);
    for (size_t k = 0; k < rows.size(); ++k) {
        rows[k].Name = QString::number(k + 1) + u".txt"_s;
        rows[k].Preview = rows[k].Name;
    }
    rows[999].Preview = u"thousand.txt"_s;
    // " > " is legal in a name on Linux, and so are CR and LF.
    rows[0].Name = u"a > b.txt"_s;
    rows[0].Preview = u"c > d.txt"_s;
    rows[1].Name = u"x\r\ny > .txt"_s;
    rows[1].Preview = u"xy.txt"_s;
    const QString folder = u"/tmp/we\\ird\r\nfolder"_s;
    const QByteArray log = ComposeChangeLog(folder, rows);
    const QStringList lines = DecodeNameLines(log);
    // Every row is logged, unchanged ones too: the trial renames them all.
    QCOMPARE(lines.size(), 1002);
    QCOMPARE(lines.at(0), QString::fromUtf8(Header));
    QCOMPARE(lines.at(2), u"a > b.txt > __KZM_X_.001 > c > d.txt"_s);
    QCOMPARE(lines.at(101), u"100.txt > __KZM_X_.100 > 100.txt"_s);

    const std::optional<ChangeLogRecord> record = ReadChangeLog(log);
    QVERIFY(record);
    QCOMPARE(record->folder, folder);
    QCOMPARE(OldNameOf(*record, u"__KZM_X_.001"_s), u"a > b.txt"_s);
    QCOMPARE(OldNameOf(*record, u"__KZM_X_.002x"_s), u"x\r\ny > .txt"_s);
    QCOMPARE(OldNameOf(*record, u"__KZM_X_.1000"_s), u"1000.txt"_s);
    QCOMPARE(OldNameOf(*record, u"__KZM_X_.100"_s), u"100.txt"_s);
    QVERIFY(!record->incomplete);
    QVERIFY(!ReadChangeLog(QByteArray("just one line\r\n")));

    // An editor may save it with LF line ends and a byte order mark.
    QByteArray edited = "\xEF\xBB\xBF" + log;
    edited.replace("\r\n", "\n");
    const std::optional<ChangeLogRecord> reread = ReadChangeLog(edited);
    QVERIFY(reread);
    QCOMPARE(reread->folder, folder);
    QCOMPARE(reread->rows.size(), size_t(1000));
    QCOMPARE(OldNameOf(*reread, u"__KZM_X_.002"_s), u"x\r\ny > .txt"_s);
}

void RenameTest::repairFindsNamesHoldingTheSeparator()
{
    Run run;
    run.folder.addFile(u"a > b.txt"_s, "ab");
    run.folder.addFile(u"c.txt"_s, "c");
    run.folder.addRawFile(QByteArray("line\r\nbreak.txt"), "lb");
    run.scan();
    run.preview(u"a > b.txt"_s, u"ab.txt"_s);
    run.preview(u"c.txt"_s, u"d.txt"_s);
    run.preview(u"line\r\nbreak.txt"_s, u"one line.txt"_s);

    // Phase 2 fails on its first rename: every file carries its temporary name.
    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) {
        return op.kind == u"RenameNoReplace"_s && op.path.contains(u"__KZM_X_."_s) &&
               !op.path.endsWith(u'x') && !op.target.endsWith(u'x');
    };
    RecordingMessageSink sink;
    sink.scriptAnswers({true, false});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.folder.names().filter(u"__KZM_X_."_s).size(), 3);

    fs.refuse = {};
    RepairFolder(run.folder.path());
    QCOMPARE(run.contents(), (QMap<QString, QByteArray>{
                                 {u"a > b.txt"_s, "ab"}, {u"c.txt"_s, "c"}, {u"line\r\nbreak.txt"_s, "lb"}}));
}

void RenameTest::repairRefusesAnotherFoldersLog()
{
    Run run;
    run.folder.addFile(u"__KZM_X_.001"_s, "mine");
    std::vector<FileEntry> rows(1);
    rows[0].Name = u"theirs.txt"_s;
    rows[0].Preview = u"new.txt"_s;
    QVERIFY(run.program.addFile(u"Kazami.Log"_s, ComposeChangeLog(u"/some/other/folder"_s, rows)).size() > 0);

    RecordingMessageSink sink;
    RepairFolder(run.folder.path());
    QCOMPARE(run.folder.names(), QStringList{u"__KZM_X_.001"_s});
    QCOMPARE(sink.messages().size(), 1);
    QVERIFY(sink.texts().at(0).startsWith(u"変更記録は別のフォルダのものです"_s));
    QVERIFY(sink.texts().at(0).contains(u"/some/other/folder"_s));
}

void RenameTest::periodHiddenStaysWithTheName()
{
    Run run;
    run.folder.addFile(u".env"_s, "env");
    run.folder.addFile(u".profile"_s, "profile");
    run.settings.ShowHidden = true;
    run.scan();
    QCOMPARE(run.list.at(run.rowOf(u".env"_s)).Attributes, u"- H -"_s);
    run.preview(u".env"_s, u"env"_s);

    // No user attribute may be written anywhere: a file system without them
    // must take this run as well. The unchanged dot-file passes validation.
    FailingFileSystem fs;
    fs.refuse = [](const FailingFileSystem::Operation &op) {
        return op.kind == u"WriteAttributes"_s || op.kind == u"CanWriteAttributes"_s;
    };
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.folder.names(), (QStringList{u".profile"_s, u"env"_s}));
    QCOMPARE(ReadAttributesOf(run.folder.filePath(u"env"_s)), std::optional<int>(0));
    char value[64];
    QVERIFY(::lgetxattr(EncodeName(run.folder.filePath(u"env"_s)).constData(), "user.DOSATTRIB", value,
                        sizeof value) < 0);
}

void RenameTest::twoRunsAtOnceKeepTheirOwnLists()
{
    // A second run on another folder checks its duplicates while the first
    // one's temporary file is still on disk: each reads its own list back.
    Run first;
    first.folder.addFile(u"a.txt"_s);
    first.folder.addFile(u"b.txt"_s);
    first.scan();
    first.preview(u"a.txt"_s, u"b.txt"_s);
    TempFolder other;
    other.addFile(u"c.txt"_s);
    FileList otherList;
    AppSettings otherSettings;
    otherSettings.CurrentFolder = other.path();
    InputData(otherList, otherSettings, SortNameAscending);

    FailingFileSystem fs;
    bool otherPassed = false;
    bool interleaved = false;
    fs.beforeOperation = [&](int, const FailingFileSystem::Operation &op) {
        if (interleaved || op.kind != u"ReadFile"_s || !op.path.contains(DuplicateCheckFilePrefix))
            return;
        interleaved = true;
        otherPassed = CheckDuplicates(otherList, otherSettings);
    };
    RecordingMessageSink sink;
    QVERIFY(!CheckDuplicates(first.list, first.settings));
    QVERIFY(interleaved);
    QVERIFY(otherPassed);
    QCOMPARE(sink.texts(), QStringList{u"b.txtが重複します\r\nb.txtが重複します"_s});
}

void RenameTest::heldLogRefusesTheRun()
{
    Run run;
    run.folder.addFile(u"a.txt"_s, "a");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);
    QVERIFY(run.program.addFile(u"Kazami.Log"_s, "another run's log").size() > 0);

    // Another window's run holds the log from its writing to its end.
    LockAttempt other = Fs().LockExclusive(GetLogFolder());
    QVERIFY(other.lock);
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(sink.messages().size(), 2);
    QVERIFY(!sink.messages().at(0).question);
    QVERIFY(sink.texts().at(0).startsWith(u"別のウィンドウで置換を実行中です．"_s));
    QCOMPARE(sink.texts().at(1), Aborted);
    QCOMPARE(run.log(), QByteArray("another run's log"));
    QCOMPARE(run.folder.names(), QStringList{u"a.txt"_s});

    other.lock.reset();
    sink.clear();
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.folder.names(), QStringList{u"b.txt"_s});
}

void RenameTest::portableCopyRenamesItsOwnFolder()
{
    // A portable copy lists its own folder on a first run, and the change
    // log lies in the folder renamed: its lock is the folder's lock, and the
    // run goes through. Another copy renaming there still keeps it out.
    Run run;
    SetProgramFolderOverride(run.folder.path());
    run.folder.addFile(u"a.txt"_s, "a");
    run.scan();
    run.preview(u"a.txt"_s, u"b.txt"_s);

    const FolderHandle other = Fs().OpenFolder(run.folder.path());
    LockAttempt held = Fs().LockFolder(other);
    QVERIFY(held.lock);
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QVERIFY(sink.texts().at(0).startsWith(u"別のウィンドウで置換を実行中です．"_s));
    QCOMPARE(run.folder.names(), QStringList{u"a.txt"_s});

    held.lock.reset();
    sink.clear();
    sink.scriptAnswers({true});
    const bool done = ExecuteRename(run.list, run.settings, run.window);
    QCOMPARE(sink.texts(), QStringList{ConfirmText});
    QVERIFY(done);
    QCOMPARE(run.folder.names(), (QStringList{u"Kazami.Log"_s, u"b.txt"_s}));
    const auto log = ReadChangeLog(run.folder.content(u"Kazami.Log"_s));
    QVERIFY(log);
    QCOMPARE(log->folder, run.folder.path());

    // The log now lies among the files it tells of. It is the program's
    // own, rewritten by every run: not listed, so that no rule renames it
    // and the next run goes through, while no new name may take its name.
    run.scan();
    QCOMPARE(run.list.count(), 1);
    run.preview(u"b.txt"_s, u"kazami.log"_s);
    sink.clear();
    sink.scriptAnswers({true});
    QVERIFY(!ExecuteRename(run.list, run.settings, run.window));
    QVERIFY(sink.texts().at(0).endsWith(u"が重複します"_s));
    run.scan();
    run.preview(u"b.txt"_s, u"c.txt"_s);
    sink.clear();
    sink.scriptAnswers({true});
    QVERIFY(ExecuteRename(run.list, run.settings, run.window));
    QCOMPARE(run.folder.names(), (QStringList{u"Kazami.Log"_s, u"c.txt"_s}));

    // Anywhere else a file of that name is a file like any other.
    TempFolder elsewhere;
    elsewhere.addFile(u"Kazami.Log"_s, "someone's notes");
    run.settings.CurrentFolder = elsewhere.path();
    InputData(run.list, run.settings, SortNameAscending);
    QCOMPARE(run.list.count(), 1);
    QCOMPARE(run.list.at(1).Name, u"Kazami.Log"_s);
}

QTEST_GUILESS_MAIN(RenameTest)
#include "rename_test.moc"
