#pragma once

#include "platform/filesystem.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// One row of the file list.
struct FileEntry
{
    QString Name;       // the current name, without folder
    QString Preview;    // the name the file is to receive
    QString Attributes; // "R H S" with "-" for a clear bit
    QString Date;       // last modified, "yy/mm/dd hh:nn:ss" in local time
    QString Size;       // bytes, right-aligned in 12 characters

    // What the date and size texts stand for, so that sorting follows the
    // time and the size themselves: seconds since the epoch, and bytes.
    qint64 Modified = 0;
    qint64 Bytes = 0;
    // The H of Attributes came from the name's leading period alone: it
    // belongs to the name, and a new name without the period drops it.
    bool HiddenByName = false;
    // The entry the scan found under Name; the run renames nothing else.
    // Unknown (all zero) for a row made without a scan.
    EntryIdentity Identity{};
    // For a row that takes back a run: the name the change log recorded for
    // the file, which may come back even with a leading period.
    QString LoggedName = {};

    bool operator==(const FileEntry &) const = default;
};

// The text of one column of a row: 0 name, 1 preview, 2 attributes, 3 date,
// 4 size.
const QString &ColumnText(const FileEntry &entry, int column);

// The attribute text of read-only, hidden and system bits: "R", "H", "S" or
// "-" in three fields separated by spaces.
QString MakeAttrText(int attributes);

// The bits an attribute text stands for: R, H and S found anywhere, in either case.
int ParseAttrText(const QString &text);

// A time given in seconds since the epoch as local time, in two-digit
// fields: year of its century, month, day, hour, minute, second. Nothing
// where the time lies beyond the calendar.
std::optional<std::array<int, 6>> LocalTimeFields(qint64 secondsSinceEpoch);

// The date text of a modification time given in seconds since the epoch;
// dashes where the time lies beyond the calendar.
QString MakeDateText(qint64 secondsSinceEpoch);

// The size text: the byte count right-aligned in 12 characters; a longer
// number keeps its first 12 digits.
QString MakeSizeText(qint64 bytes);

// The count label's text for a number of rows, "12 FILES".
QString MakeCountText(int rows);
