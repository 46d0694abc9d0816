// Feeds arbitrary bytes to the settings reader. Whatever it accepts must
// survive a write and a second read unchanged.
#include "settings/settingsfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    AppSettings first;
    if (!ReadSettings(content, first))
        return 0;
    const QByteArray written = ComposeSettings(first);
    AppSettings second;
    if (!ReadSettings(written, second) || ComposeSettings(second) != written)
        std::abort();
    (void)ParseLenientInteger(QString::fromUtf8(content));
    return 0;
}
