#include "rules/replace.h"

#include "rules/nameparts.h"

void ReplaceName(FileEntry &entry, const AppSettings &settings)
{
    const QString &from = settings.ReplaceFrom;
    const Qt::CaseSensitivity mode = settings.ReplaceCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    // Without a match the preview is the current name itself.
    entry.Preview = ProtectedRewrite(entry.Name, settings.ProtectExtension, [&](QString s) {
        // Case folding keeps the length, so the match is as long as the search text.
        const qsizetype at = from.isEmpty()            ? -1
                             : settings.ReplaceFromTop ? s.indexOf(from, 0, mode)
                                                       : s.lastIndexOf(from, -1, mode);
        if (at >= 0)
            s.replace(at, from.size(), settings.ReplaceTo);
        return s;
    });
}
