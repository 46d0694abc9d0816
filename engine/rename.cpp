#include "engine/rename.h"

#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/validation.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <QElapsedTimer>
#include <vector>

namespace {

constexpr int WrittenAttributes = AttrReadOnly | AttrHidden | AttrSystem;
const QString ChangeLogName = QStringLiteral("Kazami.Log");

// Adds the time since the last lap to one stage's slot.
class StageClock final
{
public:
    explicit StageClock(RenameTimings *timings) : m_timings(timings) { m_timer.start(); }

    void lap(qint64 RenameTimings::*stage)
    {
        if (m_timings)
            m_timings->*stage += m_timer.nsecsElapsed();
        m_timer.restart();
    }
    void restart() { m_timer.restart(); }

private:
    RenameTimings *m_timings;
    QElapsedTimer m_timer;
};

bool Confirm()
{
    return Messages().AskYesNo(QStringLiteral("ファイルの置換を実行します．") + CrLf +
                                   QStringLiteral("（置換の実行中はなるべく他の事をしないでください）") +
                                   CrLf + CrLf + QStringLiteral("よろしいですね？"),
                               QStringLiteral("置換の実行"));
}

// The lock that keeps two runs from sharing the change log; nothing (after
// its message) while another run holds it. A lock that cannot be had at all
// does not stop the run: writing the log decides then.
std::optional<LockAttempt> LockChangeLog(const QString &folder)
{
    Fs().MakeFolder(folder);
    LockAttempt attempt = Fs().LockExclusive(folder);
    if (!attempt.busy)
        return attempt;
    Messages().ShowMessage(QStringLiteral("別のウィンドウで置換を実行中です．") + CrLf +
                               QStringLiteral("終わってから，もう一度実行してください") + CrLf + CrLf +
                               JoinPath(folder, ChangeLogName),
                           {}, MessageIcon::Exclamation);
    return std::nullopt;
}

bool WriteChangeLog(const QString &logFolder, const QString &folder, const std::vector<FileEntry> &rows)
{
    const QString logPath = JoinPath(logFolder, ChangeLogName);
    if (Fs().MakeFolder(logFolder) && Fs().ReplaceFile(logPath, ComposeChangeLog(folder, rows)))
        return true;
    Messages().ShowMessage(QStringLiteral("変更記録 Kazami.Log を書き込めませんでした") + CrLf + logPath +
                               CrLf + QStringLiteral("ファイルはひとつも変更していません"),
                           {}, MessageIcon::Critical);
    return false;
}

void ReportTrialFailure(const FileEntry &entry)
{
    Messages().ShowMessage(entry.Name + QStringLiteral("　の変換（リネーム）ができません") + CrLf +
                               QStringLiteral("他のファイルが使用しているか，消された可能性があります．"),
                           QStringLiteral("変換に失敗しました"), MessageIcon::Critical);
}

// How the trial ended: the last row that failed (0 for none), and whether
// the user stopped it.
struct TrialOutcome
{
    int lastFailed = 0;
    bool stopped = false;
};

// Tries every row once: renamed away and back, and its attributes, where they
// have to change, found writable while it carries its trial name (which, like
// its new name, never begins with a period). Records which rows need their
// attributes written in phase 2. The user may stop it between two rows,
// when every file carries its own name again.
TrialOutcome Trial(FileList &list, const std::vector<FileEntry> &rows, const QString &folder,
                   std::vector<char> &attributesDiffer, ProgressScope &progress)
{
    TrialOutcome outcome;
    const int count = int(rows.size());
    attributesDiffer.assign(rows.size(), 0);
    progress.BeginStage(QStringLiteral("試し変換"), count, true);
    for (int row = 1; row <= count; ++row) {
        const FileEntry &entry = rows[size_t(row - 1)];
        const int wanted = WantedAttributes(entry);
        bool differ = false;
        const bool ok = TryRename(entry, row, folder, [&](const QString &trialPath) {
            const std::optional<int> present = Fs().ReadAttributes(trialPath);
            if (!present)
                return false;
            differ = (*present & WrittenAttributes) != wanted;
            return !differ || Fs().CanWriteAttributes(trialPath, wanted);
        });
        attributesDiffer[size_t(row - 1)] = differ;
        if (!ok) {
            ReportTrialFailure(entry);
            list.setHighlighted(row, true);
            outcome.lastFailed = row;
        }
        if (!progress.Advance(row)) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

// Phase 1 and phase 2 cannot be stopped: between them every file would
// carry a temporary name.
bool RenameAllToTemporary(const std::vector<FileEntry> &rows, const QString &folder, ProgressScope &progress)
{
    progress.BeginStage(QStringLiteral("変換 1/2"), qint64(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k) {
        const FileEntry &entry = rows[k];
        progress.Advance(qint64(k));
        if (IsUnchanged(entry))
            continue;
        if (!Fs().RenameNoReplace(JoinPath(folder, entry.Name), JoinPath(folder, TempName(int(k + 1)))))
            return false;
    }
    return true;
}

bool RenameAllToNew(const std::vector<FileEntry> &rows, const QString &folder,
                    const std::vector<char> &attributesDiffer, ProgressScope &progress)
{
    progress.BeginStage(QStringLiteral("変換 2/2"), qint64(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k) {
        progress.Advance(qint64(k));
        const FileEntry &entry = rows[k];
        const QString target = JoinPath(folder, entry.Preview);
        if (!IsUnchanged(entry) && !Fs().RenameNoReplace(JoinPath(folder, TempName(int(k + 1))), target))
            return false;
        // The trial read this file's attributes; where they already matched,
        // writing them again would change nothing.
        if (attributesDiffer[k] && !ApplyAttributes(target, entry))
            return false;
    }
    return true;
}

void FatalError(const QString &folder, const QString &logPath, RenameWindow &window)
{
    window.SetBusy(false);
    Messages().ShowMessage(
        QStringLiteral("ちょっとヤバイ状態になったかも知れません") + CrLf +
            QStringLiteral("対処法 ： Kazami.Log というファイルを探し，メモ帳で開いてください") + CrLf +
            // Where the log is depends on the install: say which file.
            logPath + CrLf + QStringLiteral("ごめんなさい．でも責任はとりかねます"),
        QStringLiteral("ごめんなさい，致命的なエラーです．"), MessageIcon::Critical);
    if (Messages().AskYesNo(
            QStringLiteral("ファイル名の修復に挑戦します．よろしいですね？") + CrLf +
                QStringLiteral("（他のアプリケーションが実行中の場合は，終了するまでお待ちください）"),
            QStringLiteral("修復に挑戦！！")))
        RepairFromLog(folder, logPath);
    window.Rescan();
}

} // namespace

QString ChangeLogPath()
{
    return JoinPath(GetLogFolder(), ChangeLogName);
}

bool ExecuteRename(FileList &list, AppSettings &settings, RenameWindow &window)
{
    return ExecuteRename(list, settings, window, nullptr);
}

bool ExecuteRename(FileList &list, AppSettings &settings, RenameWindow &window, RenameTimings *timings)
{
    StageClock clock(timings);
    window.ClearCurrentRow();
    window.SetBusy(true);
    list.clearHighlights();

    // Where the log goes is settled once: the whole run and its repair use
    // the same file.
    const QString logFolder = GetLogFolder();
    const QString logPath = JoinPath(logFolder, ChangeLogName);
    const std::optional<LockAttempt> logLock = LockChangeLog(logFolder);
    if (!logLock) {
        AbortRename(list, window, 0);
        return false;
    }

    const int count = list.count();
    for (int row = 1; row <= count; ++row) {
        if (!CheckPreview(list.at(row).Preview, list.at(row).Name)) {
            AbortRename(list, window, row);
            return false;
        }
    }
    clock.lap(&RenameTimings::validation);

    if (!CheckDuplicates(list, settings)) {
        AbortRename(list, window, 0);
        return false;
    }
    clock.lap(&RenameTimings::duplicates);

    if (!Confirm()) {
        AbortRename(list, window, 0);
        return false;
    }
    clock.restart();

    // The rows as confirmed, in the folder they were listed from; nothing
    // below reads the list again.
    const QString folder = list.Folder();
    std::vector<FileEntry> rows;
    rows.reserve(size_t(count));
    for (int row = 1; row <= count; ++row)
        rows.push_back(list.at(row));

    // The log of the last run that renamed, should this one rename nothing.
    const std::optional<QByteArray> previousLog = Fs().ReadFile(logPath);
    if (!WriteChangeLog(logFolder, folder, rows)) {
        AbortRename(list, window, 0);
        return false;
    }
    clock.lap(&RenameTimings::log);

    ProgressScope progress(window.Progress());
    std::vector<char> attributesDiffer;
    const TrialOutcome trial = Trial(list, rows, folder, attributesDiffer, progress);
    if (trial.lastFailed || trial.stopped) {
        progress.Finish();
        // Nothing was renamed: the log goes back to the last run that did
        // rename, which can then still be undone. Without one, the log says
        // that this run was stopped, so that it never passes for one that
        // happened.
        Fs().ReplaceFile(logPath, previousLog ? *previousLog : ComposeChangeLog(folder, rows, true));
        AbortRename(list, window, trial.lastFailed);
        return false;
    }
    clock.lap(&RenameTimings::trial);

    if (!RenameAllToTemporary(rows, folder, progress)) {
        progress.Finish();
        FatalError(folder, logPath, window);
        return false;
    }
    clock.lap(&RenameTimings::phase1);

    if (!RenameAllToNew(rows, folder, attributesDiffer, progress)) {
        progress.Finish();
        FatalError(folder, logPath, window);
        return false;
    }
    clock.lap(&RenameTimings::phase2);

    progress.Finish();
    window.SetBusy(false);
    window.Rescan();
    clock.lap(&RenameTimings::rescan);
    return true;
}

void AbortRename(FileList &list, RenameWindow &window, int row)
{
    window.SetBusy(false);
    Messages().ShowMessage(QStringLiteral("置換を中止します"));
    window.FocusList();
    if (row <= 0) {
        window.ClearCurrentRow();
        return;
    }
    list.setHighlighted(row, true);
    list.setCurrentRow(row);
    window.EnableRowCommands();
}

void RepairFromLog(const QString &folder, const QString &logPath)
{
    ListOptions options;
    options.pattern = QStringLiteral("*");
    options.mask = AttrReadOnly | AttrHidden | AttrSystem;
    options.details = false;
    std::vector<FolderEntry> files;
    if (!Fs().ListFolder(folder, options, files))
        return;
    std::optional<ChangeLogRecord> log;
    for (const FolderEntry &file : files) {
        if (!ContainsReservedToken(file.name))
            continue;
        if (!log) {
            const std::optional<QByteArray> content = Fs().ReadFile(logPath);
            if (!content || !(log = ReadChangeLog(*content)))
                return;
            // Another folder's log would give this folder's files wrong names.
            if (log->folder != folder) {
                Messages().ShowMessage(
                    QStringLiteral("変更記録は別のフォルダのものです．ファイル名は修復しません") + CrLf +
                        CrLf + QStringLiteral("変更記録のフォルダ：") + log->folder + CrLf +
                        QStringLiteral("このフォルダ：") + folder,
                    {}, MessageIcon::Exclamation);
                return;
            }
        }
        const auto oldName = log->oldNames.constFind(file.name);
        if (oldName == log->oldNames.cend())
            continue;
        if (!Fs().RenameNoReplace(JoinPath(folder, file.name), JoinPath(folder, *oldName)))
            return;
    }
}
