#include "engine/liststatus.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "settings/paths.h"
#include "support/pathfs.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/tempfolder.h"

#include <QRandomGenerator>
#include <QTest>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// A row's fate as one letter: Unchanged, Changes, Duplicate, Refused.
QChar Letter(RowFate fate)
{
    static const QString letters = u"UCDR"_s;
    return letters.at(int(fate));
}

QString Letters(const ListStatus &status)
{
    QString out;
    for (int row = 1; row <= status.count(); ++row)
        out += Letter(status.fate(row));
    return out;
}

void SetPreview(FileList &list, const QString &name, const QString &preview)
{
    for (int row = 1; row <= list.count(); ++row) {
        if (list.at(row).Name == name) {
            FileEntry entry = list.ReadRow(row);
            entry.Preview = preview;
            list.WriteRow(row, entry);
            return;
        }
    }
    QFAIL(qPrintable(name));
}

// The rows, current row and highlights of a list, to compare whole lists.
struct Snapshot
{
    std::vector<FileEntry> rows;
    std::vector<bool> highlights;
    int current = 0;
    bool operator==(const Snapshot &) const = default;
};

Snapshot Take(const FileList &list)
{
    Snapshot shot;
    for (int row = 1; row <= list.count(); ++row) {
        shot.rows.push_back(list.at(row));
        shot.highlights.push_back(list.highlighted(row));
    }
    shot.current = list.CurrentRow();
    return shot;
}

} // namespace

class ListStatusTest : public QObject
{
    Q_OBJECT

private slots:
    void statusMatchesTheRun_data();
    void statusMatchesTheRun();
    void oneEditJudgesAsTheWholeList();
    void nextProblemWraps();
    void historyStepsBackAndForth();
};

void ListStatusTest::statusMatchesTheRun_data()
{
    // Files on disk ("name/" a folder, "name!" a hidden file), "*.txt" listed
    // without hidden files; renames "old>new"; the fate of each listed file
    // as "name=letter".
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("renames");
    QTest::addColumn<QStringList>("fates");
    QTest::newRow("new names collide")
        << QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s} << QStringList{u"a.txt>x.txt"_s, u"b.txt>X.TXT"_s}
        << QStringList{u"a.txt=D"_s, u"b.txt=D"_s, u"c.txt=U"_s};
    QTest::newRow("unlisted hidden file")
        << QStringList{u"a.txt"_s, u"h.txt!"_s} << QStringList{u"a.txt>H.TXT"_s} << QStringList{u"a.txt=D"_s};
    QTest::newRow("unlisted file of another pattern")
        << QStringList{u"a.txt"_s, u"notes.md"_s} << QStringList{u"a.txt>NOTES.md"_s}
        << QStringList{u"a.txt=D"_s};
    QTest::newRow("subfolder") << QStringList{u"a.txt"_s, u"docs/"_s} << QStringList{u"a.txt>Docs"_s}
                               << QStringList{u"a.txt=D"_s};
    QTest::newRow("case-only pair that already coexists")
        << QStringList{u"README.txt"_s, u"readme.txt"_s, u"b.txt"_s} << QStringList{u"b.txt>c.txt"_s}
        << QStringList{u"README.txt=U"_s, u"readme.txt=U"_s, u"b.txt=C"_s};
    QTest::newRow("new name meets the pair")
        << QStringList{u"README.txt"_s, u"readme.txt"_s, u"b.txt"_s} << QStringList{u"b.txt>Readme.TXT"_s}
        << QStringList{u"README.txt=D"_s, u"readme.txt=D"_s, u"b.txt=D"_s};
    QTest::newRow("refused character")
        << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{u"a.txt>a:b.txt"_s}
        << QStringList{u"a.txt=R"_s, u"b.txt=U"_s};
    QTest::newRow("kept colon, swapped names") << QStringList{u"10:30.txt"_s, u"a.txt"_s, u"b.txt"_s}
                                               << QStringList{u"a.txt>b.txt"_s, u"b.txt>a.txt"_s}
                                               << QStringList{u"10:30.txt=U"_s, u"a.txt=C"_s, u"b.txt=C"_s};
    QTest::newRow("unchanged rows") << QStringList{u"a.txt"_s, u"b.txt"_s} << QStringList{}
                                    << QStringList{u"a.txt=U"_s, u"b.txt=U"_s};
}

