#include "engine/repair.h"

#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/validation.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <algorithm>

namespace {

const QString ChangeLogName = QStringLiteral("Kazami.Log");
const QString RepairTitle = QStringLiteral("修復に挑戦！！");

// A file under a temporary name, the row of the log it belongs to, and why
// it stays when it does.
struct Leftover
{
    QString name;
    const ChangeLogRow *row = nullptr;
    QString reason;
};

bool IsFree(const FolderHandle &folder, const QString &name)
{
    return !Fs().Identify(folder, name).has_value();
}

// What a cut-short rename by link and unlink leaves: the temporary name and
// the old or the new name for one file. The extra name goes.
bool DropSecondLink(const FolderHandle &folder, const Leftover &file)
{
    const std::optional<EntryIdentity> self = Fs().Identify(folder, file.name);
    if (!self || self->type != EntryType::File)
        return false;
    for (const QString &other : {file.row->oldName, file.row->newName}) {
        if (Fs().Identify(folder, other) == self && Fs().RemoveSecondLink(folder, file.name, other))
            return true;
    }
    return false;
}

enum class Direction
{
    Back,    // every file to its old name
    Forward, // every file to its new name
    Either,  // each where it can, its old name first
};

Direction ChooseDirection(const FolderHandle &folder, const std::vector<Leftover> &files)
{
    const auto allFree = [&](QString ChangeLogRow::*field) {
        return std::all_of(files.begin(), files.end(),
                           [&](const Leftover &file) { return IsFree(folder, file.row->*field); });
    };
    if (allFree(&ChangeLogRow::oldName))
        return Direction::Back;
    if (allFree(&ChangeLogRow::newName))
        return Direction::Forward;
    return Direction::Either;
}

// Renames one file to a name of its run; false when neither would do.
bool BringBack(FolderRenamer &renamer, Leftover &file, Direction direction)
{
    const QString &first = direction == Direction::Forward ? file.row->newName : file.row->oldName;
    const QString &second = direction == Direction::Forward ? file.row->oldName : file.row->newName;
    if (renamer.Rename(file.name, first))
        return true;
    if (direction == Direction::Either && first != second && renamer.Rename(file.name, second))
        return true;
    const FolderHandle &folder = renamer.folder();
    if (renamer.declined())
        file.reason = QStringLiteral("修復を取りやめました");
    else if (!IsFree(folder, file.row->oldName) && !IsFree(folder, file.row->newName))
        file.reason = QStringLiteral("元の名前も新しい名前も，ほかのファイルが使っています");
    else
        file.reason = QStringLiteral("名前を変えられません");
    return false;
}

void ReportLeftovers(const std::vector<Leftover> &left, const QString &logPath)
{
    constexpr size_t Named = 5;
    QString text = QStringLiteral("%1 個のファイルが一時名のまま残っています．").arg(left.size()) + CrLf;
    for (size_t k = 0; k < left.size() && k < Named; ++k) {
        const Leftover &file = left[k];
        text += CrLf + QuoteName(file.name);
        if (file.row)
            text += QStringLiteral("（元の名前：") + QuoteName(file.row->oldName) + QStringLiteral("）");
        text += QStringLiteral("：") + file.reason;
    }
    if (left.size() > Named)
        text += CrLf + QStringLiteral("ほか %1 個").arg(left.size() - Named);
    text += CrLf + CrLf + QStringLiteral("変更記録：") + logPath;
    Messages().ShowMessage(text, RepairTitle, MessageIcon::Exclamation);
}

std::vector<QString> TemporaryNames(const std::vector<QString> &names)
{
    std::vector<QString> found;
    for (const QString &name : names) {
        if (ContainsReservedToken(name))
            found.push_back(name);
    }
    return found;
}

} // namespace

QString ChangeLogPath()
{
    return JoinPath(GetLogFolder(), ChangeLogName);
}

int RepairFromLog(FolderRenamer &renamer, const QString &logPath)
{
    const FolderHandle &folder = renamer.folder();
    std::vector<QString> names;
    if (!Fs().ListNames(folder, names))
        return 0;
    const std::vector<QString> temporary = TemporaryNames(names);
    if (temporary.empty())
        return 0;

    std::vector<Leftover> left;
    const std::optional<QByteArray> content = Fs().ReadFile(logPath);
    const std::optional<ChangeLogRecord> log = content ? ReadChangeLog(*content) : std::nullopt;
    if (!log) {
        for (const QString &name : temporary)
            left.push_back({name, nullptr, QStringLiteral("変更記録を読めません")});
        ReportLeftovers(left, logPath);
        return int(left.size());
    }
    // Another folder's log would give this folder's files wrong names.
    if (log->folder != folder.path()) {
        Messages().ShowMessage(QStringLiteral("変更記録は別のフォルダのものです．ファイル名は修復しません") +
                                   CrLf + CrLf + QStringLiteral("変更記録のフォルダ：") + log->folder + CrLf +
                                   QStringLiteral("このフォルダ：") + folder.path(),
                               {}, MessageIcon::Exclamation);
        return int(temporary.size());
    }

    // The files of this run, in the order of the log, which is the order the
    // run renamed them in.
    std::vector<Leftover> files;
    for (const QString &name : temporary) {
        if (const ChangeLogRow *row = log->RowOfTemporary(name))
            files.push_back({name, row, {}});
        else
            left.push_back({name, nullptr, QStringLiteral("変更記録にない一時名です")});
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const Leftover &a, const Leftover &b) { return a.row < b.row; });
    std::erase_if(files, [&](const Leftover &file) { return DropSecondLink(folder, file); });

    const Direction direction = ChooseDirection(folder, files);
    // Where files go each their own way, one that found both names taken may
    // find one free once the others have moved.
    for (bool moved = true; moved && !files.empty();) {
        moved = false;
        std::erase_if(files, [&](Leftover &file) {
            const bool done = BringBack(renamer, file, direction);
            moved = moved || done;
            return done;
        });
        if (direction != Direction::Either || renamer.declined())
            break;
    }
    left.insert(left.end(), files.begin(), files.end());
    if (!left.empty())
        ReportLeftovers(left, logPath);
    return int(left.size());
}

RepairOffer OfferRepair(const FileList &list, const QString &logPath)
{
    const qsizetype count = std::count_if(list.FolderNames().begin(), list.FolderNames().end(),
                                          [](const QString &name) { return ContainsReservedToken(name); });
    if (count == 0 || !list.Handle().isOpen())
        return RepairOffer::NotNeeded;
    const std::optional<QByteArray> content = Fs().ReadFile(logPath);
    const std::optional<ChangeLogRecord> log = content ? ReadChangeLog(*content) : std::nullopt;
    if (!log || log->folder != list.Folder())
        return RepairOffer::NotNeeded;
    // A run under way holds the lock; its temporary names are no leftovers.
    const LockAttempt lock = Fs().LockFolder(list.Handle());
    if (lock.busy)
        return RepairOffer::NotNeeded;
    if (!Messages().AskYesNo(
            QStringLiteral(
                "このフォルダには，途中で止まった置換の一時名（__KZM_X_.）のファイルが %1 個あります．")
                    .arg(count) +
                CrLf + QStringLiteral("変更記録から名前を修復します．よろしいですね？") + CrLf +
                QStringLiteral("（他のアプリケーションが実行中の場合は，終了するまでお待ちください）") +
                CrLf + CrLf + QStringLiteral("変更記録：") + logPath,
            RepairTitle))
        return RepairOffer::Declined;
    FolderRenamer renamer(list.Handle());
    RepairFromLog(renamer, logPath);
    return RepairOffer::Repaired;
}
