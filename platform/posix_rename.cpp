#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool PosixFileSystem::RenameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = EncodeName(from);
    const QByteArray target = EncodeName(to);
    if (renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system does not know the flag: a hard link fails on an
    // existing target just the same.
    if (link(source.constData(), target.constData()) == 0) {
        if (unlink(source.constData()) == 0)
            return true;
        unlink(target.constData());
        return false;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    struct stat st;
    if (lstat(target.constData(), &st) == 0 || errno != ENOENT)
        return false;
    return rename(source.constData(), target.constData()) == 0;
}
