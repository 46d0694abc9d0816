#include "engine/changelog.h"

#include "engine/validation.h"
#include "platform/names.h"

namespace {

const QString FieldSeparator = QStringLiteral(" > ");
const QString FolderPrefix = QStringLiteral("Path= ");

// The mark that logs of earlier versions gave a run stopped in its trial.
QString StoppedInTrialLine()
{
    return QStringLiteral("// 置換は試し変換の段階で中止しました");
}

// Finds " > " + token + digits + " > " in line: the position of its first
// separator and the temporary name between the two.
bool FindMiddleField(const QString &line, qsizetype &first, QStringView &tempName)
{
    const QString opening = FieldSeparator + ReservedToken;
    first = line.indexOf(opening);
    if (first < 0)
        return false;
    const qsizetype nameStart = first + FieldSeparator.size();
    qsizetype end = nameStart + ReservedToken.size();
    const qsizetype digitsStart = end;
    while (end < line.size() && line.at(end).isDigit() && line.at(end).unicode() < 0x80)
        ++end;
    if (end == digitsStart || !QStringView(line).sliced(end).startsWith(FieldSeparator))
        return false;
    tempName = QStringView(line).sliced(nameStart, end - nameStart);
    return true;
}

} // namespace

QString ChangeLogHeader()
{
    return QString(5, u'/') + QStringLiteral(" Kazami 変更記録 ") + QString(29, u'/');
}

QString ChangeLogLine(const FileEntry &entry, int row)
{
    return NameToLine(entry.Name) + FieldSeparator + TempName(row) + FieldSeparator +
           NameToLine(entry.Preview);
}

QString IncompleteRunLine()
{
    return QStringLiteral("// この置換は完了していません（途中で止まったか，試し変換で中止しました）");
}

QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows, bool incomplete)
{
    QString text = ChangeLogHeader() + QStringLiteral("\r\n") + FolderPrefix + EscapeLine(folder) +
                   QStringLiteral("\r\n");
    if (incomplete)
        text += IncompleteRunLine() + QStringLiteral("\r\n");
    for (size_t k = 0; k < rows.size(); ++k)
        text += ChangeLogLine(rows[k], int(k + 1)) + QStringLiteral("\r\n");
    // EncodeName gives names their exact bytes back, even those that are not UTF-8.
    return EncodeName(text);
}

const ChangeLogRow *ChangeLogRecord::RowOfTemporary(const QString &name) const
{
    auto found = m_byTempName.constFind(name);
    if (found == m_byTempName.cend() && name.endsWith(u'x'))
        found = m_byTempName.constFind(name.chopped(1));
    return found == m_byTempName.cend() ? nullptr : &rows[size_t(*found)];
}

std::optional<ChangeLogRecord> ReadChangeLog(const QByteArray &content)
{
    const QList<QByteArray> lines = SplitFileLines(content);
    if (lines.size() < 2)
        return std::nullopt;
    const QString folderLine = DecodeName(lines.at(1));
    if (!folderLine.startsWith(FolderPrefix))
        return std::nullopt;
    ChangeLogRecord record;
    record.folder = UnescapeLine(folderLine.mid(FolderPrefix.size()));
    if (lines.size() > 2) {
        // A name never holds "/", so no row line can be taken for a mark.
        const QString third = DecodeName(lines.at(2));
        record.incomplete = third == IncompleteRunLine() || third == StoppedInTrialLine();
    }
    record.rows.reserve(size_t(lines.size()));
    for (qsizetype k = 2; k < lines.size(); ++k) {
        const QString line = DecodeName(lines.at(k));
        qsizetype first = 0;
        QStringView tempName;
        if (!FindMiddleField(line, first, tempName))
            continue;
        ChangeLogRow row{LineToName(line.left(first)), tempName.toString(),
                         LineToName(line.sliced(first + 2 * FieldSeparator.size() + tempName.size()))};
        if (!record.m_byTempName.contains(row.tempName))
            record.m_byTempName.insert(row.tempName, qsizetype(record.rows.size()));
        record.rows.push_back(std::move(row));
    }
    return record;
}
