// Feeds arbitrary bytes to the settings reader. Whatever it accepts must
// survive a write and a second read unchanged. The bytes also serve as the
// text values of a record: every value written must read back equal, so no
// value can break a line and change another setting.
#include "platform/names.h"
#include "settings/settingsfile.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The text values of the record, in the order of the file.
std::vector<QString *> TextValues(AppSettings &s)
{
    std::vector<QString *> values = {&s.CurrentFolder, &s.NumberPattern, &s.ReplaceFrom,    &s.ReplaceTo,
                                     &s.InsertText,    &s.DatePrefix,    &s.ExternalProgram};
    for (int slot = 1; slot <= 10; ++slot)
        values.push_back(&s.ProhibitedNames[slot]);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    AppSettings first;
    if (ReadSettings(content, first)) {
        const QByteArray written = ComposeSettings(first);
        AppSettings second;
        if (!ReadSettings(written, second) || ComposeSettings(second) != written)
            std::abort();
    }
    (void)ParseLenientInteger(QString::fromUtf8(content));

    // Values as a name decodes them: any byte, CR, LF and backslashes too.
    AppSettings record;
    const QList<QByteArray> parts = content.split('\xfe');
    std::vector<QString *> values = TextValues(record);
    for (size_t k = 0; k < values.size() && k < size_t(parts.size()); ++k)
        *values[k] = DecodeName(parts.at(qsizetype(k)).replace('\0', QByteArray()));
    record.ShowHidden = size % 2 == 1;
    AppSettings reread;
    if (!ReadSettings(ComposeSettings(record), reread))
        std::abort();
    std::vector<QString *> back = TextValues(reread);
    for (size_t k = 0; k < values.size(); ++k) {
        if (*values[k] != *back[k])
            std::abort();
    }
    if (reread.ShowHidden != record.ShowHidden)
        std::abort();
    return 0;
}
