#include "engine/changelog.h"

#include "engine/validation.h"
#include "platform/names.h"

namespace {

const QString FieldSeparator = QStringLiteral(" > ");
const QString FolderPrefix = QStringLiteral("Path= ");

// The folder on one line: a backslash, CR and LF are written as "\\", "\r"
// and "\n". A path holds "/", so the name form of NameToLine would not do.
QString FolderToLine(const QString &folder)
{
    QString line;
    line.reserve(folder.size());
    for (const QChar c : folder) {
        if (c == u'\\')
            line += QStringLiteral("\\\\");
        else if (c == u'\r')
            line += QStringLiteral("\\r");
        else if (c == u'\n')
            line += QStringLiteral("\\n");
        else
            line += c;
    }
    return line;
}

QString LineToFolder(const QString &line)
{
    QString folder;
    folder.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            const QChar next = line.at(i + 1);
            if (next == u'\\' || next == u'r' || next == u'n') {
                folder += next == u'\\' ? u'\\' : (next == u'r' ? u'\r' : u'\n');
                ++i;
                continue;
            }
        }
        folder += c;
    }
    return folder;
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

QString StoppedInTrialLine()
{
    return QStringLiteral("// 置換は試し変換の段階で中止しました");
}

QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows, bool stoppedInTrial)
{
    QString text = ChangeLogHeader() + QStringLiteral("\r\n") + FolderPrefix + FolderToLine(folder) +
                   QStringLiteral("\r\n");
    if (stoppedInTrial)
        text += StoppedInTrialLine() + QStringLiteral("\r\n");
    for (size_t k = 0; k < rows.size(); ++k) {
        if (!IsUnchanged(rows[k]))
            text += ChangeLogLine(rows[k], int(k + 1)) + QStringLiteral("\r\n");
    }
    // EncodeName gives names their exact bytes back, even those that are not UTF-8.
    return EncodeName(text);
}

std::optional<ChangeLogRecord> ReadChangeLog(const QByteArray &content)
{
    const QStringList lines = DecodeNameLines(content);
    if (lines.size() < 2 || !lines.at(1).startsWith(FolderPrefix))
        return std::nullopt;
    ChangeLogRecord record;
    record.folder = LineToFolder(lines.at(1).mid(FolderPrefix.size()));
    // A name never holds "/", so no row line can be taken for the mark.
    record.stoppedInTrial = lines.size() > 2 && lines.at(2) == StoppedInTrialLine();
    for (qsizetype k = 2; k < lines.size(); ++k) {
        const QString &line = lines.at(k);
        qsizetype first = 0;
        QStringView tempName;
        if (!FindMiddleField(line, first, tempName))
            continue;
        ChangeLogRow row{LineToName(line.left(first)), tempName.toString(),
                         LineToName(line.sliced(first + 2 * FieldSeparator.size() + tempName.size()))};
        if (!record.oldNames.contains(row.tempName))
            record.oldNames.insert(row.tempName, row.oldName);
        record.rows.push_back(std::move(row));
    }
    return record;
}
