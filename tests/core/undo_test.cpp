#include "engine/changelog.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "engine/undo.h"
#include "platform/filesystem.h"
#include "settings/paths.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/tempfolder.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Stops the trial once it has tried stopAt rows, and keeps every stage it saw.
class StoppingProgress final : public ProgressSink
{
public:
    explicit StoppingProgress(qint64 stopAt) : m_stopAt(stopAt) {}

    void BeginStage(const QString &stage, qint64, bool stoppable) override
    {
        stages.append(stage);
        m_stoppable = stoppable;
    }
    bool Advance(qint64 done) override { return !(m_stoppable && done >= m_stopAt); }
    void Finish() override { stages.append(u"finish"_s); }

    QStringList stages;

private:
    qint64 m_stopAt;
    bool m_stoppable = false;
};

// A folder, a program folder for the log and a list scanned from the folder.
struct Folder
{
    TempFolder folder;
    TempFolder program;
    FileList list;
    AppSettings settings;
    RecordingMessageSink messages;

    Folder() { SetProgramFolderOverride(program.path()); }
    ~Folder() { SetProgramFolderOverride({}); }

    void scan()
    {
        settings.CurrentFolder = folder.path();
        settings.FilePattern = u"*"_s;
        InputData(list, settings, SortNameAscending);
    }
    // Gives each file named in renames its new name as the preview, and runs.
    bool run(const QHash<QString, QString> &renames, ProgressSink *progress = nullptr)
    {
        for (int row = 1; row <= list.count(); ++row) {
            FileEntry entry = list.ReadRow(row);
            entry.Preview = renames.value(entry.Name, entry.Name);
            list.WriteRow(row, entry);
        }
        return runShownList(progress);
    }
    bool runShownList(ProgressSink *progress = nullptr)
    {
        messages.scriptAnswers({true});
        RenameWindowRecorder window(list, settings);
        window.setProgress(progress);
        return ExecuteRename(list, settings, window);
    }
    QStringList pairs() const
    {
        QStringList out;
        for (int row = 1; row <= list.count(); ++row)
            out.append(list.at(row).Name + u" > "_s + list.at(row).Preview);
        return out;
    }
};

} // namespace

class UndoTest : public QObject
{
    Q_OBJECT

private slots:
    void undoTakesBackSwapsAndCycles();
    void renamedSinceAreLeftOutAndCounted();
    void refusesWhatItCannotTakeBack();
    void stoppingTheTrialRenamesNothing();
    void undoGivesBackADotFile();
};

void UndoTest::undoGivesBackADotFile()
{
    // The run may not give a visible file a leading period, but an undo may
    // give a dot-file back the name the change log recorded.
    Folder f;
    f.folder.addFile(u".env"_s, "secret");
    f.settings.ShowHidden = true;
    f.scan();
    QVERIFY(f.run({{u".env"_s, u"env"_s}}));
    f.messages.clear();
    QVERIFY(PrepareUndo(f.list));
    QCOMPARE(f.pairs(), QStringList{u"env > .env"_s});
    QVERIFY(f.runShownList());
    QCOMPARE(f.folder.names(), QStringList{u".env"_s});
    QCOMPARE(f.folder.content(u".env"_s), "secret");
}

void UndoTest::undoTakesBackSwapsAndCycles()
{
    Folder f;
    for (const QString &name : {u"a"_s, u"b"_s, u"c1"_s, u"c2"_s, u"c3"_s, u"plain"_s, u"kept"_s})
        f.folder.addFile(name, name.toUtf8());
    f.scan();
    QVERIFY(f.run({{u"a"_s, u"b"_s},
                   {u"b"_s, u"a"_s},
                   {u"c1"_s, u"c2"_s},
                   {u"c2"_s, u"c3"_s},
                   {u"c3"_s, u"c1"_s},
                   {u"plain"_s, u"新しい名前"_s}}));
    QCOMPARE(f.folder.content(u"b"_s), "a");
    QCOMPARE(f.folder.content(u"c1"_s), "c3");

    // The rows of the log, in its order, each back to its old name.
    f.messages.clear();
    QVERIFY(PrepareUndo(f.list));
    QCOMPARE(f.pairs(), QStringList({u"b > a"_s, u"a > b"_s, u"c2 > c1"_s, u"c3 > c2"_s, u"c1 > c3"_s,
                                     u"新しい名前 > plain"_s}));
    QCOMPARE(f.messages.messages().size(), 1);
    QVERIFY(f.messages.texts().constFirst().contains(u"属性は戻りません"_s));
    QVERIFY(f.runShownList());
    for (const QString &name : {u"a"_s, u"b"_s, u"c1"_s, u"c2"_s, u"c3"_s, u"plain"_s, u"kept"_s})
        QCOMPARE(f.folder.content(name), name.toUtf8());

    // The undo was a run of its own: taking it back gives the first run's names.
    QVERIFY(PrepareUndo(f.list));
    QVERIFY(f.runShownList());
    QCOMPARE(f.folder.content(u"a"_s), "b");
    QCOMPARE(f.folder.content(u"c3"_s), "c2");
    QCOMPARE(f.folder.content(u"新しい名前"_s), "plain");
    QVERIFY(!f.folder.exists(u"plain"_s));
}

