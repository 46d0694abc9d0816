#include "engine/fileentry.h"

#include <algorithm>
#include <charconv>
#include <ctime>

const QString &ColumnText(const FileEntry &entry, int column)
{
    switch (column) {
    case 0:
        return entry.Name;
    case 1:
        return entry.Preview;
    case 2:
        return entry.Attributes;
    case 3:
        return entry.Date;
    default:
        return entry.Size;
    }
}

QString MakeAttrText(int attributes)
{
    // Eight texts in all: share them rather than build one per row.
    static const QString texts[8] = {
        QStringLiteral("- - -"), QStringLiteral("R - -"), QStringLiteral("- H -"), QStringLiteral("R H -"),
        QStringLiteral("- - S"), QStringLiteral("R - S"), QStringLiteral("- H S"), QStringLiteral("R H S"),
    };
    return texts[attributes & 7];
}

int ParseAttrText(const QString &text)
{
    int bits = 0;
    if (text.contains(u'R', Qt::CaseInsensitive))
        bits |= 1;
    if (text.contains(u'H', Qt::CaseInsensitive))
        bits |= 2;
    if (text.contains(u'S', Qt::CaseInsensitive))
        bits |= 4;
    return bits;
}

std::optional<std::array<int, 6>> LocalTimeFields(qint64 secondsSinceEpoch)
{
    const std::time_t t = std::time_t(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    std::array<int, 6> fields = {local.tm_year, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour, local.tm_min,     local.tm_sec};
    // A year before 1900 counts from a negative tm_year.
    for (int &field : fields)
        field = (field % 100 + 100) % 100;
    return fields;
}

QString MakeDateText(qint64 secondsSinceEpoch)
{
    const std::optional<std::array<int, 6>> fields = LocalTimeFields(secondsSinceEpoch);
    // A time the calendar cannot hold shows as unknown rather than as a date.
    if (!fields)
        return QStringLiteral("--/--/-- --:--:--");
    static constexpr char16_t separators[6] = {u'/', u'/', u' ', u':', u':', 0};
    QChar text[17];
    int k = 0;
    for (int f = 0; f < 6; ++f) {
        const int value = (*fields)[size_t(f)];
        text[k++] = QChar(u'0' + value / 10);
        text[k++] = QChar(u'0' + value % 10);
        if (separators[f])
            text[k++] = QChar(separators[f]);
    }
    return QString(text, 17);
}

QString MakeSizeText(qint64 bytes)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, bytes).ptr;
    const int length = std::min(int(end - digits), 12);
    QString text(12, u' ');
    QChar *out = text.data() + (12 - length);
    for (int k = 0; k < length; ++k)
        out[k] = QLatin1Char(digits[k]);
    return text;
}

QString MakeCountText(int rows)
{
    return QString::number(rows) + u" FILES";
}
