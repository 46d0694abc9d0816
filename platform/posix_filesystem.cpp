#include "platform/posix_filesystem.h"

#include "platform/dosattrib.h"
#include "platform/names.h"
#include "platform/wildcard.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr int DosBits = AttrHidden | AttrSystem | AttrArchive;

bool IsPeriodName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const char *name = slash ? slash + 1 : path;
    return name[0] == '.';
}

// The DOS attribute word stored with the file, and whether there is one.
struct StoredDosAttrib
{
    bool present = false;
    QByteArray raw;
    std::uint32_t word = 0;
};

StoredDosAttrib ReadDosAttrib(const char *path)
{
    StoredDosAttrib stored;
    char buffer[256];
    const ssize_t n = lgetxattr(path, DosAttribName, buffer, sizeof buffer);
    if (n < 0)
        return stored;
    stored.raw = QByteArray(buffer, n);
    if (const auto word = ParseDosAttrib(stored.raw)) {
        stored.present = true;
        stored.word = *word;
    }
    return stored;
}

int AttributesOf(const char *path, const struct stat &st, bool *hiddenByName = nullptr)
{
    int attributes = 0;
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        attributes |= AttrReadOnly;
    if (!S_ISLNK(st.st_mode))
        attributes |= int(ReadDosAttrib(path).word) & DosBits;
    if (IsPeriodName(path)) {
        if (hiddenByName)
            *hiddenByName = !(attributes & AttrHidden);
        attributes |= AttrHidden;
    }
    if (S_ISDIR(st.st_mode))
        attributes |= AttrFolder;
    return attributes;
}

// What WriteAttributes has to do for one file.
struct AttributePlan
{
    struct stat st
    {
    };
    bool changeMode = false;
    mode_t mode = 0;
    bool changeDos = false;
    StoredDosAttrib stored;
    QByteArray newValue;
};

std::optional<AttributePlan> PlanAttributes(const QByteArray &path, int attributes)
{
    AttributePlan plan;
    if (lstat(path.constData(), &plan.st) != 0)
        return std::nullopt;
    const bool isLink = S_ISLNK(plan.st.st_mode);
    const bool readOnlyNow = !isLink && !(plan.st.st_mode & S_IWUSR);
    const bool readOnlyWanted = attributes & AttrReadOnly;
    if (readOnlyNow != readOnlyWanted) {
        plan.changeMode = true;
        plan.mode = readOnlyWanted ? (plan.st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH))
                                   : (plan.st.st_mode | S_IWUSR);
        plan.mode &= 07777;
    }
    if (!isLink)
        plan.stored = ReadDosAttrib(path.constData());
    const std::uint32_t word = plan.stored.word;
    std::uint32_t wanted = word & ~std::uint32_t(AttrHidden | AttrSystem);
    wanted |= std::uint32_t(attributes & AttrSystem);
    // A period name is hidden whatever the stored word says; its hidden bit
    // is only ever cleared, never needed.
    if (attributes & AttrHidden) {
        if (!IsPeriodName(path.constData()))
            wanted |= AttrHidden;
        else
            wanted |= word & AttrHidden;
    }
    if (wanted != word) {
        plan.changeDos = true;
        plan.newValue = ComposeDosAttrib(plan.stored.raw, wanted);
    }
    return plan;
}

bool OwnsOrPrivileged(const struct stat &st)
{
    const uid_t me = geteuid();
    return me == 0 || me == st.st_uid;
}

