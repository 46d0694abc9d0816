#include "windows/picturewindow_reader.h"

#include "engine/filelist.h"
#include "platform/filesystem.h"
#include "platform/names.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageIOHandler>
#include <QImageReader>
#include <QSize>
#include <cstdlib>

namespace {

// The decoders show a cut-off file as far as it goes, padded with grey; a
// walk over the file's own structure tells whether it is all there.

quint32 Little32(const uchar *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 Little16(const uchar *p)
{
    return quint16(p[0] | p[1] << 8);
}

// Every segment whole, through to the end-of-image marker; what follows
// that marker is not looked at.
bool JpegComplete(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype n = data.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return false;
    qsizetype i = 2;
    bool inScan = false;
    while (i < n) {
        if (inScan) {
            // Scan data runs to the first marker that is neither a stuffed
            // zero nor a restart.
            i = data.indexOf(char(0xFF), i);
            if (i < 0 || i + 1 >= n)
                return false;
            const uchar next = p[i + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                i += 2;
                continue;
            }
            if (next == 0xFF) {
                ++i;
                continue;
            }
            inScan = false;
        }
        if (p[i] != 0xFF)
            return false;
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const uchar marker = p[i++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (i + 2 > n)
            return false;
        const int length = p[i] << 8 | p[i + 1];
        if (length < 2)
            return false;
        i += length;
        if (i > n)
            return false;
        inScan = marker == 0xDA;
    }
    return false;
}

// The pixel rows the headers declare are all there.
bool BmpComplete(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype n = data.size();
    if (n < 26 || p[0] != 'B' || p[1] != 'M')
        return false;
    const qint64 offset = Little32(p + 10);
    qint64 width = 0;
    qint64 height = 0;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 declaredSize = 0;
    if (Little32(p + 14) == 12) {
        width = Little16(p + 18);
        height = Little16(p + 20);
        bitsPerPixel = Little16(p + 24);
    } else {
        if (n < 38)
            return false;
        width = qint32(Little32(p + 18));
        height = std::abs(qint64(qint32(Little32(p + 22))));
        bitsPerPixel = Little16(p + 28);
        compression = Little32(p + 30);
        declaredSize = Little32(p + 34);
    }
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || offset > n)
        return false;
    const qint64 available = n - offset;
    // Run-length data declares its own size; plain rows are padded to 4 bytes.
    if (compression != 0 && compression != 3 && compression != 6)
        return declaredSize <= available;
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return height <= available / rowBytes;
}

bool SkipSubBlocks(const uchar *p, qsizetype n, qsizetype &i)
{
    while (i < n) {
        const uchar length = p[i++];
        if (length == 0)
            return true;
        i += length;
    }
    return false;
}

qsizetype ColourTableBytes(uchar flags)
{
    return flags & 0x80 ? 3 * (qsizetype(2) << (flags & 7)) : 0;
}

// Every block whole, up to the trailer or the end of the file after at
// least one whole image.
bool GifComplete(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype n = data.size();
    if (n < 13 || !(data.startsWith("GIF87a") || data.startsWith("GIF89a")))
        return false;
    qsizetype i = 13 + ColourTableBytes(p[10]);
    bool image = false;
    while (i < n) {
        const uchar block = p[i++];
        if (block == 0x3B)
            return image;
        if (block == 0x21) {
            ++i;
            if (!SkipSubBlocks(p, n, i))
                return false;
        } else if (block == 0x2C) {
            if (i + 10 > n)
                return false;
            i += 9 + ColourTableBytes(p[i + 8]) + 1;
            if (!SkipSubBlocks(p, n, i))
                return false;
            image = true;
        } else {
            return false;
        }
    }
    return image && i == n;
}

bool Complete(const QByteArray &format, const QByteArray &data)
{
    if (format == "jpeg")
        return JpegComplete(data);
    if (format == "bmp")
        return BmpComplete(data);
    if (format == "gif")
        return GifComplete(data);
    return false;
}

} // namespace

QString RowPictureFile(const FileList &list, int row)
{
    return JoinPath(list.Folder(), list.at(row).Name);
}

bool IsPictureName(const QString &name)
{
    const qsizetype period = name.lastIndexOf(u'.');
    if (period < 0)
        return false;
    const QString extension = name.mid(period).toLower();
    return extension == u".bmp" || extension == u".jpg" || extension == u".gif";
}

QImage DecodePicture(const QByteArray &data, const QSize &box)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The content decides the format, whatever the extension says.
    if (!Complete(reader.format(), data))
        return {};
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isEmpty())
        return {};
    // The reader scales before it turns the picture upright.
    QSize fit = box;
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        fit.transpose();
    if (size.width() > fit.width() || size.height() > fit.height())
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}

QImage ReadPicture(const QString &file, const QSize &box)
{
    const std::optional<QByteArray> data = Fs().ReadFile(file);
    return data ? DecodePicture(*data, box) : QImage();
}
