#include "platform/dosattrib.h"

#include <charconv>

namespace {

constexpr std::uint32_t ValidAttrib = 0x1;

// The fixed part of each version's structure in Samba's marshalling, in
// bytes: version 1 holds the attribute word, the EA size, the size and the
// allocation size, two times; version 2 a flags word before those and a
// third time; versions 3 to 5 valid_flags and the word, then (3) the EA
// size, two sizes and two times, (4) two times, (5) one time.
constexpr qsizetype StructureSize[6] = {0, 40, 52, 44, 24, 16};

std::optional<std::uint32_t> ParseHex(const char *begin, const char *end)
{
    if (end - begin <= 2 || begin[0] != '0' || (begin[1] != 'x' && begin[1] != 'X'))
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(begin + 2, end, value, 16);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::uint32_t ReadWord32(const QByteArray &value, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(value.constData() + at);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void WriteWord32(QByteArray &value, qsizetype at, std::uint32_t word)
{
    for (int k = 0; k < 4; ++k)
        value[at + k] = char((word >> (8 * k)) & 0xFF);
}

int ReadWord16(const QByteArray &value, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(value.constData() + at);
    return int(p[0]) | int(p[1]) << 8;
}

// The text of a value in the text form, without its final NUL.
std::optional<std::uint32_t> ParseText(const QByteArray &value)
{
    qsizetype end = value.size();
    if (end > 0 && value.at(end - 1) == '\0')
        --end;
    return ParseHex(value.constData(), value.constData() + end);
}

} // namespace

std::optional<DosAttribLayout> ParseDosAttribLayout(const QByteArray &value)
{
    DosAttribLayout layout;
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0 || nul == value.size() - 1) {
        if (!ParseText(value))
            return std::nullopt;
        layout.text = true;
        return layout;
    }
    qsizetype at = nul + 1;
    at += at % 2;
    if (value.size() < at + 4)
        return std::nullopt;
    layout.version = ReadWord16(value, at);
    if (layout.version < 1 || layout.version > 5 || ReadWord16(value, at + 2) != layout.version)
        return std::nullopt;
    at += 4;
    at += (4 - at % 4) % 4;
    layout.complete = value.size() >= at + StructureSize[layout.version];
    if (layout.version == 1) {
        layout.wordOffset = at;
    } else {
        if (layout.version >= 3)
            layout.validOffset = at;
        layout.wordOffset = at + 4;
    }
    if (value.size() < layout.wordOffset + 4)
        return std::nullopt;
    return layout;
}

std::optional<std::uint32_t> ParseDosAttrib(const QByteArray &value)
{
    const auto layout = ParseDosAttribLayout(value);
    if (!layout)
        return std::nullopt;
    if (layout->text)
        return ParseText(value);
    if (layout->validOffset >= 0 && !(ReadWord32(value, layout->validOffset) & ValidAttrib))
        return 0;
    return ReadWord32(value, layout->wordOffset);
}

std::optional<QByteArray> ComposeDosAttrib(const QByteArray &existing, std::uint32_t attributes)
{
    const QByteArray text = QByteArrayLiteral("0x").append(QByteArray::number(attributes, 16));
    if (existing.isEmpty())
        return text;
    const auto layout = ParseDosAttribLayout(existing);
    if (!layout)
        return std::nullopt;
    if (layout->text)
        return text;
    if (!layout->complete)
        return std::nullopt;
    QByteArray patched = existing;
    WriteWord32(patched, layout->wordOffset, attributes);
    if (layout->validOffset >= 0)
        WriteWord32(patched, layout->validOffset, ReadWord32(existing, layout->validOffset) | ValidAttrib);
    return patched;
}
