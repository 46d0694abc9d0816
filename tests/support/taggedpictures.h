#pragma once

#include <QByteArray>
#include <QString>

// Pictures made on the spot, for tests and benchmarks: a tiny picture of a
// kind ("jpeg"; or TIFF-based: "tiff", and the raw formats "cr2", "orf" and
// "rw2") whose Exif data holds the given dates, "YYYY:MM:DD HH:MM:SS" (an
// empty text writes no such tag). The tags are written with the metadata
// library itself. Empty when the picture cannot be made.
QByteArray TaggedPicture(const QString &kind, const QString &original, const QString &digitized = {});
