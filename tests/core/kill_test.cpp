// A rename run killed at any moment loses, overwrites and misnames nothing.
// A child process (tests/child/run_child.cpp) runs a real run and
// kills itself with SIGKILL just before its k-th file-system operation; the
// test then does what the user would (a scan, which offers the repair, and a
// Yes) and finds every file by its content, once, under its old or its new
// name. Every operation of a small run is a kill point, and a seeded sample
// of a larger one; KAZAMI_KILL_POINTS sets the sample's size for a longer
// run by hand.
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/repair.h"
#include "engine/scan.h"
#include "engine/undo.h"
#include "engine/validation.h"
#include "settings/paths.h"
#include "support/recordingmessagesink.h"
#include "support/runplan.h"
#include "support/tempfolder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

// QVERIFY2 with a message built of byte arrays.
#define VERIFY_AT(condition, message) QVERIFY2(condition, QByteArray(message).constData())

namespace {

QByteArray ContentOf(const QString &name)
{
    return "the file first named " + name.toUtf8();
}

// Swaps, three-file cycles, letter case only, plain renames, unchanged rows
// with and without an attribute change, in groups of nine.
std::vector<Planned> MakePlan(int groups)
{
    std::vector<Planned> plan;
    for (int g = 0; g < groups; ++g) {
        const QString n = QString::number(g);
        const auto name = [&](const char *stem) -> QString {
            return QString::fromLatin1(stem) + n + u".txt"_s;
        };
        plan.push_back({name("a"), name("b")});
        plan.push_back({name("b"), name("a")});
        plan.push_back({name("m"), name("M")});
        plan.push_back({name("p"), name("q")});
        plan.push_back({name("u"), name("u"), u"R - -"_s});
        plan.push_back({name("w"), name("v"), u"R - -"_s});
        plan.push_back({name("x"), name("y")});
        plan.push_back({name("y"), name("z")});
        plan.push_back({name("z"), name("x")});
    }
    return plan;
}

// A folder with the plan's files and a log folder that already holds the
// log of an earlier run elsewhere, which a run keeps aside.
struct KillSetup
{
    TempFolder folder;
    TempFolder logs;
    std::vector<Planned> plan;

    explicit KillSetup(int groups) : plan(MakePlan(groups))
    {
        for (const Planned &p : plan)
            folder.addFile(p.name, ContentOf(p.name));
        std::vector<FileEntry> earlier(1);
        earlier[0].Name = u"old.txt"_s;
        earlier[0].Preview = u"new.txt"_s;
        logs.addFile(u"Kazami.Log"_s, ComposeChangeLog(u"/elsewhere"_s, earlier));
        WritePlan(logs.filePath(u"plan"_s), plan);
    }

    // Runs the child; gives its operation count, or -1 when it was killed.
    int runChild(int killAt)
    {
        const ChildRun run = RunChild(folder.path(), logs.path(), logs.filePath(u"plan"_s), killAt);
        return run.killed ? -1 : run.operations;
    }
};

} // namespace

class KillTest : public QObject
{
    Q_OBJECT

private slots:
    void everyOperationOfASmallRun();
    void sampleOfALargerRun();

private:
    // After a kill: the scan offers the repair, the user says Yes; then
    // every file must be found once, under its old or its new name. Counts
    // the outcome.
    void recover(KillSetup &setup, const QByteArray &where);

    int m_killed = 0;
    int m_repairsOffered = 0;
    int m_allOld = 0;
    int m_allNew = 0;
    int m_mixed = 0;
};

