#include "rules/attribute.h"

void SetRowAttributes(FileEntry &entry, const QString &attributeText)
{
    entry.Attributes = attributeText;
    entry.HiddenByName = false;
}

void EditRowAttributes(FileEntry &entry, const QString &attributeText)
{
    if (entry.Attributes != attributeText)
        SetRowAttributes(entry, attributeText);
}
