#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RenameResult PosixFileSystem::RenameNoReplace(const FolderHandle &folder, const QString &from,
                                              const QString &to, RenameMode mode)
{
    const int dir = folder.descriptor();
    const QByteArray source = EncodeName(from);
    const QByteArray target = EncodeName(to);
    if (renameat2(dir, source.constData(), dir, target.constData(), RENAME_NOREPLACE) == 0)
        return RenameResult::Done;
    if (errno != EINVAL && errno != ENOSYS)
        return RenameResult::Failed;
    // The file system does not know the flag: a hard link fails on an
    // existing target just the same.
    if (linkat(dir, source.constData(), dir, target.constData(), 0) == 0) {
        if (unlinkat(dir, source.constData(), 0) == 0)
            return RenameResult::Done;
        unlinkat(dir, target.constData(), 0);
        return RenameResult::Failed;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return RenameResult::Failed;
    if (mode != RenameMode::CheckedOnly)
        return RenameResult::NeedsCheckedRename;
    // No way is left that cannot replace: the target must be free a moment
    // before the rename, which the user has accepted for this folder.
    struct stat st;
    if (fstatat(dir, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
        return RenameResult::Failed;
    return renameat(dir, source.constData(), dir, target.constData()) == 0 ? RenameResult::Done
                                                                           : RenameResult::Failed;
}

bool PosixFileSystem::RemoveSecondLink(const FolderHandle &folder, const QString &name,
                                       const QString &keptName)
{
    const int dir = folder.descriptor();
    const QByteArray removed = EncodeName(name);
    struct stat gone;
    struct stat kept;
    if (fstatat(dir, removed.constData(), &gone, AT_SYMLINK_NOFOLLOW) != 0 ||
        fstatat(dir, EncodeName(keptName).constData(), &kept, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(gone.st_mode) || gone.st_dev != kept.st_dev || gone.st_ino != kept.st_ino ||
        gone.st_nlink < 2)
        return false;
    return unlinkat(dir, removed.constData(), 0) == 0;
}