void UndoTest::renamedSinceAreLeftOutAndCounted()
{
    Folder f;
    for (const QString &name : {u"x"_s, u"y"_s, u"z"_s})
        f.folder.addFile(name);
    f.scan();
    QVERIFY(f.run({{u"x"_s, u"x2"_s}, {u"y"_s, u"y2"_s}, {u"z"_s, u"z2"_s}}));
    // One renamed by hand, one back under its temporary name as after a
    // failed phase.
    QVERIFY(::rename(qPrintable(f.folder.filePath(u"y2"_s)), qPrintable(f.folder.filePath(u"mine"_s))) == 0);
    const auto log = ReadChangeLog(*Fs().ReadFile(ChangeLogPath()));
    QVERIFY(::rename(qPrintable(f.folder.filePath(u"z2"_s)),
                     qPrintable(f.folder.filePath(log->rows[2].tempName))) == 0);

    f.messages.clear();
    QVERIFY(PrepareUndo(f.list));
    QCOMPARE(f.pairs(), QStringList({u"x2 > x"_s}));
    const QString text = f.messages.texts().join(u'|');
    QCOMPARE(f.messages.messages().size(), 1);
    QVERIFY2(text.contains(u"名前が変わったファイル 1 個"_s), qPrintable(text));
    QVERIFY2(text.contains(u"一時名のままのファイル 1 個"_s) && text.contains(u"修復"_s), qPrintable(text));
}

void UndoTest::refusesWhatItCannotTakeBack()
{
    Folder f;
    f.folder.addFile(u"one"_s);
    f.folder.addFile(u"two"_s);
    f.scan();
    const QStringList shown = f.pairs();

    // No log yet.
    QVERIFY(!PrepareUndo(f.list));
    QCOMPARE(f.pairs(), shown);

    // A log of another folder.
    TempFolder other;
    other.addFile(u"one"_s);
    FileEntry moved;
    moved.Name = u"two"_s;
    moved.Preview = u"one"_s;
    Fs().ReplaceFile(ChangeLogPath(), ComposeChangeLog(other.path(), {moved}));
    f.messages.clear();
    QVERIFY(!PrepareUndo(f.list));
    QVERIFY(f.messages.texts().constFirst().contains(u"別のフォルダ"_s));
    QCOMPARE(f.pairs(), shown);

    // A run stopped in its trial renamed nothing: the log of the last run
    // that did comes back, and without one, a swap in the stopped run's log
    // must not be swapped "back".
    const QByteArray lastRun = *Fs().ReadFile(ChangeLogPath());
    StoppingProgress stop(1);
    QVERIFY(!f.run({{u"one"_s, u"two"_s}, {u"two"_s, u"one"_s}}, &stop));
    QCOMPARE(*Fs().ReadFile(ChangeLogPath()), lastRun);
    QVERIFY(Fs().RemoveFile(ChangeLogPath()));
    QVERIFY(!f.run({{u"one"_s, u"two"_s}, {u"two"_s, u"one"_s}}, &stop));
    f.scan();
    f.messages.clear();
    QVERIFY(!PrepareUndo(f.list));
    QVERIFY(f.messages.texts().constFirst().contains(u"試し変換"_s));
    QCOMPARE(f.pairs(), shown);
}

void UndoTest::stoppingTheTrialRenamesNothing()
{
    Folder f;
    for (int n = 1; n <= 6; ++n)
        f.folder.addFile(u"f%1"_s.arg(n), QByteArray::number(n));
    f.scan();
    const QStringList before = f.folder.names();

    StoppingProgress stop(3);
    QHash<QString, QString> renames;
    for (int n = 1; n <= 6; ++n)
        renames.insert(u"f%1"_s.arg(n), u"f%1"_s.arg(n % 6 + 1));
    QVERIFY(!f.run(renames, &stop));

    QCOMPARE(stop.stages, QStringList({u"試し変換"_s, u"finish"_s}));
    QCOMPARE(f.folder.names(), before);
    for (int n = 1; n <= 6; ++n)
        QCOMPARE(f.folder.content(u"f%1"_s.arg(n)), QByteArray::number(n));
    QCOMPARE(f.messages.texts().constLast(), u"置換を中止します"_s);
    // The log is all that was written, and it says the run was stopped.
    QCOMPARE(f.program.names(), QStringList({u"Kazami.Log"_s}));
    QVERIFY(ReadChangeLog(*Fs().ReadFile(ChangeLogPath()))->incomplete);
}

QTEST_GUILESS_MAIN(UndoTest)
#include "undo_test.moc"
