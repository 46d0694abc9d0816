#include "support/taggedpictures.h"

#include <QBuffer>
#include <QImage>
#include <exiv2/exiv2.hpp>

namespace {

// A one-pixel grey TIFF without Exif data. Raw formats differ in their
// header: CR2 adds its own mark after it, ORF and RW2 change the magic
// number.
QByteArray BareTiff(const QString &kind)
{
    QByteArray bytes;
    auto u16 = [&](unsigned v) {
        bytes.append(char(v & 0xff));
        bytes.append(char(v >> 8));
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xffff);
        u16(v >> 16);
    };
    bytes.append("II");
    u16(kind == u"orf" ? 0x4f52 : 0x2a);
    u32(16); // the first directory, after the header's 16 bytes
    if (kind == u"cr2")
        bytes.append("CR\x02\0\0\0\0\0", 8);
    else
        bytes.append(8, '\0');
    constexpr unsigned Entries = 9;
    constexpr unsigned Pixel = 16 + 2 + Entries * 12 + 4;
    u16(Entries);
    const unsigned short Short = 3, Long = 4;
    const unsigned entries[Entries][3] = {{0x100, Short, 1}, {0x101, Short, 1}, {0x102, Short, 8},
                                          {0x103, Short, 1}, {0x106, Short, 1}, {0x111, Long, Pixel},
                                          {0x115, Short, 1}, {0x116, Short, 1}, {0x117, Long, 1}};
    for (const auto &entry : entries) {
        u16(entry[0]);
        u16(entry[1]);
        u32(1);
        u32(entry[2]);
    }
    u32(0);
    bytes.append(char(0x80));
    return bytes;
}

// The picture an image of the kind starts from, before its tags.
QByteArray BarePicture(const QString &kind)
{
    if (kind != u"jpeg")
        return BareTiff(kind);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "JPEG"))
        return {};
    return jpeg;
}

} // namespace

QByteArray TaggedPicture(const QString &kind, const QString &original, const QString &digitized)
{
    const QByteArray bare = BarePicture(kind);
    QByteArray tagged;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte *>(bare.constData()), long(bare.size()));
        image->readMetadata();
        Exiv2::ExifData &exif = image->exifData();
        exif["Exif.Image.Make"] = "Kazami";
        if (!original.isEmpty())
            exif["Exif.Photo.DateTimeOriginal"] = original.toStdString();
        if (!digitized.isEmpty())
            exif["Exif.Photo.DateTimeDigitized"] = digitized.toStdString();
        image->writeMetadata();
        Exiv2::BasicIo &io = image->io();
        io.seek(0, Exiv2::BasicIo::beg);
        const Exiv2::DataBuf bytes = io.read(io.size());
        tagged = QByteArray(reinterpret_cast<const char *>(bytes.pData_), bytes.size_);
    } catch (const std::exception &) {
        return {};
    }
    // The library writes no RW2 files; a tagged TIFF takes its magic number.
    if (kind == u"rw2")
        tagged.replace(2, 2, "U\0", 2);
    return tagged;
}
