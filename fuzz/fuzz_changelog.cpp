// Feeds the change-log reader. Arbitrary bytes must never crash it, and a
// log composed from any names the run accepts must read back exactly.
#include "engine/changelog.h"
#include "engine/validation.h"
#include "platform/names.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Rows whose old names come from the fuzzer's bytes, split at 0xFF; a name
// holding what no name on disk can hold ("/", NUL, the reserved token) is
// left out, as the run would refuse to start with it.
std::vector<FileEntry> RowsFrom(const QByteArray &bytes)
{
    std::vector<FileEntry> rows;
    for (const QByteArray &raw : bytes.split('\xff')) {
        const QString name = DecodeName(raw);
        if (raw.isEmpty() || raw.contains('/') || raw.contains('\0') || ContainsReservedToken(name))
            continue;
        FileEntry &row = rows.emplace_back();
        row.Name = name;
        row.Preview = rows.size() % 3 == 0 ? name : QStringLiteral("new%1.txt").arg(rows.size());
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto record = ReadChangeLog(content)) {
        for (const ChangeLogRow &row : record->rows) {
            if (!row.tempName.startsWith(ReservedToken) || record->RowOfTemporary(row.tempName) == nullptr)
                std::abort();
        }
    }

    const qsizetype split = content.indexOf('\xfe');
    if (split < 0)
        return 0;
    // A path holds no NUL; the rest of its bytes decode as the scan decodes them.
    const QString folder = DecodeName(content.left(split).replace('\0', QByteArray()));
    const std::vector<FileEntry> rows = RowsFrom(content.mid(split + 1));
    const bool incomplete = content.size() % 2 == 1;
    QByteArray log = ComposeChangeLog(folder, rows, incomplete);
    // Whatever an editor did to the line ends, every row reads back.
    if (content.size() % 3 == 0)
        log.replace("\r\n", "\n");
    const auto record = ReadChangeLog(log);
    if (!record || record->folder != folder || record->incomplete != incomplete ||
        record->rows.size() != rows.size())
        std::abort();
    for (size_t k = 0; k < rows.size(); ++k) {
        const ChangeLogRow *row = record->RowOfTemporary(TempName(int(k + 1)) + u'x');
        if (!row || row->oldName != rows[k].Name || row->newName != rows[k].Preview)
            std::abort();
    }
    return 0;
}
