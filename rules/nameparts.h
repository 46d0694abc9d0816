#pragma once

#include "engine/fileentry.h"

#include <QString>
#include <type_traits>

// A name's extension runs from its first period to its end, period included;
// the base is the text before it. "archive.tar.gz" is "archive" and
// ".tar.gz"; a name without a period is all base; ".htaccess" is all
// extension.

// The extension of name by that rule; empty when it has no period.
QString ExtensionOf(const QString &name);

// Keeps name's extension in the shared slot and leaves name as its base.
// Each call replaces what the slot held.
void SplitExtension(QString &name);

// Appends the extension held in the shared slot to name and empties the slot.
void RestoreExtension(QString &name);

// The text convert makes of source: of all of it, or under protection of its
// base alone, with the extension put back after.
template<typename Convert> QString ProtectedRewrite(QString source, bool protect, Convert convert)
{
    // A string builder would outlive the temporaries it refers to.
    static_assert(std::is_same_v<std::invoke_result_t<Convert, const QString &>, QString>,
                  "convert must give a QString");
    if (protect)
        SplitExtension(source);
    source = convert(source);
    if (protect)
        RestoreExtension(source);
    return source;
}

// Drops the text after the last period of the current name and makes the
// last three characters before it the new extension: "picturejpg.dat"
// becomes "picture.jpg". A name whose last period stands before its fifth
// character, or that has none, keeps its name. Writes only the preview.
void ShiftPeriodLeft(FileEntry &entry);
