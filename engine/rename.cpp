#include "engine/rename.h"

#include "engine/changelogfile.h"
#include "engine/folderrenamer.h"
#include "engine/messages.h"
#include "engine/repair.h"
#include "engine/validation.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <QElapsedTimer>
#include <algorithm>
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

void ReportBusy(const QString &path)
{
    Messages().ShowMessage(QStringLiteral("別のウィンドウで置換を実行中です．") + CrLf +
                               QStringLiteral("終わってから，もう一度実行してください") + CrLf + CrLf + path,
                           {}, MessageIcon::Exclamation);
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
    ReportBusy(JoinPath(folder, ChangeLogName));
    return std::nullopt;
}

// The lock that keeps two copies of the program, whatever their change logs,
// from renaming in one folder at once. Where the change log lies in the
// folder renamed (a portable copy renaming its own folder), the log's lock
// is that folder's lock already: a second one, taken on a description of
// its own, would find the first and refuse the run.
std::optional<LockAttempt> LockRenamedFolder(const FolderHandle &folder, const QString &logFolder)
{
    if (Fs().IdentifyPath(logFolder) == folder.identity())
        return LockAttempt{};
    LockAttempt attempt = Fs().LockFolder(folder);
    if (!attempt.busy)
        return attempt;
    ReportBusy(folder.path());
    return std::nullopt;
}

// Whether the list's folder is still there, under the path it was scanned
// by: a folder put in its place since (a symbolic link to another folder
// with the same names) must never be renamed in.
bool FolderUnchanged(const FileList &list)
{
    const FolderHandle &folder = list.Handle();
    if (folder.isOpen() && Fs().IdentifyPath(list.Folder()) == folder.identity())
        return true;
    Messages().ShowMessage(
        QuoteName(list.Folder()) + CrLf +
            QStringLiteral("このフォルダは，一覧を読み込んだ後で別のものに置き換えられたか，"
                           "なくなりました．") +
            CrLf + QStringLiteral("ファイルはひとつも変更していません．フォルダを読み込み直してください"),
        {}, MessageIcon::Critical);
    return false;
}

// Why the trial refused a row.
struct TrialFailure
{
    int row = 0;
    bool stuck = false; // the file still carries its trial name
};

// How the trial ended.
struct TrialOutcome
{
    std::vector<TrialFailure> failed;
    bool stopped = false;  // by the user, with the progress window's button
    bool declined = false; // the user would not rename without the no-replace guarantee

    int lastFailed() const { return failed.empty() ? 0 : failed.back().row; }
    bool anyStuck() const
    {
        return std::any_of(failed.begin(), failed.end(), [](const TrialFailure &f) { return f.stuck; });
    }
};

