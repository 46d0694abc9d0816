#pragma once

#include "engine/fileentry.h"
#include "engine/filelist.h"
#include "engine/progress.h"
#include "settings/appsettings.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The date of local time fields (as LocalTimeFields gives them) in the
// format of a date type: 0 "yymmdd", 1 "yymm", 2 "mmdd"; any other type is
// "yymmdd".
QString DateText(const std::array<int, 6> &local, int dateType);

// Where date naming takes a file's date from: DateSource in the settings.
enum DateSourceKind : int
{
    DateFromModified = 0, // the last-modified time
    DateFromShooting = 1, // the picture's Exif date, else the last-modified time
};

// Names a row by a date given as local time fields (as LocalTimeFields gives
// them; nothing where there is none): the leading text (or, when only
// inserting, the name's base) followed by the date, and the name's extension
// from its first period. False, with the current name as the preview, when
// there is no date.
bool DateNameAt(FileEntry &entry, const AppSettings &settings,
                const std::optional<std::array<int, 6>> &local);

// DateNameAt with the file's last-modified time, read already (nothing where
// it could not be); a time beyond the calendar is no date.
bool DateName(FileEntry &entry, const AppSettings &settings, std::optional<qint64> modified);

// The local time fields of a calendar date, at midnight.
std::array<int, 6> DateFields(QDate date);

// Gives date names their letter suffixes against the previews already
// written above them, as a scan of those rows in list order would: the first
// duplicate gets 'a' before its last period, then 'b' up to 'y'; the next
// 'z' joins the base and the letters start again ("za"). Equal means equal
// without regard to letter case, as in the duplicate check, so that the
// names made here pass it. Each row costs a few lookups, however many rows
// above share its date.
class DateSuffixer final
{
public:
    // The preview of the next row for the date name, recorded as written.
    QString Next(const QString &dateName);
    // Records the preview of the next row, written without a suffix.
    void Record(const QString &preview);

private:
    // A name in lower case cut where suffixes go: the text before them, the
    // 'z's, the letter ('a' to 'y', 0 for none) and the extension from the
    // last period. Each name has one form and each form one name, so names
    // are compared by their forms, which stay short however many 'z's a
    // long run of duplicates adds.
    struct Form
    {
        QString stem;
        qsizetype zs = 0;
        char16_t letter = 0;
        QString ext;
        bool operator==(const Form &) const = default;
    };
    friend size_t qHash(const Form &form, size_t seed);

    // How far the scan for one date name has got: the matches so far and the
    // row of the last one; the name's own form, and where its suffixes go.
    struct Progress
    {
        int matches = 0;
        int lastRow = 0;
        Form bare;
        QString stem;
        qsizetype zs = 0;
        // The form of the name with the suffix of the matches so far.
        Form Candidate() const;
    };

    // The rows that hold one preview, ascending; most previews stand once.
    struct Rows
    {
        int first = 0;
        std::vector<int> more;
        // The first of them after row; 0 for none.
        int FirstAfter(int row) const;
    };

    static Form FormOf(const QString &folded);
    void RecordForm(const Form &form);

    QHash<Form, Rows> m_rowsOf;
    // Keyed by the date name in lower case.
    QHash<QString, Progress> m_progress;
    int m_rows = 0;
};

// Date naming of every row from the top, with the suffixes for duplicates,
// by the date DateSource chooses. A row whose file cannot be read keeps its
// current name as its preview. Reading shooting dates shows its count
// through progress, where there is one; the user may stop it, and then no
// row changes and the result is false.
bool DateNameRows(FileList &list, const AppSettings &settings, ProgressSink *progress = nullptr);
