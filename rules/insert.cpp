#include "rules/insert.h"

#include "rules/nameparts.h"

void InsertName(FileEntry &entry, const AppSettings &settings)
{
    entry.Preview =
        ProtectedRewrite(entry.Name, settings.ProtectExtension, [&](const QString &base) -> QString {
            return settings.InsertAtTop ? settings.InsertText + base : base + settings.InsertText;
        });
}
