#pragma once

#include "engine/fileentry.h"

#include <QString>

// Gives a row the attribute text chosen for every row. The choice is the
// user's own, so a hidden mark in it no longer belongs to the name alone.
void SetRowAttributes(FileEntry &entry, const QString &attributeText);

// Gives a row the attribute text of its individual edit. Only a changed text
// is the user's own; an unchanged one keeps what its hidden mark stood for.
void EditRowAttributes(FileEntry &entry, const QString &attributeText);
