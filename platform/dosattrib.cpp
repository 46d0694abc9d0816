#include "platform/dosattrib.h"

#include <charconv>

namespace {

std::optional<std::uint32_t> ParseHex(const char *begin, const char *end)
{
    if (end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X'))
        begin += 2;
    else
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, 16);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// Offset of the attribute word in a binary record, or -1 for the text form.
qsizetype BinaryWordOffset(const QByteArray &value)
{
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0 || nul + 1 >= value.size())
        return -1;
    return nul + 1 + 4;
}

} // namespace

std::optional<std::uint32_t> ParseDosAttrib(const QByteArray &value)
{
    const qsizetype word = BinaryWordOffset(value);
    if (word < 0) {
        qsizetype end = value.size();
        if (end > 0 && value.at(end - 1) == '\0')
            --end;
        return ParseHex(value.constData(), value.constData() + end);
    }
    if (value.size() < word + 4)
        return std::nullopt;
    const auto *p = reinterpret_cast<const unsigned char *>(value.constData() + word);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

QByteArray ComposeDosAttrib(const QByteArray &existing, std::uint32_t attributes)
{
    const qsizetype word = BinaryWordOffset(existing);
    if (word >= 0 && existing.size() >= word + 4) {
        QByteArray patched = existing;
        for (int k = 0; k < 4; ++k)
            patched[word + k] = char((attributes >> (8 * k)) & 0xFF);
        return patched;
    }
    return QByteArrayLiteral("0x").append(QByteArray::number(attributes, 16));
}
