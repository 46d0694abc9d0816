#pragma once

#include <QByteArray>
#include <QDate>
#include <string_view>

// The date a picture was taken, as its Exif data records it: DateTimeOriginal,
// else DateTimeDigitized. The file is name in the open folder folderFd
// (following a symbolic link); it is read only if it is a regular file, so a
// named pipe never blocks. Invalid for a file without such a date, or one
// that is no picture the metadata library can read (it reads JPEG, TIFF and
// the TIFF-based camera raw formats among others). Safe on two threads at
// once.
QDate ReadExifShootingDate(int folderFd, const QByteArray &name);

// The date of an Exif date and time text, "YYYY:MM:DD HH:MM:SS" (the time
// may be missing); invalid for blank or zero fields, or a day the calendar
// does not have.
QDate ParseExifDate(std::string_view text);
