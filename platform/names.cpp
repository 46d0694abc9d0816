#include "platform/names.h"

namespace {

constexpr char32_t EscapeBase = 0x10FE00;
constexpr char32_t EscapeFirst = 0x10FE80;
constexpr char32_t EscapeLast = 0x10FEFF;

void AppendCodePoint(QString &out, char32_t cp)
{
    if (cp < 0x10000) {
        out.append(QChar(char16_t(cp)));
    } else {
        out.append(QChar::highSurrogate(cp));
        out.append(QChar::lowSurrogate(cp));
    }
}

// Length of the valid UTF-8 sequence starting at p, or 0 when it is not one.
// Overlong forms, surrogates and code points above U+10FFFF are invalid.
int ValidSequence(const unsigned char *p, qsizetype left, char32_t &cp)
{
    const unsigned char b0 = p[0];
    int length;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString DecodeName(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n && p[i] < 0x80)
        ++i;
    if (i == n)
        return QString::fromLatin1(bytes);

    QString out = QString::fromLatin1(bytes.first(i));
    out.reserve(n);
    while (i < n) {
        if (p[i] < 0x80) {
            out.append(QChar(char16_t(p[i])));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int length = ValidSequence(p + i, n - i, cp);
        // A genuine escape code point is itself escaped byte by byte, so that
        // decoding stays unambiguous.
        if (length == 0 || (cp >= EscapeFirst && cp <= EscapeLast)) {
            AppendCodePoint(out, EscapeBase + p[i]);
            ++i;
        } else {
            AppendCodePoint(out, cp);
            i += length;
        }
    }
    return out;
}

QByteArray EncodeName(const QString &name)
{
    QByteArray out;
    out.reserve(name.size() * 3);
    const auto *s = reinterpret_cast<const char16_t *>(name.utf16());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = s[i];
        if (QChar::isHighSurrogate(cp) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            cp = QChar::surrogateToUcs4(char16_t(cp), s[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(cp)) {
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (cp >= EscapeFirst && cp <= EscapeLast) {
            out.append(char(cp - EscapeBase));
        } else if (cp < 0x80) {
            out.append(char(cp));
        } else if (cp < 0x800) {
            out.append(char(0xC0 | (cp >> 6)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.append(char(0xE0 | (cp >> 12)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else {
            out.append(char(0xF0 | (cp >> 18)));
            out.append(char(0x80 | ((cp >> 12) & 0x3F)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

QStringList DecodeNameLines(const QByteArray &content)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf("\r\n", start);
        if (end < 0)
            end = content.size();
        lines.append(DecodeName(QByteArrayView(content).sliced(start, end - start)));
        start = end + 2;
    }
    return lines;
}

QString EscapeLine(const QString &text)
{
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
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

QString UnescapeLine(const QString &line)
{
    if (!line.contains(u'\\'))
        return line;
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        const QChar next = i + 1 < line.size() ? line.at(i + 1) : QChar();
        if (c == u'\\' && (next == u'\\' || next == u'r' || next == u'n')) {
            text += next == u'\\' ? u'\\' : (next == u'r' ? u'\r' : u'\n');
            ++i;
            continue;
        }
        text += c;
    }
    return text;
}

QList<QByteArray> SplitFileLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    qsizetype start = content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0)
            end = content.size();
        if (end > start && content.at(end - 1) == '\r')
            --end;
        lines.append(content.sliced(start, end - start));
        start = next;
    }
    return lines;
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

QString NameToLine(const QString &name)
{
    if (!name.contains(u'\r') && !name.contains(u'\n'))
        return name;
    QString line = name;
    line.replace(u'\r', QStringLiteral("/r"));
    line.replace(u'\n', QStringLiteral("/n"));
    return line;
}

QString LineToName(const QString &line)
{
    if (!line.contains(u'/'))
        return line;
    QString name;
    name.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'/' && i + 1 < line.size() && (line.at(i + 1) == u'r' || line.at(i + 1) == u'n')) {
            name.append(line.at(++i) == u'r' ? u'\r' : u'\n');
            continue;
        }
        name.append(c);
    }
    return name;
}
