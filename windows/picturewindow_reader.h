#pragma once

#include <QImage>
#include <QString>

class FileList;
class QByteArray;
class QIODevice;
class QSize;

// The file whose picture a row shows: the list's folder joined with the
// row's current name.
QString RowPictureFile(const FileList &list, int row);

// Whether a name is shown as a picture: the text from its last period,
// in any letter case, is ".bmp", ".jpg" or ".gif".
bool IsPictureName(const QString &name);

// Decodes a whole BMP, JPEG or GIF file, upright as its orientation tag
// says and fitted into box keeping its proportions (never enlarged), reading
// the device as far as it needs. A null image for anything else: other
// formats, empty or cut-off files.
QImage DecodePicture(QIODevice &device, const QSize &box);
QImage DecodePicture(const QByteArray &data, const QSize &box);

// Reads a picture file from the disk, however large, and decodes it as above.
QImage ReadPicture(const QString &file, const QSize &box);
