#include "engine/validation.h"

#include "engine/messages.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <QHash>
#include <vector>

namespace {

const QString ReservedTokenMessage = QStringLiteral("このプログラムでは [ __KZM_X_ ] という文字は使えません");

// A leading period would hide a visible file; a dot-file may keep its own.
bool GainsLeadingPeriod(const QString &preview, const QString &currentName)
{
    return preview.startsWith(u'.') && !currentName.startsWith(u'.');
}

bool EndsWithPeriod(const QString &name)
{
    return name.endsWith(u'.');
}

// A name the file system cannot hold: too long once encoded, with a NUL
// that would cut the name short in a system call, or with a line break that
// the change log and the duplicate check could not keep on one line.
bool FitsFileSystem(const QString &preview)
{
    if (preview.contains(QChar(u'\0'))) {
        Messages().ShowMessage(preview + CrLf + QStringLiteral("ファイル名にNUL文字は使えません"));
        return false;
    }
    if (preview.contains(u'\r') || preview.contains(u'\n')) {
        Messages().ShowMessage(NameToLine(preview) + CrLf +
                               QStringLiteral("ファイル名に改行文字は使えません"));
        return false;
    }
    if (EncodeName(preview).size() > MaxNameBytes) {
        Messages().ShowMessage(preview + CrLf +
                               QStringLiteral("ファイル名が長すぎます．255バイト以内にしてください"));
        return false;
    }
    return true;
}

const QString MakingFailed = QStringLiteral("テンポラリファイル製作中に障害が生じました");
const QString ReadingFailed = QStringLiteral("テンポラリファイル処理中に障害が生じました");

// Every entry of the folder, listed files under their future names, one per
// line, in a new temporary file whose path it gives. Nothing (after its
// message) when the folder cannot be listed or the file made; reserved is
// set when a reserved name was met.
std::optional<QString> WriteFutureNames(const FileList &list, QByteArray &written, bool &reserved)
{
    // Every entry counts, whatever its attributes, so nothing but the names
    // needs reading.
    std::vector<QString> entries;
    const QString tempFolder = GetTempFolder();
    if (tempFolder.isEmpty() || !Fs().ListNames(list.Handle(), entries)) {
        Messages().ShowMessage(MakingFailed);
        return std::nullopt;
    }

    // The first row of each exact name, as a lookup would find it.
    QHash<QString, int> firstRow;
    firstRow.reserve(list.count());
    for (int row = 1; row <= list.count(); ++row) {
        const QString &name = list.at(row).Name;
        if (!firstRow.contains(name))
            firstRow.insert(name, row);
    }

    qsizetype reservedCount = 0;
    written.clear();
    written.reserve(qsizetype(entries.size()) * 24);
    for (const QString &name : entries) {
        if (ContainsReservedToken(name))
            ++reservedCount;
        const auto found = firstRow.constFind(name);
        const QString &future =
            (found != firstRow.cend() && !list.at(*found).Preview.isEmpty()) ? list.at(*found).Preview : name;
        written += EncodeName(NameToLine(future));
        written += "\r\n";
    }
    // One message for them all: a stopped run may leave thousands.
    reserved = reservedCount > 0;
    if (reserved)
        Messages().ShowMessage(
            ReservedTokenMessage + CrLf +
            QStringLiteral("この文字を含む名前がフォルダに %1 個あります．").arg(reservedCount) + CrLf +
            QStringLiteral("途中で止まった置換の一時名なら，フォルダを読み込み直すと修復できます"));
    const std::optional<QString> path =
        Fs().CreateUniqueFile(tempFolder, DuplicateCheckFilePrefix, QStringLiteral(".tmp"), written);
    if (!path)
        Messages().ShowMessage(MakingFailed);
    return path;
}

// Reports every line that equals another ignoring letter case, in file order.
bool FindDuplicateNames(const QString &tempPath, const QByteArray &written)
{
    const std::optional<QByteArray> content = Fs().ReadFile(tempPath);
    if (!content || *content != written) {
        Messages().ShowMessage(ReadingFailed);
        return false;
    }

    QStringList lines = DecodeNameLines(*content);
    std::vector<QString> lowered;
    lowered.reserve(lines.size());
    QHash<QString, int> counts;
    counts.reserve(qsizetype(lines.size()));
    for (QString &line : lines) {
        line = LineToName(line);
        lowered.push_back(line.toLower());
        ++counts[lowered.back()];
    }

    bool ok = true;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (counts.value(lowered[size_t(k)]) > 1) {
            Messages().ShowMessage(lines[k] + QStringLiteral("が重複します"),
                                   QStringLiteral("ファイルが重複します"), MessageIcon::Critical);
            ok = false;
        }
    }
    return ok;
}

} // namespace

