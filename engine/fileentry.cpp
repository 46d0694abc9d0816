#include "engine/fileentry.h"

#include <ctime>

QString MakeAttrText(int attributes)
{
    const QChar text[5] = {
        (attributes & 1) ? u'R' : u'-', u' ', (attributes & 2) ? u'H' : u'-', u' ',
        (attributes & 4) ? u'S' : u'-',
    };
    return QString(text, 5);
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

QString MakeDateText(qint64 secondsSinceEpoch)
{
    const std::time_t t = std::time_t(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&t, &local);
    const int fields[6] = {local.tm_year % 100, local.tm_mon + 1, local.tm_mday,
                           local.tm_hour,       local.tm_min,     local.tm_sec};
    static constexpr char16_t separators[6] = {u'/', u'/', u' ', u':', u':', 0};
    QChar text[17];
    int k = 0;
    for (int f = 0; f < 6; ++f) {
        const int value = (fields[f] % 100 + 100) % 100;
        text[k++] = QChar(u'0' + value / 10);
        text[k++] = QChar(u'0' + value % 10);
        if (separators[f])
            text[k++] = QChar(separators[f]);
    }
    return QString(text, 17);
}

QString MakeSizeText(qint64 bytes)
{
    QString digits = QString::number(bytes);
    if (digits.size() > 12)
        digits.truncate(12);
    return digits.rightJustified(12, u' ');
}

QString MakeCountText(int rows)
{
    return QString::number(rows) + u" FILES";
}
