#include "rules/insert.h"

#include "rules/nameparts.h"

void InsertName(FileEntry &entry, const AppSettings &settings)
{
    QString s = entry.Name;
    if (settings.ProtectExtension)
        SplitExtension(s);
    s = settings.InsertAtTop ? settings.InsertText + s : s + settings.InsertText;
    if (settings.ProtectExtension)
        RestoreExtension(s);
    entry.Preview = s;
}
