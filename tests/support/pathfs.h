#pragma once

#include "platform/filesystem.h"

#include <QString>

// The file-system operations that act on an entry of an open folder, by the
// entry's path, for tests that look at one file at a time.

inline FolderHandle ParentFolder(const QString &path)
{
    return Fs().OpenFolder(path.left(qMax(path.lastIndexOf(u'/'), qsizetype(1))));
}

inline QString LastPart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

inline std::optional<int> ReadAttributesOf(const QString &path)
{
    return Fs().ReadAttributes(ParentFolder(path), LastPart(path));
}

inline bool WriteAttributesOf(const QString &path, int attributes)
{
    return Fs().WriteAttributes(ParentFolder(path), LastPart(path), attributes);
}

inline bool CanWriteAttributesOf(const QString &path, int attributes)
{
    return Fs().CanWriteAttributes(ParentFolder(path), LastPart(path), attributes, LastPart(path));
}

// Renames inside one folder, never replacing.
inline bool RenameByPath(const QString &from, const QString &to)
{
    return Fs().RenameNoReplace(ParentFolder(from), LastPart(from), LastPart(to)) == RenameResult::Done;
}
