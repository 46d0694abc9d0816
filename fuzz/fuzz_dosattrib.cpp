// Feeds user.DOSATTRIB values to the parser and the patcher. A patch may
// change nothing but the attribute word and the valid bit, must read back as
// the word it wrote, and neither may read past the value.
#include "platform/dosattrib.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t word;
    std::memcpy(&word, data, 4);
    // The value itself lies at the very end of the fuzzer's buffer, so any
    // read past it is caught.
    const QByteArray value =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    (void)ParseDosAttrib(value);
    const auto layout = ParseDosAttribLayout(value);
    const auto patched = ComposeDosAttrib(value, word);
    if (!layout) {
        if (patched && !value.isEmpty())
            std::abort();
        return 0;
    }
    if (!patched || ParseDosAttrib(*patched) != word)
        std::abort();
    if (layout->text)
        return 0;
    if (patched->size() != value.size())
        std::abort();
    for (qsizetype k = 0; k < value.size(); ++k) {
        const bool inWord = k >= layout->wordOffset && k < layout->wordOffset + 4;
        const char allowed = k == layout->validOffset ? char(0x01) : char(0);
        if (!inWord && ((patched->at(k) ^ value.at(k)) & ~allowed))
            std::abort();
    }
    return 0;
}
