#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "settings/paths.h"
#include "support/failingfilesystem.h"
#include "support/pathfs.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/tempfolder.h"

#include <QCryptographicHash>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One file of the scenario: its name, the name it is to get, its row
// attributes. Sorted by name, so the row numbers are the positions here.
struct Planned
{
    QString name;
    QString preview;
    QString attributes;
};

const std::vector<Planned> &Scenario()
{
    static const std::vector<Planned> planned{
        {u"a.txt"_s, u"b.txt"_s, u"- - -"_s},                                       // a swap
        {u"b.txt"_s, u"a.txt"_s, u"- - -"_s}, {u"m.txt"_s, u"M.txt"_s, u"- - -"_s}, // letter case only
        {u"p.txt"_s, u"q.txt"_s, u"- - -"_s},                                       // plain
        {u"u.txt"_s, u"u.txt"_s, u"R - -"_s},                                       // attributes only
        {u"w.txt"_s, u"v.txt"_s, u"R - -"_s},                                       // plain with attributes
        {u"x.txt"_s, u"y.txt"_s, u"- - -"_s},                                       // a three-file cycle
        {u"y.txt"_s, u"z.txt"_s, u"- - -"_s}, {u"z.txt"_s, u"x.txt"_s, u"- - -"_s},
    };
    return planned;
}

QByteArray Checksum(const QByteArray &content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256);
}

QByteArray ContentOf(const QString &name)
{
    return "unique content of " + name.toUtf8() + '\n';
}

// Where each original file is after a run: original name -> present name.
using Whereabouts = QMap<QString, QString>;

struct Outcome
{
    Whereabouts where;
    bool fatal = false;
    bool completed = false;
    int operations = 0;
    int failedAt = 0;
    ChangeLogRecord log;
};

class ScenarioRun
{
public:
    ScenarioRun()
    {
        SetProgramFolderOverride(m_program.path());
        // A failed writability check sends the log to the user's state
        // folder: keep that one inside the test too.
        qputenv("XDG_STATE_HOME", m_home.filePath(u"state"_s).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8());
        for (const Planned &p : Scenario())
            m_folder.addFile(p.name, ContentOf(p.name));
        m_settings.CurrentFolder = m_folder.path();
        m_settings.FilePattern = u"*.*"_s;
        InputData(m_list, m_settings, SortNameAscending);
        for (int row = 1; row <= m_list.count(); ++row) {
            FileEntry entry = m_list.ReadRow(row);
            const Planned &p = Scenario()[size_t(row - 1)];
            Q_ASSERT(entry.Name == p.name);
            entry.Preview = p.preview;
            entry.Attributes = p.attributes;
            m_list.WriteRow(row, entry);
        }
    }
    ~ScenarioRun()
    {
        SetProgramFolderOverride({});
        qunsetenv("XDG_STATE_HOME");
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Runs with the k-th file operation failing (0: none) and the repair
    // question answered repair.
    Outcome run(int k, bool repair, std::function<bool(const FailingFileSystem::Operation &)> refuse = {},
                QStringList *messages = nullptr)
    {
        Outcome outcome;
        FailingFileSystem fs;
        fs.failAt(k);
        fs.refuse = std::move(refuse);
        RecordingMessageSink sink;
        sink.scriptAnswers({true, repair});
        outcome.completed = ExecuteRename(m_list, m_settings, m_window);
        outcome.operations = fs.operationCount();
        outcome.failedAt = fs.failedAt();
        for (const RecordingMessageSink::Message &m : sink.messages())
            outcome.fatal = outcome.fatal || m.title == u"ごめんなさい，致命的なエラーです．"_s;
        outcome.log = ReadChangeLog(m_program.content(u"Kazami.Log"_s)).value_or(ChangeLogRecord{});
        outcome.where = locate();
        if (messages)
            *messages = sink.texts();
        return outcome;
    }

    const TempFolder &folder() const { return m_folder; }

private:
    // Finds every original file by its content; fails the test when a file
    // is missing, duplicated or unknown.
    Whereabouts locate() const
    {
        QHash<QByteArray, QString> original;
        for (const Planned &p : Scenario())
            original.insert(Checksum(ContentOf(p.name)), p.name);
        Whereabouts where;
        const QStringList names = m_folder.names();
        for (const QString &name : names) {
            const QString from = original.value(Checksum(m_folder.content(name)));
            if (from.isEmpty() || where.contains(from)) {
                qWarning("unknown or duplicated content under %s", qPrintable(name));
                return {};
            }
            where.insert(from, name);
        }
        if (where.size() != int(Scenario().size()))
            qWarning("files lost: %d of %d left", int(where.size()), int(Scenario().size()));
        return where;
    }

    TempFolder m_folder;
    TempFolder m_program;
    TempFolder m_home;
    FileList m_list;
    AppSettings m_settings;
    RenameWindowRecorder m_window{m_list, m_settings, SortNameAscending};
};

const Planned &PlanOf(const QString &name, int &row)
{
    for (size_t k = 0; k < Scenario().size(); ++k) {
        if (Scenario()[k].name == name) {
            row = int(k + 1);
            return Scenario()[k];
        }
    }
    Q_UNREACHABLE();
}

bool LogRecords(const ChangeLogRecord &log, const QString &tempName)
{
    return log.RowOfTemporary(tempName) != nullptr;
}

} // namespace

class RenameFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void withoutFaultsEndStateIsExact();
    void everyFaultLosesNothing();
    void repairGoesOnPastAFailure();
};

void RenameFaultsTest::withoutFaultsEndStateIsExact()
{
    ScenarioRun scenario;
    const Outcome outcome = scenario.run(0, false);
    QVERIFY(outcome.completed);
    QVERIFY(!outcome.fatal);
    Whereabouts expected;
    for (const Planned &p : Scenario())
        expected.insert(p.name, p.preview);
    QCOMPARE(outcome.where, expected);
    QCOMPARE(ReadAttributesOf(scenario.folder().filePath(u"u.txt"_s)), std::optional<int>(AttrReadOnly));
    QCOMPARE(ReadAttributesOf(scenario.folder().filePath(u"v.txt"_s)), std::optional<int>(AttrReadOnly));
    QCOMPARE(ReadAttributesOf(scenario.folder().filePath(u"a.txt"_s)), std::optional<int>(0));
}

void RenameFaultsTest::everyFaultLosesNothing()
{
    int total = 0;
    {
        ScenarioRun scenario;
        total = scenario.run(0, false).operations;
    }
    QVERIFY(total > 40);

    int fatalRuns = 0;
    int forward = 0;
    for (int k = 1; k <= total; ++k) {
        const QByteArray where = "fault at operation " + QByteArray::number(k);
        Outcome declined;
        Outcome repaired;
        {
            ScenarioRun scenario;
            declined = scenario.run(k, false);
        }
        {
            ScenarioRun scenario;
            repaired = scenario.run(k, true);
        }
        QVERIFY2(declined.failedAt == k && repaired.failedAt == k, where);
        // Nothing lost, nothing overwritten.
        QVERIFY2(declined.where.size() == int(Scenario().size()), where);
        QVERIFY2(repaired.where.size() == int(Scenario().size()), where);
        QCOMPARE(declined.fatal, repaired.fatal);

        bool leftTemporary = false;
        for (auto it = declined.where.cbegin(); it != declined.where.cend(); ++it) {
            int row = 0;
            const Planned &p = PlanOf(it.key(), row);
            const QString &now = it.value();
            const QString temp = TempName(row);
            const bool allowed = now == p.name || now == p.preview ||
                                 (now == temp && LogRecords(declined.log, temp)) ||
                                 (!declined.fatal && now == temp + u'x');
            QVERIFY2(allowed,
                     QByteArray(where + ": " + it.key().toUtf8() + " is now " + now.toUtf8()).constData());
            if (declined.completed)
                QVERIFY2(now == p.preview, where);
            else if (!declined.fatal)
                QVERIFY2(now == p.name || now == temp + u'x', where);
            leftTemporary = leftTemporary || now == temp;

            // The repair gives a temporary name the old name or, where the
            // old one is taken (a swap or a cycle half done), the new one;
            // it leaves nothing under a temporary name.
            const QString &after = repaired.where.value(it.key());
            const bool repairedWell =
                after == now || (now == temp && (after == p.name || after == p.preview));
            QVERIFY2(
                repairedWell,
                QByteArray(where + ": " + it.key().toUtf8() + " repaired to " + after.toUtf8()).constData());
            if (repaired.fatal)
                QVERIFY2(after != temp, where);
            forward += now == temp && after == p.preview && p.name != p.preview;
        }
        QVERIFY2(!leftTemporary || declined.fatal, where);
        fatalRuns += repaired.fatal;
    }
    qInfo("%d operations, %d faults reached the repair, %d files went on to their new names", total,
          fatalRuns, forward);
    QVERIFY(fatalRuns > 10);
    // A swap or a cycle cut short in phase 2 can only be finished.
    QVERIFY(forward > 0);
}

void RenameFaultsTest::repairGoesOnPastAFailure()
{
    // Fail the first rename of phase 2, so that every changed file carries
    // its temporary name, then the repair's first rename: that file stays,
    // the others come back, and one message says which stayed.
    ScenarioRun scenario;
    int renames = 0;
    int repairRenames = 0;
    const int trialRenames = 2 * int(Scenario().size());
    const int changed = int(Scenario().size()) - 1;
    QStringList messages;
    const Outcome outcome = scenario.run(
        0, true,
        [&](const FailingFileSystem::Operation &op) {
            if (op.kind != u"RenameNoReplace"_s)
                return false;
            if (++renames <= trialRenames + changed)
                return false;
            if (renames == trialRenames + changed + 1)
                return true;
            return ++repairRenames == 1;
        },
        &messages);
    QVERIFY(outcome.fatal);
    QCOMPARE(outcome.where.size(), int(Scenario().size()));
    int restored = 0;
    int temporary = 0;
    for (auto it = outcome.where.cbegin(); it != outcome.where.cend(); ++it) {
        int row = 0;
        const Planned &p = PlanOf(it.key(), row);
        if (p.name == p.preview)
            continue;
        restored += it.value() == p.name;
        temporary += it.value() == TempName(row);
    }
    QCOMPARE(restored, changed - 1);
    QCOMPARE(temporary, 1);
    QVERIFY2(messages.constLast().startsWith(u"1 個のファイルが一時名のまま残っています"_s),
             qPrintable(messages.constLast()));
    QVERIFY(messages.constLast().contains(u"__KZM_X_.001（元の名前：a.txt）"_s));
}

QTEST_GUILESS_MAIN(RenameFaultsTest)
#include "rename_faults_test.moc"
