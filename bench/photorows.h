#pragma once

#include "engine/fileentry.h"

#include <vector>

// The largest list of the benchmarks: IMG_00001.JPG and on, previews equal
// to the names.
inline constexpr int PhotoRowCount = 32766;

inline std::vector<FileEntry> PhotoRows()
{
    std::vector<FileEntry> rows(PhotoRowCount);
    for (int i = 0; i < PhotoRowCount; ++i) {
        rows[size_t(i)].Name = QStringLiteral("IMG_%1.JPG").arg(i + 1, 5, 10, QChar(u'0'));
        rows[size_t(i)].Preview = rows[size_t(i)].Name;
    }
    return rows;
}
