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

// The bytes of a picture by their offset, read a window at a time, so that
// a large file is never held whole. A byte that cannot be read reads as -1,
// like one past the end.
class PictureBytes
{
public:
    explicit PictureBytes(QIODevice &device) : m_device(device), m_size(device.size()) {}

    qint64 size() const { return m_size; }

    int at(qint64 i)
    {
        if (i < m_start || i >= m_start + m_window.size()) {
            if (!Fill(i))
                return -1;
        }
        return uchar(m_window.at(i - m_start));
    }

    // The offset of the first byte b at or after from, or -1.
    qint64 indexOf(uchar b, qint64 from)
    {
        while (from < m_size) {
            if (at(from) < 0)
                return -1;
            const qsizetype found = m_window.indexOf(char(b), from - m_start);
            if (found >= 0)
                return m_start + found;
            from = m_start + m_window.size();
        }
        return -1;
    }

    quint16 Little16(qint64 i) { return quint16(at(i) | at(i + 1) << 8); }
    quint32 Little32(qint64 i) { return quint32(Little16(i)) | quint32(Little16(i + 2)) << 16; }

private:
    bool Fill(qint64 i)
    {
        constexpr qint64 Window = 256 * 1024;
        m_window.clear();
        if (i < 0 || i >= m_size || !m_device.seek(i))
            return false;
        m_window = m_device.read(qMin(Window, m_size - i));
        m_start = i;
        return !m_window.isEmpty();
    }

    QIODevice &m_device;
    qint64 m_size;
    qint64 m_start = 0;
    QByteArray m_window;
};

// The decoders show a cut-off file as far as it goes, padded with grey; a
// walk over the file's own structure tells whether it is all there.

// Every segment whole, through to the end-of-image marker; what follows
// that marker is not looked at.
bool JpegComplete(PictureBytes &p)
{
    const qint64 n = p.size();
    if (n < 4 || p.at(0) != 0xFF || p.at(1) != 0xD8)
        return false;
    qint64 i = 2;
    bool inScan = false;
    while (i < n) {
        if (inScan) {
            // Scan data runs to the first marker that is neither a stuffed
            // zero nor a restart.
            i = p.indexOf(0xFF, i);
            if (i < 0 || i + 1 >= n)
                return false;
            const int next = p.at(i + 1);
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
        if (p.at(i) != 0xFF)
            return false;
        while (i < n && p.at(i) == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const int marker = p.at(i++);
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (i + 2 > n)
            return false;
        const int length = p.at(i) << 8 | p.at(i + 1);
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
bool BmpComplete(PictureBytes &p)
{
    const qint64 n = p.size();
    if (n < 26 || p.at(0) != 'B' || p.at(1) != 'M')
        return false;
    const qint64 offset = p.Little32(10);
    qint64 width = 0;
    qint64 height = 0;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 declaredSize = 0;
    if (p.Little32(14) == 12) {
        width = p.Little16(18);
        height = p.Little16(20);
        bitsPerPixel = p.Little16(24);
    } else {
        if (n < 38)
            return false;
        width = qint32(p.Little32(18));
        height = std::abs(qint64(qint32(p.Little32(22))));
        bitsPerPixel = p.Little16(28);
        compression = p.Little32(30);
        declaredSize = p.Little32(34);
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

bool SkipSubBlocks(PictureBytes &p, qint64 &i)
{
    while (i < p.size()) {
        const int length = p.at(i++);
        if (length <= 0)
            return length == 0;
        i += length;
    }
    return false;
}

qint64 ColourTableBytes(int flags)
{
    return flags & 0x80 ? 3 * (qint64(2) << (flags & 7)) : 0;
}

// Every block whole, up to the trailer or the end of the file after at
// least one whole image.
bool GifComplete(PictureBytes &p)
{
    const qint64 n = p.size();
    if (n < 13 || p.at(0) != 'G' || p.at(1) != 'I' || p.at(2) != 'F' || p.at(3) != '8' ||
        (p.at(4) != '7' && p.at(4) != '9') || p.at(5) != 'a')
        return false;
    qint64 i = 13 + ColourTableBytes(p.at(10));
    bool image = false;
    while (i < n) {
        const int block = p.at(i++);
        if (block == 0x3B)
            return image;
        if (block == 0x21) {
            ++i;
            if (!SkipSubBlocks(p, i))
                return false;
        } else if (block == 0x2C) {
            if (i + 10 > n)
                return false;
            i += 9 + ColourTableBytes(p.at(i + 8)) + 1;
            if (!SkipSubBlocks(p, i))
                return false;
            image = true;
        } else {
            return false;
        }
    }
    return image && i == n;
}

bool Complete(const QByteArray &format, PictureBytes &bytes)
{
    if (format == "jpeg")
        return JpegComplete(bytes);
    if (format == "bmp")
        return BmpComplete(bytes);
    if (format == "gif")
        return GifComplete(bytes);
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

QImage DecodePicture(QIODevice &device, const QSize &box)
{
    // The content decides the format, whatever the extension says.
    const QByteArray format = QImageReader::imageFormat(&device);
    PictureBytes bytes(device);
    if (!Complete(format, bytes) || !device.seek(0))
        return {};
    QImageReader reader(&device, format);
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

QImage DecodePicture(const QByteArray &data, const QSize &box)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return DecodePicture(buffer, box);
}

QImage ReadPicture(const QString &file, const QSize &box)
{
    const std::unique_ptr<QIODevice> device = Fs().OpenFile(file);
    return device ? DecodePicture(*device, box) : QImage();
}