bool CheckNameChars(const QString &text, bool forbidQuestionMark)
{
    static const QString Forbidden = QStringLiteral("\\/:*\"<>|");
    bool refused = forbidQuestionMark && text.contains(u'?');
    for (qsizetype k = 0; !refused && k < Forbidden.size(); ++k)
        refused = text.contains(Forbidden.at(k));
    if (!refused)
        return true;
    Messages().ShowMessage(QStringLiteral("ファイルに以下の文字は使えません") + CrLf + CrLf +
                               QStringLiteral("\\ / : * ? \" < > |"),
                           QStringLiteral("使用できない文字が含まれています"));
    return false;
}

bool NotBlank(const QString &name)
{
    for (const QChar c : name) {
        if (c != u' ')
            return true;
    }
    return false;
}

bool ContainsReservedToken(const QString &name)
{
    return name.contains(ReservedToken, Qt::CaseInsensitive);
}

bool CheckPreview(const QString &preview, const QString &currentName)
{
    // Characters no file name may hold.
    if (!CheckNameChars(preview, true))
        return false;
    // A leading period would hide a file that was visible.
    if (GainsLeadingPeriod(preview, currentName)) {
        Messages().ShowMessage(preview + CrLf + QStringLiteral("先頭をピリオドにはできません"));
        return false;
    }
    // A trailing period is dropped by some file systems, so the name would change.
    if (EndsWithPeriod(preview)) {
        Messages().ShowMessage(preview + CrLf + QStringLiteral("ファイル名の最後をピリオドにはできません"));
        return false;
    }
    // An empty or all-space name.
    if (!NotBlank(preview)) {
        Messages().ShowMessage(QStringLiteral("空白名が存在します．名前を付けてください"));
        return false;
    }
    // The run's own temporary names.
    if (ContainsReservedToken(preview)) {
        Messages().ShowMessage(ReservedTokenMessage + CrLf +
                               QStringLiteral("フォルダから移動するか，他のソフトで名前を変えてください"));
        return false;
    }
    // Too long or otherwise impossible on this file system.
    return FitsFileSystem(preview);
}

bool CheckDuplicates(const FileList &list, AppSettings &settings)
{
    StripTrailingSeparators(settings.CurrentFolder);
    QByteArray written;
    bool reserved = false;
    const std::optional<QString> tempPath = WriteFutureNames(list, written, reserved);
    if (!tempPath)
        return false;
    bool ok = !reserved && FindDuplicateNames(*tempPath, written);
    if (!Fs().RemoveFile(*tempPath)) {
        Messages().ShowMessage(QStringLiteral("テンポラリファイルを削除できませんでした") + CrLf + *tempPath);
        ok = false;
    }
    return ok;
}

bool IsUnchanged(const FileEntry &entry)
{
    return entry.Preview == entry.Name;
}

QString TempName(int row)
{
    return ReservedToken + QStringLiteral("%1").arg(row, 3, 10, QChar(u'0'));
}

TrialRename TryRename(const FileEntry &entry, int row, FolderRenamer &renamer,
                      const std::function<bool(const QString &trialName)> &whileAway)
{
    const QString trialName = TempName(row) + u'x';
    if (!renamer.Rename(entry.Name, trialName))
        return renamer.declined() ? TrialRename::Declined : TrialRename::Refused;
    const bool usable = !whileAway || whileAway(trialName);
    if (!renamer.Rename(trialName, entry.Name))
        return TrialRename::Stuck;
    return usable ? TrialRename::Done : TrialRename::Refused;
}

int WantedAttributes(const FileEntry &entry)
{
    int wanted = ParseAttrText(entry.Attributes);
    if (entry.HiddenByName)
        wanted &= ~AttrHidden;
    return wanted;
}

bool ApplyAttributes(const FolderHandle &folder, const QString &name, const FileEntry &entry)
{
    // The file system keeps archive and folder bits itself; only read-only,
    // hidden and system are written.
    return Fs().WriteAttributes(folder, name, WantedAttributes(entry));
}
