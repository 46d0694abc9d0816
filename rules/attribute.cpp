#include "rules/attribute.h"

#include "platform/filesystem.h"

QString AttributeChoiceText(bool readOnly, bool hidden, bool system)
{
    return MakeAttrText((readOnly ? AttrReadOnly : 0) | (hidden ? AttrHidden : 0) |
                        (system ? AttrSystem : 0));
}

void SetRowAttributes(FileEntry &entry, const QString &attributeText)
{
    entry.Attributes = attributeText;
    entry.HiddenByName = false;
}

void EditRowAttributes(FileEntry &entry, const QString &attributeText)
{
    if (entry.Attributes == attributeText)
        return;
    entry.Attributes = attributeText;
    entry.HiddenByName = false;
}