void ListStatusTest::statusMatchesTheRun()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, renames);
    QFETCH(QStringList, fates);
    TempFolder folder;
    TempFolder program;
    SetProgramFolderOverride(program.path());
    for (const QString &file : files) {
        if (file.endsWith(u'/')) {
            folder.addFolder(file.chopped(1));
        } else if (file.endsWith(u'!')) {
            QVERIFY(WriteAttributesOf(folder.addFile(file.chopped(1)), AttrHidden));
        } else {
            folder.addFile(file);
        }
    }
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    settings.FilePattern = u"*.txt"_s;
    settings.ShowHidden = false;
    InputData(list, settings, SortNameAscending);
    for (const QString &rename : renames)
        SetPreview(list, rename.section(u'>', 0, 0), rename.section(u'>', 1));

    ListStatus status;
    status.judgeAll(list);
    QCOMPARE(list.count(), fates.size());
    QString expected;
    int refused = 0;
    for (int row = 1; row <= list.count(); ++row) {
        const QString fate = fates.filter(list.at(row).Name + u'=').value(0);
        QVERIFY2(!fate.isEmpty(), qPrintable(list.at(row).Name));
        expected += fate.back();
        if (fate.back() == u'R' && refused == 0)
            refused = row;
    }
    QCOMPARE(Letters(status), expected);

    // The run decides the same: it passes only without a problem, and stops
    // at the rows the status marks.
    RenameWindowRecorder window(list, settings, SortNameAscending);
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    const bool problem = expected.contains(u'D') || expected.contains(u'R');
    const QString refusedReason = refused ? status.reason(list, refused) : QString();
    QCOMPARE(ExecuteRename(list, settings, window), !problem);
    if (refused) {
        QCOMPARE(list.CurrentRow(), refused);
        QCOMPARE(sink.texts().at(0), QString(refusedReason).replace(u'\n', u"\r\n"_s));
    } else if (problem) {
        for (int row = 1; row <= list.count(); ++row)
            QCOMPARE(list.highlighted(row), expected.at(row - 1) == u'D');
    }
    SetProgramFolderOverride({});
}

void ListStatusTest::oneEditJudgesAsTheWholeList()
{
    // Previews from a few names in two letter cases make groups come and
    // go; after every edit the status of the one row must equal a judgement
    // of the whole list.
    TempFolder folder;
    for (int k = 0; k < 40; ++k)
        folder.addFile(u"f%1.txt"_s.arg(k));
    folder.addFolder(u"B"_s);
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    settings.FilePattern = u"*.txt"_s;
    InputData(list, settings, SortNameAscending);

    static const QStringList Names{u"a"_s, u"A"_s, u"b"_s, u"f1.txt"_s, u"F2.TXT"_s, u"x:y"_s, u""_s};
    ListStatus kept;
    kept.judgeAll(list);
    QRandomGenerator random(20261207);
    int incremental = 0;
    for (int edit = 0; edit < 400; ++edit) {
        const int row = int(random.bounded(list.count())) + 1;
        FileEntry entry = list.ReadRow(row);
        const qsizetype pick = random.bounded(Names.size() + 1);
        entry.Preview = pick == Names.size() ? entry.Name : Names.at(pick);
        list.WriteRow(row, entry);
        // An edit after a scan finds the rows among the folder's names, as
        // the window's model does; later ones judge only what they touched.
        if (kept.judgeRow(list, row))
            ++incremental;
        else
            kept.judgeAll(list);
        if (edit % 50 == 49) {
            // A new order carries every row's fate along.
            std::vector<int> order(size_t(list.count()));
            std::iota(order.rbegin(), order.rend(), 1);
            list.reorder(order);
            QVERIFY(kept.reorder(list, order));
        }
        ListStatus fresh;
        fresh.judgeAll(list);
        QCOMPARE(Letters(kept), Letters(fresh));
        QCOMPARE(kept.changing(), fresh.changing());
        QCOMPARE(kept.colliding(), fresh.colliding());
        QCOMPARE(kept.refused(), fresh.refused());
    }
    QVERIFY(incremental > 350);
}

