#include "engine/validation.h"

#include "engine/messages.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"

#include <QHash>
#include <vector>

namespace {

const QString ReservedTokenMessage = QStringLiteral("このプログラムでは [ __KZM_X_ ] という文字は使えません");
const QString CharsTitle = QStringLiteral("使用できない文字が含まれています");
const QString DuplicateTitle = QStringLiteral("ファイルが重複します");

QString CharsMessage()
{
    return QStringLiteral("ファイルに以下の文字は使えません") + CrLf + CrLf +
           QStringLiteral("\\ / : * ? \" < > |");
}

// Whether the preview holds c where the current name does not: Linux allows
// what Windows forbids, and a file may keep what its name already has, but
// a rule may not bring it in.
bool Introduces(const QString &preview, const QString &currentName, QChar c)
{
    return preview.contains(c) && !currentName.contains(c);
}

bool IntroducesForbiddenChar(const QString &preview, const QString &currentName)
{
    for (const QChar c : preview) {
        switch (c.unicode()) {
        case u'\\':
        case u'/':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            if (!currentName.contains(c))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

// A name the file system cannot hold: too long once encoded, or with a NUL
// that would cut the name short in a system call.
std::optional<PreviewFault> CannotExist(const QString &preview)
{
    if (preview.contains(QChar(u'\0')))
        return PreviewFault{NameToLine(preview) + CrLf + QStringLiteral("ファイル名にNUL文字は使えません")};
    // A UTF-16 unit never takes more than three bytes.
    if (preview.size() * 3 > MaxNameBytes && EncodeName(preview).size() > MaxNameBytes)
        return PreviewFault{NameToLine(preview) + CrLf +
                            QStringLiteral("ファイル名が長すぎます．255バイト以内にしてください")};
    return std::nullopt;
}

const QString MakingFailed = QStringLiteral("テンポラリファイル製作中に障害が生じました");
const QString ReadingFailed = QStringLiteral("テンポラリファイル処理中に障害が生じました");

// Every entry of the folder, listed files under their future names, one per
// line, in a new temporary file whose path it gives. Nothing (after its
// message) when the folder cannot be listed or the file made; reserved is
// set when a reserved name was met.
std::optional<QString> WriteFutureNames(const FileList &list, FolderFuture &future, QByteArray &written,
                                        bool &reserved)
{
    // Every entry counts, whatever its attributes, so nothing but the names
    // needs reading.
    std::vector<QString> entries;
    const QString tempFolder = GetTempFolder();
    if (tempFolder.isEmpty() || !Fs().ListNames(list.Handle(), entries)) {
        Messages().ShowMessage(MakingFailed);
        return std::nullopt;
    }
    future = MakeFolderFuture(list, entries);

    qsizetype reservedCount = 0;
    written.clear();
    written.reserve(qsizetype(entries.size()) * 24);
    for (const QString &name : entries) {
        if (ContainsReservedToken(name))
            ++reservedCount;
    }
    for (const QString &name : future.names) {
        written += EncodeName(NameToLine(name));
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

// Reads the names back and reports, in one box, the names that collide, in
// file order. The rows of the list whose names collide go to collidingRows.
bool FindDuplicateNames(const QString &tempPath, const QByteArray &written, const FolderFuture &future,
                        std::vector<int> *collidingRows)
{
    const std::optional<QByteArray> content = Fs().ReadFile(tempPath);
    if (!content || *content != written) {
        Messages().ShowMessage(ReadingFailed);
        return false;
    }

    QStringList lines = DecodeNameLines(*content);
    for (QString &line : lines)
        line = LineToName(line);
    if (lines.size() != qsizetype(future.isNew.size())) {
        Messages().ShowMessage(ReadingFailed);
        return false;
    }
    const Collisions collisions = FindCollisions(lines, future.isNew);
    const qsizetype colliding = collisions.count();
    if (colliding == 0)
        return true;

    QStringList shown;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (!collisions.collides(k))
            continue;
        if (shown.size() < MaxDuplicatesShown)
            shown.append(lines[k] + QStringLiteral("が重複します"));
        if (collidingRows && future.rows[size_t(k)] > 0)
            collidingRows->push_back(future.rows[size_t(k)]);
    }
    if (colliding > shown.size())
        shown.append(QStringLiteral("ほかに %1 個の名前も重複します").arg(colliding - shown.size()));
    Messages().ShowMessage(shown.join(CrLf), DuplicateTitle, MessageIcon::Critical);
    return false;
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
    Messages().ShowMessage(CharsMessage(), CharsTitle);
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

std::optional<PreviewFault> FindPreviewFault(const QString &preview, const QString &currentName,
                                             const QString &loggedName)
{
    const auto shown = [&preview] { return NameToLine(preview); };
    // A name kept as it is brings in nothing: only the tests that refuse a
    // name whatever it had can fail.
    const bool kept = preview == currentName;
    // Characters no file name may hold on Windows, unless the name has them.
    if (!kept && IntroducesForbiddenChar(preview, currentName))
        return PreviewFault{shown() + CrLf + CharsMessage(), CharsTitle};
    // A leading period would hide a file that was visible; an undo may give
    // back the name the change log recorded.
    if (preview.startsWith(u'.') && !currentName.startsWith(u'.') && preview != loggedName)
        return PreviewFault{shown() + CrLf + QStringLiteral("先頭をピリオドにはできません")};
    // A trailing period is dropped by some file systems, so the name would change.
    if (preview.endsWith(u'.') && !currentName.endsWith(u'.'))
        return PreviewFault{shown() + CrLf + QStringLiteral("ファイル名の最後をピリオドにはできません")};
    // An empty or all-space name.
    if (!NotBlank(preview))
        return PreviewFault{QStringLiteral("空白名が存在します．名前を付けてください")};
    // The run's own temporary names.
    if (ContainsReservedToken(preview))
        return PreviewFault{ReservedTokenMessage + CrLf +
                            QStringLiteral("フォルダから移動するか，他のソフトで名前を変えてください")};
    // A line break that the name did not have.
    if (Introduces(preview, currentName, u'\r') || Introduces(preview, currentName, u'\n'))
        return PreviewFault{shown() + CrLf + QStringLiteral("ファイル名に改行文字は使えません")};
    return CannotExist(preview);
}

bool CheckPreview(const QString &preview, const QString &currentName, const QString &loggedName)
{
    const std::optional<PreviewFault> fault = FindPreviewFault(preview, currentName, loggedName);
    if (fault)
        Messages().ShowMessage(fault->text, fault->title);
    return !fault;
}

FolderFuture MakeFolderFuture(const FileList &list, const std::vector<QString> &entries)
{
    // The first row of each exact name, as a lookup would find it.
    QHash<QString, int> firstRow;
    firstRow.reserve(list.count());
    for (int row = 1; row <= list.count(); ++row) {
        const QString &name = list.at(row).Name;
        if (!firstRow.contains(name))
            firstRow.insert(name, row);
    }

    FolderFuture future;
    future.names.reserve(qsizetype(entries.size()));
    future.isNew.reserve(entries.size());
    future.rows.reserve(entries.size());
    for (const QString &name : entries) {
        const int row = firstRow.value(name, 0);
        bool renamed = false;
        future.names.append(row > 0 ? FutureName(list.at(row), renamed) : name);
        future.isNew.push_back(renamed);
        future.rows.push_back(row);
    }
    return future;
}

const QString &FutureName(const FileEntry &entry, bool &renamed)
{
    renamed = !entry.Preview.isEmpty() && entry.Preview != entry.Name;
    return renamed ? entry.Preview : entry.Name;
}

bool CheckDuplicates(const FileList &list, AppSettings &settings, std::vector<int> *collidingRows)
{
    StripTrailingSeparators(settings.CurrentFolder);
    QByteArray written;
    FolderFuture future;
    bool reserved = false;
    const std::optional<QString> tempPath = WriteFutureNames(list, future, written, reserved);
    if (!tempPath)
        return false;
    bool ok = !reserved && FindDuplicateNames(*tempPath, written, future, collidingRows);
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
