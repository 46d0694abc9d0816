#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const QByteArray &content)
{
    const char *p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

QByteArray ParentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// The file a path finally names once every symbolic link on it is followed,
// even when that file does not exist yet. Nothing for a loop of links.
std::optional<QByteArray> FollowLinks(QByteArray path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = readlink(path.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size())
            return std::nullopt;
        target.truncate(n);
        path = target.startsWith('/') ? target : ParentOf(path) + '/' + target;
    }
    return std::nullopt;
}

QByteArray UniquePart()
{
    return QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
}

// Creates a new file that did not exist before, never through a link; gives
// its descriptor and path.
int CreateNew(const QByteArray &prefix, const QByteArray &suffix, mode_t mode, QByteArray &path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix + UniquePart() + suffix;
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool SyncFolder(const QByteArray &folder)
{
    const int fd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    return (close(fd) == 0) && synced;
}

class FlockHeld final : public HeldLock
{
public:
    explicit FlockHeld(int fd) : m_fd(fd) {}
    ~FlockHeld() override { close(m_fd); }
    FlockHeld(const FlockHeld &) = delete;
    FlockHeld &operator=(const FlockHeld &) = delete;

private:
    int m_fd;
};

} // namespace

qint64 CurrentUserId()
{
    return qint64(geteuid());
}

bool PosixFileSystem::ReplaceFile(const QString &path, const QByteArray &content)
{
    const std::optional<QByteArray> target = FollowLinks(EncodeName(path));
    if (!target)
        return false;
    const QByteArray folder = ParentOf(*target);
    const QByteArray base = target->mid(target->lastIndexOf('/') + 1);
    struct stat old;
    const bool replacing = stat(target->constData(), &old) == 0;

    QByteArray temporary;
    const int fd = CreateNew(folder + "/." + base + '.', QByteArrayLiteral(".tmp"), 0644, temporary);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content);
    // The new file takes the old one's permissions.
    if (ok && replacing)
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temporary.constData(), target->constData()) == 0;
    if (!ok) {
        unlink(temporary.constData());
        return false;
    }
    // The folder entry must reach the disk too, or the new file may vanish.
    return SyncFolder(folder);
}

std::optional<QString> PosixFileSystem::CreateUniqueFile(const QString &folder, const QString &prefix,
                                                         const QString &suffix, const QByteArray &content)
{
    QByteArray start = EncodeName(folder);
    if (!start.endsWith('/'))
        start += '/';
    QByteArray path;
    const int fd = CreateNew(start + EncodeName(prefix), EncodeName(suffix), 0600, path);
    if (fd < 0)
        return std::nullopt;
    const bool written = WriteAll(fd, content);
    if (!(close(fd) == 0 && written)) {
        unlink(path.constData());
        return std::nullopt;
    }
    return DecodeName(path);
}

namespace {

// Opens a regular file for reading and tells its size; -1 for anything
// else. Never waits on a named pipe or a device that happens to carry the
// name.
int OpenRegularFile(const QString &path, qint64 &size)
{
    const int fd = open(EncodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

} // namespace

std::optional<QByteArray> PosixFileSystem::ReadFile(const QString &path)
{
    qint64 size = 0;
    const int fd = OpenRegularFile(path, size);
    if (fd < 0)
        return std::nullopt;
    QByteArray content;
    content.reserve(qsizetype(size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    close(fd);
    return content;
}

std::unique_ptr<QIODevice> PosixFileSystem::OpenFile(const QString &path)
{
    qint64 size = 0;
    const int fd = OpenRegularFile(path, size);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return nullptr;
    }
    return file;
}

bool PosixFileSystem::MoveFileOver(const QString &from, const QString &to)
{
    const QByteArray target = EncodeName(to);
    if (rename(EncodeName(from).constData(), target.constData()) != 0)
        return false;
    return SyncFolder(ParentOf(target));
}

bool PosixFileSystem::RemoveFile(const QString &path)
{
    return unlink(EncodeName(path).constData()) == 0 || errno == ENOENT;
}

bool PosixFileSystem::MakeFolder(const QString &path)
{
    const QByteArray encoded = EncodeName(path);
    for (qsizetype at = 1; at <= encoded.size(); ++at) {
        if (at < encoded.size() && encoded.at(at) != '/')
            continue;
        const QByteArray part = encoded.left(at);
        if (mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(encoded.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::PrivateFolder(const QString &path, bool create)
{
    const QByteArray encoded = EncodeName(path);
    struct stat st;
    if (lstat(encoded.constData(), &st) != 0) {
        if (errno != ENOENT || !create || mkdir(encoded.constData(), 0700) != 0)
            return false;
        if (lstat(encoded.constData(), &st) != 0)
            return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

bool PosixFileSystem::FolderWritable(const QString &path)
{
    const QByteArray encoded = EncodeName(path);
    struct stat st;
    return stat(encoded.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           access(encoded.constData(), W_OK | X_OK) == 0;
}

namespace {

// Takes an exclusive lock on the open description fd without waiting; the
// lock keeps fd, which is closed when the lock cannot be had.
LockAttempt LockDescription(int fd)
{
    LockAttempt attempt;
    if (fd < 0)
        return attempt;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        attempt.busy = errno == EWOULDBLOCK;
        close(fd);
        return attempt;
    }
    attempt.lock = std::make_unique<FlockHeld>(fd);
    return attempt;
}

} // namespace

LockAttempt PosixFileSystem::LockExclusive(const QString &path)
{
    return LockDescription(open(EncodeName(path).constData(), O_RDONLY | O_CLOEXEC));
}

LockAttempt PosixFileSystem::LockFolder(const FolderHandle &folder)
{
    if (!folder.isOpen())
        return {};
    // A description of its own: a lock belongs to the open description, and
    // the handle's is shared by every copy of it.
    return LockDescription(openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}