void KillTest::recover(KillSetup &setup, const QByteArray &where)
{
    SetProgramFolderOverride(setup.logs.path());
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = setup.folder.path();
    settings.FilePattern = u"*"_s;
    InputData(list, settings, SortNameAscending);
    const RepairOffer offer = OfferRepair(list);
    m_repairsOffered += offer == RepairOffer::Repaired;
    VERIFY_AT(offer != RepairOffer::Declined, where);
    // The repair leaves nothing behind, so it says nothing.
    VERIFY_AT(sink.messages().size() == (offer == RepairOffer::Repaired ? 1 : 0),
              where + ": " + sink.texts().join(u" | "_s).toUtf8());

    QHash<QByteArray, const Planned *> byContent;
    for (const Planned &p : setup.plan)
        byContent.insert(ContentOf(p.name), &p);
    QSet<QString> found;
    int atOld = 0;
    int atNew = 0;
    for (const QString &name : setup.folder.names()) {
        VERIFY_AT(!ContainsReservedToken(name), where + ": left under " + name.toUtf8());
        const Planned *p = byContent.value(setup.folder.content(name));
        VERIFY_AT(p, where + ": unknown content under " + name.toUtf8());
        VERIFY_AT(!found.contains(p->name), where + ": twice " + p->name.toUtf8());
        found.insert(p->name);
        VERIFY_AT(name == p->name || name == p->preview,
                  where + ": " + p->name.toUtf8() + " is now " + name.toUtf8());
        atOld += name == p->name && p->name != p->preview;
        atNew += name == p->preview && p->name != p->preview;
    }
    VERIFY_AT(found.size() == qsizetype(setup.plan.size()), where + ": files lost");

    // A log that says its run completed tells the truth; undo acts on no
    // other.
    const std::optional<QByteArray> content = Fs().ReadFile(ChangeLogPath());
    const std::optional<ChangeLogRecord> log = content ? ReadChangeLog(*content) : std::nullopt;
    if (log && log->folder == list.Folder()) {
        if (!log->incomplete)
            VERIFY_AT(atOld == 0, where + ": a complete log, yet files kept their old names");
        else
            VERIFY_AT(!PrepareUndo(list), where + ": undo of a run that did not complete");
    }
    m_allOld += atNew == 0;
    m_allNew += atOld == 0 && atNew > 0;
    m_mixed += atOld > 0 && atNew > 0;
    SetProgramFolderOverride({});
}

void KillTest::everyOperationOfASmallRun()
{
    int operations = 0;
    {
        KillSetup setup(1);
        operations = setup.runChild(0);
        QVERIFY(operations > 40);
        recover(setup, "no kill");
    }
    for (int k = 1; k <= operations; ++k) {
        KillSetup setup(1);
        const int outcome = setup.runChild(k);
        VERIFY_AT(outcome == -1, "the child was not killed at operation " + QByteArray::number(k));
        ++m_killed;
        recover(setup, "small run, kill at operation " + QByteArray::number(k));
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("small run: %d kill points, %d repairs offered and made; afterwards %d with every file at its old "
          "name, %d with every changed file at its new name, %d mixed",
          operations, m_repairsOffered, m_allOld, m_allNew, m_mixed);
}

void KillTest::sampleOfALargerRun()
{
    constexpr int Groups = 34; // 306 files
    int operations = 0;
    {
        KillSetup setup(Groups);
        operations = setup.runChild(0);
        QVERIFY(operations > 1000);
    }
    const int points = qEnvironmentVariableIsSet("KAZAMI_KILL_POINTS")
                           ? qEnvironmentVariableIntValue("KAZAMI_KILL_POINTS")
                           : 24;
    const quint32 seed = qEnvironmentVariableIsSet("KAZAMI_KILL_SEED")
                             ? quint32(qEnvironmentVariableIntValue("KAZAMI_KILL_SEED"))
                             : 20261207u;
    QRandomGenerator random(seed);
    m_killed = m_repairsOffered = m_allOld = m_allNew = m_mixed = 0;
    for (int n = 0; n < points; ++n) {
        const int k = 1 + int(random.bounded(quint32(operations)));
        KillSetup setup(Groups);
        VERIFY_AT(setup.runChild(k) == -1, "the child was not killed at operation " + QByteArray::number(k));
        ++m_killed;
        recover(setup, "large run, kill at operation " + QByteArray::number(k));
        if (QTest::currentTestFailed())
            return;
    }
    qInfo(
        "large run of %d files, %d operations: %d kill points (seed %u), %d repairs offered and made; "
        "afterwards %d with every file at its old name, %d with every changed file at its new name, %d mixed",
        int(MakePlan(Groups).size()), operations, points, seed, m_repairsOffered, m_allOld, m_allNew,
        m_mixed);
}

QTEST_GUILESS_MAIN(KillTest)
#include "kill_test.moc"