void ListStatusTest::nextProblemWraps()
{
    FileList list;
    for (const QString &name : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
        list.append(name);
    for (int row = 1; row <= 4; ++row) {
        FileEntry entry = list.ReadRow(row);
        entry.Preview = row == 2 ? u"x:y"_s : entry.Name;
        list.WriteRow(row, entry);
    }
    ListStatus status;
    status.judgeAll(list);
    QCOMPARE(status.nextProblem(0, true), 2);
    QCOMPARE(status.nextProblem(0, false), 2);
    QCOMPARE(status.nextProblem(2, true), 2);
    QCOMPARE(status.nextProblem(3, true), 2);
    QCOMPARE(MakeStatusText(status), u"変換不可 1 件"_s);
}

void ListStatusTest::historyStepsBackAndForth()
{
    FileList list;
    std::vector<FileEntry> rows;
    for (const QString &name : {u"d.txt"_s, u"b.txt"_s, u"a.txt"_s, u"c.txt"_s, u"e.txt"_s}) {
        FileEntry &entry = rows.emplace_back();
        entry.Name = entry.Preview = name;
    }
    list.assign(std::move(rows));
    list.setCurrentRow(2);
    list.setHighlighted(2, true);

    std::vector<Snapshot> shots{Take(list)};
    // A rule pass over every row.
    std::vector<FileEntry> passed;
    for (int row = 1; row <= list.count(); ++row) {
        FileEntry entry = list.at(row);
        entry.Preview = u"写真"_s + entry.Name;
        passed.push_back(entry);
    }
    list.WriteRows(std::move(passed));
    shots.push_back(Take(list));
    // An individual edit.
    FileEntry one = list.ReadRow(3);
    one.Preview = u"手で.txt"_s;
    one.Attributes = u"R - -"_s;
    list.WriteRow(3, one);
    shots.push_back(Take(list));
    // A move: two rows change places, and the highlight follows.
    {
        const EditStep step(list);
        const FileEntry upper = list.ReadRow(1);
        list.WriteRow(1, list.ReadRow(2));
        list.WriteRow(2, upper);
        list.setHighlighted(2, false);
        list.setHighlighted(1, true);
        list.setCurrentRow(1);
    }
    shots.push_back(Take(list));
    // An exclusion of two rows the user highlighted; its undo brings the
    // highlights back as they were when it began.
    list.setHighlighted(4, true);
    shots.back() = Take(list);
    list.removeRows({1, 4});
    shots.push_back(Take(list));
    // A sort.
    list.reorder({3, 1, 2});
    shots.push_back(Take(list));

    for (size_t k = shots.size() - 1; k > 0; --k) {
        QVERIFY(list.canUndo());
        list.undo();
        QVERIFY2(Take(list) == shots[k - 1], qPrintable(u"undo to step %1"_s.arg(k - 1)));
    }
    QVERIFY(!list.canUndo());
    for (size_t k = 1; k < shots.size(); ++k) {
        list.redo();
        // A redo brings back the list as the step left it; current row and
        // highlights as they were when it was undone.
        QVERIFY2(Take(list).rows == shots[k].rows, qPrintable(u"redo to step %1"_s.arg(k)));
    }
    QVERIFY(!list.canRedo());

    // A new edit drops what could be redone; a new list drops it all.
    list.undo();
    FileEntry again = list.ReadRow(1);
    again.Preview = u"z"_s;
    list.WriteRow(1, again);
    QVERIFY(!list.canRedo());
    list.assign({});
    QVERIFY(!list.canUndo());
}

QTEST_GUILESS_MAIN(ListStatusTest)
#include "liststatus_test.moc"
