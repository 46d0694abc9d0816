#pragma once

#include "engine/fileentry.h"
#include "engine/filelist.h"
#include "settings/appsettings.h"

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The date of local time fields (as LocalTimeFields gives them) in the
// format of a date type: 0 "yymmdd", 1 "yymm", 2 "mmdd"; any other type is
// "yymmdd".
QString DateText(const std::array<int, 6> &local, int dateType);

// Names a row by its file's last-modified time, read already (nothing where
// it could not be): the leading text (or, when only inserting, the name's
// base) followed by the date, and the name's extension from its first
// period. False, with the current name as the preview, when the time is
// missing or lies beyond the calendar.
bool DateName(FileEntry &entry, const AppSettings &settings, std::optional<qint64> modified);

// Gives date names their letter suffixes against the previews already
// written above them, as a scan of those rows in list order would: the first
// duplicate gets 'a' before its last period, then 'b' up to 'y'; the next
// 'z' joins the base and the letters start again ("za"). Equal means equal
// in every character, letter case included. Each row costs a few lookups,
// however many rows above share its date.
class DateSuffixer final
{
public:
    // The preview of the next row for the date name, recorded as written.
    QString Next(const QString &dateName);
    // Records the preview of the next row, written without a suffix.
    void Record(const QString &preview);

private:
    // How far the scan for one date name has got: the matches so far and the
    // row of the last one.
    struct Progress
    {
        int matches = 0;
        int lastRow = 0;
    };

    // The rows that hold one preview, ascending; most previews stand once.
    struct Rows
    {
        int first = 0;
        std::vector<int> more;
        // The first of them after row; 0 for none.
        int FirstAfter(int row) const;
    };

    QHash<QString, Rows> m_rowsOf;
    QHash<QString, Progress> m_progress;
    int m_rows = 0;
    QString m_candidate;
};

// Date naming of every row from the top, with the suffixes for duplicates.
// A row whose file cannot be read keeps its current name as its preview.
void DateNameRows(FileList &list, const AppSettings &settings);