bool ReadOnlyFileSystem(const char *path)
{
    struct statvfs vfs;
    return statvfs(path, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

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

// Makes a folder the working folder for the lifetime of this object, so that
// the per-entry attribute reads resolve one path component instead of the
// whole path. Falls back to full paths when the working folder cannot be
// saved or changed.
class WorkingFolderScope final
{
public:
    explicit WorkingFolderScope(int folderFd) : m_saved(open(".", O_PATH | O_DIRECTORY | O_CLOEXEC))
    {
        m_active = m_saved >= 0 && fchdir(folderFd) == 0;
    }
    ~WorkingFolderScope()
    {
        if (m_active)
            (void)!fchdir(m_saved);
        if (m_saved >= 0)
            close(m_saved);
    }
    WorkingFolderScope(const WorkingFolderScope &) = delete;
    WorkingFolderScope &operator=(const WorkingFolderScope &) = delete;

    bool active() const { return m_active; }

private:
    int m_saved;
    bool m_active = false;
};

} // namespace

bool PosixFileSystem::ListFolder(const QString &folder, const ListOptions &options,
                                 std::vector<FolderEntry> &out)
{
    const QByteArray folderPath = EncodeName(folder) + '/';
    DIR *dir = opendir(folderPath.constData());
    if (!dir)
        return false;
    const int dirFd = dirfd(dir);
    const Wildcard wildcard(options.pattern);

    // First the names, in the order the file system returns them.
    struct Pending
    {
        QString name;
        QByteArray raw;
    };
    std::vector<Pending> pending;
    bool ok = true;
    for (;;) {
        // readdir reports an error only through errno, so clear it before each call.
        errno = 0;
        const dirent *entry = readdir(dir);
        if (!entry) {
            ok = errno == 0;
            break;
        }
        const char *rawName = entry->d_name;
        if (rawName[0] == '.' && (rawName[1] == '\0' || (rawName[1] == '.' && rawName[2] == '\0')))
            continue;
        QString name = DecodeName(QByteArrayView(rawName));
        if (wildcard.Matches(name))
            pending.push_back({std::move(name), QByteArray(rawName)});
    }

    // Then one stat and one attribute read per entry. Both are name lookups
    // in the kernel, so on a large folder the entries are shared out between
    // two threads; each keeps its slot, so the order stays.
    const WorkingFolderScope relative(dirFd);
    const int excluded = (AttrHidden | AttrSystem | AttrFolder) & ~options.mask;
    std::vector<FolderEntry> examined(pending.size());
    std::vector<char> keep(pending.size(), 0);
    auto examine = [&](size_t first, size_t last) {
        QByteArray path = folderPath;
        for (size_t i = first; i < last; ++i) {
            const char *rawName = pending[i].raw.constData();
            struct stat st;
            if (fstatat(dirFd, rawName, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished since the listing, or unreadable
            const char *entryPath = rawName;
            if (!relative.active()) {
                path.truncate(folderPath.size());
                path.append(pending[i].raw);
                entryPath = path.constData();
            }
            bool hiddenByName = false;
            int attributes = AttributesOf(entryPath, st, &hiddenByName);
            if (S_ISLNK(st.st_mode)) {
                struct stat target;
                if (fstatat(dirFd, rawName, &target, 0) == 0) {
                    st.st_mtim = target.st_mtim;
                    st.st_size = target.st_size;
                    if (S_ISDIR(target.st_mode))
                        attributes |= AttrFolder;
                }
            }
            if (attributes & excluded)
                continue;
            FolderEntry &listed = examined[i];
            listed.name = std::move(pending[i].name);
            listed.attributes = attributes;
            listed.hiddenByName = hiddenByName;
            if (options.details) {
                listed.modified = st.st_mtim.tv_sec;
                listed.size = st.st_size;
            }
            keep[i] = 1;
        }
    };
    constexpr size_t ParallelFrom = 4096;
    size_t shared = pending.size();
    std::thread helper;
    if (pending.size() >= ParallelFrom && std::thread::hardware_concurrency() > 1) {
        try {
            helper = std::thread(examine, pending.size() / 2, pending.size());
            shared = pending.size() / 2;
        } catch (const std::system_error &) {
            // No thread to be had: this one reads them all.
        }
    }
    examine(0, shared);
    if (helper.joinable())
        helper.join();
    closedir(dir);

    out.reserve(out.size() + pending.size());
    for (size_t i = 0; i < examined.size(); ++i) {
        if (keep[i])
            out.push_back(std::move(examined[i]));
    }
    return ok;
}

bool PosixFileSystem::FileExists(const QString &path)
{
    const QByteArray encoded = EncodeName(path);
    struct stat st;
    if (lstat(encoded.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode))
        return true;
    // A link to a folder counts as a folder; a dangling link is still an entry.
    struct stat target;
    return stat(encoded.constData(), &target) != 0 || !S_ISDIR(target.st_mode);
}

bool PosixFileSystem::FolderExists(const QString &path)
{
    struct stat st;
    return stat(EncodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<int> PosixFileSystem::ReadAttributes(const QString &path)
{
    const QByteArray encoded = EncodeName(path);
    struct stat st;
    if (lstat(encoded.constData(), &st) != 0)
        return std::nullopt;
    return AttributesOf(encoded.constData(), st);
}

std::optional<qint64> PosixFileSystem::ReadModified(const QString &path)
{
    struct stat st;
    if (stat(EncodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return qint64(st.st_mtim.tv_sec);
}

bool PosixFileSystem::WriteAttributes(const QString &path, int attributes)
{
    const QByteArray encoded = EncodeName(path);
    const auto plan = PlanAttributes(encoded, attributes);
    if (!plan)
        return false;
    if (!plan->changeMode && !plan->changeDos)
        return true;
    if (S_ISLNK(plan->st.st_mode))
        return false;
    const char *p = encoded.constData();
    const mode_t finalMode = plan->changeMode ? plan->mode : (plan->st.st_mode & 07777);
    if (plan->changeDos) {
        // User attributes need write permission: lift read-only for the write.
        const bool lift = !(plan->st.st_mode & S_IWUSR);
        if (lift && chmod(p, (plan->st.st_mode & 07777) | S_IWUSR) != 0)
            return false;
        const bool written =
            lsetxattr(p, DosAttribName, plan->newValue.constData(), size_t(plan->newValue.size()), 0) == 0;
        if (!written) {
            if (lift)
                chmod(p, plan->st.st_mode & 07777);
            return false;
        }
        if (lift || plan->changeMode)
            return chmod(p, finalMode) == 0;
        return true;
    }
    return chmod(p, finalMode) == 0;
}

bool PosixFileSystem::CanWriteAttributes(const QString &path, int attributes)
{
    const QByteArray encoded = EncodeName(path);
    const auto plan = PlanAttributes(encoded, attributes);
    if (!plan)
        return false;
    if (!plan->changeMode && !plan->changeDos)
        return true;
    const char *p = encoded.constData();
    if (S_ISLNK(plan->st.st_mode) || ReadOnlyFileSystem(p))
        return false;
    if (plan->changeMode && !OwnsOrPrivileged(plan->st))
        return false;
    if (plan->changeDos) {
        if (!(plan->st.st_mode & S_IWUSR) && !OwnsOrPrivileged(plan->st))
            return false;
        if (access(p, W_OK) == 0) {
            // Store the present value again (or create and remove one) to
            // learn whether this file system keeps user attributes at all.
            if (plan->stored.present || !plan->stored.raw.isEmpty())
                return lsetxattr(p, DosAttribName, plan->stored.raw.constData(),
                                 size_t(plan->stored.raw.size()), XATTR_REPLACE) == 0;
            if (lsetxattr(p, DosAttribName, "0x0", 3, XATTR_CREATE) != 0)
                return false;
            lremovexattr(p, DosAttribName);
            return true;
        }
        char probe;
        if (lgetxattr(p, DosAttribName, &probe, 0) < 0 && errno == ENOTSUP)
            return false;
    }
    return true;
}

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

bool PosixFileSystem::WriteFile(const QString &path, const QByteArray &content, bool durable)
{
    const QByteArray encoded = EncodeName(path);
    // Never through a link: the fixed name in the shared temporary folder
    // could be pointed at a file of the user's.
    const int fd = open(encoded.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content);
    if (ok && durable)
        ok = fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok && durable) {
        // The folder entry must reach the disk too, or a new file may vanish.
        const int dirFd = open(ParentOf(encoded).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            fsync(dirFd);
            close(dirFd);
        }
    }
    return ok;
}

std::optional<QByteArray> PosixFileSystem::ReadFile(const QString &path)
{
    constexpr qint64 Limit = 64 * 1024 * 1024;
    const int fd = open(EncodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || content.size() + n > Limit) {
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

bool PosixFileSystem::RemoveFile(const QString &path)
{
    return unlink(EncodeName(path).constData()) == 0 || errno == ENOENT;
}
