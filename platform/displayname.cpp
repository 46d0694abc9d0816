#include "platform/displayname.h"

namespace {

// The escaped bytes are 0x80 to 0xFF; an ASCII byte is always text.
constexpr char32_t EscapeBase = 0x10FE00;
constexpr char32_t EscapeFirst = 0x10FE80;
constexpr char32_t EscapeLast = 0x10FEFF;

// The escaped byte at i, or -1 when the code point at i is a character.
int EscapedByteAt(QStringView name, qsizetype i)
{
    if (i + 1 >= name.size() || !name[i].isHighSurrogate() || !name[i + 1].isLowSurrogate())
        return -1;
    const char32_t cp = QChar::surrogateToUcs4(name[i], name[i + 1]);
    return cp >= EscapeFirst && cp <= EscapeLast ? int(cp - EscapeBase) : -1;
}

QString ByteText(int byte)
{
    return QStringLiteral("\\x") + QString::number(byte, 16).toUpper();
}

} // namespace

QList<NameRun> DisplayRuns(QStringView name)
{
    QList<NameRun> runs;
    qsizetype i = 0;
    while (i < name.size()) {
        const bool escaped = EscapedByteAt(name, i) >= 0;
        if (runs.isEmpty() || runs.last().escapedBytes != escaped)
            runs.append({QString(), escaped});
        if (escaped) {
            runs.last().text += ByteText(EscapedByteAt(name, i));
            i += 2;
        } else {
            // A surrogate pair that is no escape stays one character.
            const qsizetype length =
                i + 1 < name.size() && name[i].isHighSurrogate() && name[i + 1].isLowSurrogate() ? 2 : 1;
            runs.last().text += name.sliced(i, length);
            i += length;
        }
    }
    return runs;
}

QString DisplayName(const QString &name)
{
    if (!HasEscapedBytes(name))
        return name;
    QString shown;
    for (const NameRun &run : DisplayRuns(name))
        shown += run.text;
    return shown;
}

bool HasEscapedBytes(QStringView name)
{
    for (qsizetype i = 0; i + 1 < name.size(); ++i) {
        if (EscapedByteAt(name, i) >= 0)
            return true;
    }
    return false;
}