// Tries every row once: renamed away and back; while away, still the very
// entry the scan listed, and its attributes, where they have to change,
// found writable for the name it will end with. Records which rows need
// their attributes written in phase 2. The user may stop it between two
// rows, when every file carries its own name again.
TrialOutcome Trial(const std::vector<FileEntry> &rows, FolderRenamer &renamer,
                   std::vector<char> &attributesDiffer, ProgressScope &progress)
{
    TrialOutcome outcome;
    const FolderHandle &folder = renamer.folder();
    const int count = int(rows.size());
    attributesDiffer.assign(rows.size(), 0);
    progress.BeginStage(QStringLiteral("試し変換"), count, true);
    for (int row = 1; row <= count; ++row) {
        const FileEntry &entry = rows[size_t(row - 1)];
        const int wanted = WantedAttributes(entry);
        // An entry replaced since the scan (by a folder, or by another file)
        // is not the one the user chose: it is never touched, and it is
        // checked again while away, should it have been replaced just now.
        const bool known = entry.Identity.type != EntryType::Missing;
        bool differ = false;
        const TrialRename result =
            known && Fs().Identify(folder, entry.Name) != entry.Identity
                ? TrialRename::Refused
                : TryRename(entry, row, renamer, [&](const QString &trialName) {
                      if (known && Fs().Identify(folder, trialName) != entry.Identity)
                          return false;
                      const std::optional<int> present = Fs().ReadAttributes(folder, trialName);
                      if (!present)
                          return false;
                      differ = (*present & WrittenAttributes) != wanted;
                      return !differ || Fs().CanWriteAttributes(folder, trialName, wanted, entry.Preview);
                  });
        attributesDiffer[size_t(row - 1)] = differ;
        if (result == TrialRename::Declined) {
            outcome.declined = true;
            break;
        }
        if (result != TrialRename::Done)
            outcome.failed.push_back({row, result == TrialRename::Stuck});
        if (!progress.Advance(row)) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

// One box for the whole trial: the first file that failed, and how many
// more did.
void ReportTrialFailures(const TrialOutcome &trial, const std::vector<FileEntry> &rows,
                         const QString &logPath)
{
    if (trial.failed.empty())
        return;
    const TrialFailure &first = trial.failed.front();
    const FileEntry &entry = rows[size_t(first.row - 1)];
    QString text = QuoteName(entry.Name) + QStringLiteral("　の変換（リネーム）ができません") + CrLf +
                   QStringLiteral("他のファイルが使用しているか，消された可能性があります．");
    if (trial.failed.size() > 1)
        text += CrLf + CrLf +
                QStringLiteral("ほかに %1 個のファイルも変換できません（一覧で選択しています）")
                    .arg(trial.failed.size() - 1);
    for (const TrialFailure &failure : trial.failed) {
        if (!failure.stuck)
            continue;
        text += CrLf + CrLf + QuoteName(rows[size_t(failure.row - 1)].Name) + QStringLiteral("　は一時名 ") +
                TempName(failure.row) + QStringLiteral("x のまま戻せませんでした．") + CrLf +
                QStringLiteral("変更記録から修復できます：") + logPath;
        break;
    }
    Messages().ShowMessage(text, QStringLiteral("変換に失敗しました"), MessageIcon::Critical);
}

// Phase 1 and phase 2 cannot be stopped: between them every file would
// carry a temporary name.
bool RenameAllToTemporary(const std::vector<FileEntry> &rows, FolderRenamer &renamer, ProgressScope &progress)
{
    progress.BeginStage(QStringLiteral("変換 1/2"), qint64(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k) {
        const FileEntry &entry = rows[k];
        progress.Advance(qint64(k));
        if (IsUnchanged(entry))
            continue;
        if (!renamer.Rename(entry.Name, TempName(int(k + 1))))
            return false;
    }
    return true;
}

bool RenameAllToNew(const std::vector<FileEntry> &rows, FolderRenamer &renamer,
                    const std::vector<char> &attributesDiffer, ProgressScope &progress)
{
    progress.BeginStage(QStringLiteral("変換 2/2"), qint64(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k) {
        progress.Advance(qint64(k));
        const FileEntry &entry = rows[k];
        if (!IsUnchanged(entry) && !renamer.Rename(TempName(int(k + 1)), entry.Preview))
            return false;
        // The trial read this file's attributes; where they already matched,
        // writing them again would change nothing.
        if (attributesDiffer[k] && !ApplyAttributes(renamer.folder(), entry.Preview, entry))
            return false;
    }
    return true;
}

void FatalError(FolderRenamer &renamer, const QString &logPath, RenameWindow &window)
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
        RepairFromLog(renamer, logPath);
    window.Rescan();
}

} // namespace

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
    const std::optional<LockAttempt> logLock = LockChangeLog(logFolder);
    if (!logLock || !FolderUnchanged(list)) {
        AbortRename(list, window, 0);
        return false;
    }
    const FolderHandle folder = list.Handle();
    const std::optional<LockAttempt> folderLock = LockRenamedFolder(folder, logFolder);
    if (!folderLock) {
        AbortRename(list, window, 0);
        return false;
    }

    const int count = list.count();
    for (int row = 1; row <= count; ++row) {
        const FileEntry &entry = list.at(row);
        if (!CheckPreview(entry.Preview, entry.Name, entry.LoggedName)) {
            AbortRename(list, window, row);
            return false;
        }
    }
    clock.lap(&RenameTimings::validation);

    std::vector<int> collidingRows;
    if (!CheckDuplicates(list, settings, &collidingRows)) {
        // Every colliding row is marked; the first is the current one.
        for (const int row : collidingRows)
            list.setHighlighted(row, true);
        AbortRename(list, window,
                    collidingRows.empty() ? 0
                                          : *std::min_element(collidingRows.begin(), collidingRows.end()));
        return false;
    }
    clock.lap(&RenameTimings::duplicates);

    if (!Confirm()) {
        AbortRename(list, window, 0);
        return false;
    }
    clock.restart();

    // The rows as confirmed; nothing below reads the list again.
    std::vector<FileEntry> rows;
    rows.reserve(size_t(count));
    for (int row = 1; row <= count; ++row)
        rows.push_back(list.at(row));

    ChangeLogFile log(logFolder, list.Folder(), rows);
    if (!log.WriteBeforeTrial()) {
        AbortRename(list, window, 0);
        return false;
    }
    clock.lap(&RenameTimings::log);

    ProgressScope progress(window.Progress());
    FolderRenamer renamer(folder);
    std::vector<char> attributesDiffer;
    const TrialOutcome trial = Trial(rows, renamer, attributesDiffer, progress);
    if (!trial.failed.empty() || trial.stopped || trial.declined) {
        progress.Finish();
        // Nothing was renamed: the log goes back to the last run that did
        // rename, which can then still be undone. A file left under its
        // trial name keeps this log, which the repair needs.
        if (!trial.anyStuck())
            log.PutBackPrevious();
        ReportTrialFailures(trial, rows, log.path());
        for (const TrialFailure &failure : trial.failed)
            list.setHighlighted(failure.row, true);
        AbortRename(list, window, trial.lastFailed());
        return false;
    }
    log.DropPrevious();
    clock.lap(&RenameTimings::trial);

    if (!RenameAllToTemporary(rows, renamer, progress)) {
        progress.Finish();
        FatalError(renamer, log.path(), window);
        return false;
    }
    clock.lap(&RenameTimings::phase1);

    if (!RenameAllToNew(rows, renamer, attributesDiffer, progress)) {
        progress.Finish();
        FatalError(renamer, log.path(), window);
        return false;
    }
    clock.lap(&RenameTimings::phase2);
    log.MarkComplete();
    clock.lap(&RenameTimings::log);

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
