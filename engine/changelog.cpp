#include "engine/changelog.h"

#include "engine/validation.h"
#include "platform/names.h"

namespace {

const QString FieldSeparator = QStringLiteral(" > ");

} // namespace

QString ChangeLogHeader()
{
    return QString(5, u'/') + QStringLiteral(" Kazami 変更記録 ") + QString(29, u'/');
}

QString ChangeLogLine(const FileEntry &entry, int row)
{
    return entry.Name + FieldSeparator + TempName(row) + FieldSeparator + entry.Preview;
}

QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows)
{
    QString text = ChangeLogHeader() + QStringLiteral("\r\nPath= ") + folder + QStringLiteral("\r\n");
    for (size_t k = 0; k < rows.size(); ++k) {
        if (!IsUnchanged(rows[k]))
            text += ChangeLogLine(rows[k], int(k + 1)) + QStringLiteral("\r\n");
    }
    // EncodeName gives names their exact bytes back, even those that are not UTF-8.
    return EncodeName(text);
}

QStringList SplitChangeLog(const QByteArray &content)
{
    return DecodeNameLines(content);
}

QString FindOldName(const QStringList &lines, const QString &tempName)
{
    for (qsizetype k = 2; k < lines.size(); ++k) {
        const QString &line = lines.at(k);
        if (!line.contains(tempName))
            continue;
        // The middle field must be the temporary name itself, so that
        // __KZM_X_.100 is not taken for __KZM_X_.1000.
        const qsizetype first = line.indexOf(FieldSeparator);
        if (first < 0)
            continue;
        const qsizetype second = line.indexOf(FieldSeparator, first + FieldSeparator.size());
        if (second < 0)
            continue;
        const qsizetype middle = first + FieldSeparator.size();
        if (QStringView(line).sliced(middle, second - middle) != tempName)
            continue;
        return line.left(first);
    }
    return {};
}
