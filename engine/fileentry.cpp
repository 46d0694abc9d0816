#include "engine/fileentry.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

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

namespace {

// The fields of a broken-down time, in two digits each.
std::array<int, 6> TwoDigitFields(const std::tm &local)
{
    std::array<int, 6> fields = {local.tm_year, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour, local.tm_min,     local.tm_sec};
    // A year before 1900 counts from a negative tm_year.
    for (int &field : fields)
        field = (field % 100 + 100) % 100;
    return fields;
}

// What one thread learnt of the local time in one hour: the offset from UTC
// that holds through all of it, once both its ends have shown the same.
struct HourOffset
{
    qint64 hour = std::numeric_limits<qint64>::min();
    long offset = 0;
    bool verified = false;
    std::string zone; // TZ as it was: another zone knows nothing of this one
};

// Whether TZ still reads as zone, which holds it as it was last seen.
bool SameZone(const std::string &zone)
{
    const char *now = std::getenv("TZ");
    return now ? zone == now : zone == "\n";
}

std::string ZoneSetting()
{
    const char *zone = std::getenv("TZ");
    return zone ? std::string(zone) : std::string("\n");
}

} // namespace

std::optional<std::array<int, 6>> LocalTimeFields(qint64 secondsSinceEpoch)
{
    // localtime_r takes a lock of the whole process on every call; the
    // files of a folder often share their hour, whose offset is found once.
    thread_local HourOffset known;
    if (!SameZone(known.zone))
        known = HourOffset{std::numeric_limits<qint64>::min(), 0, false, ZoneSetting()};
    const qint64 hour =
        secondsSinceEpoch >= 0 ? secondsSinceEpoch / 3600 : -((-secondsSinceEpoch + 3599) / 3600);
    if (known.verified && known.hour == hour) {
        const qint64 local = secondsSinceEpoch + known.offset;
        const qint64 days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
        const qint64 seconds = local - days * 86400;
        const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
        std::tm fields{};
        fields.tm_year = int(date.year()) - 1900;
        fields.tm_mon = int(unsigned(date.month())) - 1;
        fields.tm_mday = int(unsigned(date.day()));
        fields.tm_hour = int(seconds / 3600);
        fields.tm_min = int(seconds / 60 % 60);
        fields.tm_sec = int(seconds % 60);
        return TwoDigitFields(fields);
    }
    const std::time_t t = std::time_t(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    if (known.hour == hour && !known.verified) {
        // A second time in this hour: learn whether its offset holds from
        // its first second to its last.
        const std::time_t first = std::time_t(hour * 3600);
        const std::time_t last = first + 3599;
        std::tm atFirst{};
        std::tm atLast{};
        known.verified = localtime_r(&first, &atFirst) && localtime_r(&last, &atLast) &&
                         atFirst.tm_gmtoff == atLast.tm_gmtoff && atFirst.tm_gmtoff == local.tm_gmtoff;
        known.offset = local.tm_gmtoff;
    } else if (known.hour != hour) {
        known = HourOffset{hour, local.tm_gmtoff, false, std::move(known.zone)};
    }
    return TwoDigitFields(local);
}

QString MakeDateText(qint64 secondsSinceEpoch)
{
    const std::optional<std::array<int, 6>> fields = LocalTimeFields(secondsSinceEpoch);
    // A time the calendar cannot hold shows as unknown rather than as a date.
    if (!fields)
        return QStringLiteral("--/--/-- --:--:--");
    // Files copied together share their time: they share its text too.
    thread_local std::array<int, 6> lastFields{-1};
    thread_local QString lastText;
    if (*fields == lastFields)
        return lastText;
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
    lastFields = *fields;
    lastText = QString(text, 17);
    return lastText;
}

QString MakeSizeText(qint64 bytes)
{
    // Files of one size share its text.
    thread_local qint64 lastBytes = -1;
    thread_local QString lastText;
    if (bytes == lastBytes)
        return lastText;
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, bytes).ptr;
    const int length = std::min(int(end - digits), 12);
    QString text(12, u' ');
    QChar *out = text.data() + (12 - length);
    for (int k = 0; k < length; ++k)
        out[k] = QLatin1Char(digits[k]);
    lastBytes = bytes;
    lastText = text;
    return text;
}

QString MakeCountText(int rows)
{
    return QString::number(rows) + u" FILES";
}
