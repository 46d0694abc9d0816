#pragma once

#include "platform/filesystem.h"

#include <QString>

// Renames inside one open folder for one run or one repair, never replacing
// an entry. Where the file system offers no rename that cannot replace (FAT,
// exFAT through FUSE), it asks the user once whether to go on with a rename
// that checks the target first, and uses it only after a Yes.
class FolderRenamer final
{
public:
    explicit FolderRenamer(FolderHandle folder) : m_folder(std::move(folder)) {}

    // False when the rename failed, or was not made because the user declined
    // the checked rename (declined() then tells).
    bool Rename(const QString &from, const QString &to);

    // The user answered No to the checked rename: nothing more may be renamed.
    bool declined() const { return m_declined; }

    const FolderHandle &folder() const { return m_folder; }

private:
    FolderHandle m_folder;
    RenameMode m_mode = RenameMode::Atomic;
    bool m_declined = false;
};
