#include "platform/posix_attributes.h"

#include "platform/dosattrib.h"
#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr int DosBits = AttrHidden | AttrSystem | AttrArchive;

// One entry of an open folder held by an O_PATH descriptor, so that every
// call of one attribute change acts on the very file that was looked at,
// whatever happens to its name meanwhile. A symbolic link is held itself.
class PinnedEntry final
{
public:
    PinnedEntry(const FolderHandle &folder, const QString &name)
    {
        m_fd = openat(folder.descriptor(), EncodeName(name).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (m_fd >= 0 && fstat(m_fd, &m_st) != 0) {
            close(m_fd);
            m_fd = -1;
        }
        if (m_fd >= 0)
            m_path = QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(m_fd);
    }
    ~PinnedEntry()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    PinnedEntry(const PinnedEntry &) = delete;
    PinnedEntry &operator=(const PinnedEntry &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool isLink() const { return S_ISLNK(m_st.st_mode); }
    const struct stat &status() const { return m_st; }
    // The descriptor's path; calls that follow it reach the held file.
    const char *path() const { return m_path.constData(); }
    int descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    struct stat m_st
    {
    };
    QByteArray m_path;
};

// What WriteAttributes has to do for one file.
struct AttributePlan
{
    bool possible = true;
    bool changeMode = false;
    mode_t mode = 0;
    bool changeDos = false;
    StoredDosAttrib stored;
    QByteArray newValue;
};

// periodName: the name the file will carry begins with a period, which
// hides it by itself.
AttributePlan PlanAttributes(const PinnedEntry &entry, int attributes, bool periodName)
{
    AttributePlan plan;
    const struct stat &st = entry.status();
    const bool isLink = entry.isLink();
    const bool readOnlyNow = !isLink && !(st.st_mode & S_IWUSR);
    const bool readOnlyWanted = attributes & AttrReadOnly;
    if (readOnlyNow != readOnlyWanted) {
        plan.changeMode = true;
        plan.mode =
            readOnlyWanted ? (st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR);
        plan.mode &= 07777;
    }
    if (!isLink)
        plan.stored = ReadDosAttrib(entry.path(), true);
    const std::uint32_t word = plan.stored.word;
    std::uint32_t wanted = word & ~std::uint32_t(AttrHidden | AttrSystem);
    wanted |= std::uint32_t(attributes & AttrSystem);
    // A period name is hidden whatever the stored word says; its hidden bit
    // is only ever cleared, never needed.
    if (attributes & AttrHidden) {
        if (!periodName)
            wanted |= AttrHidden;
        else
            wanted |= word & AttrHidden;
    }
    if (wanted == word)
        return plan;
    plan.changeDos = true;
    // A record we cannot read, or cannot patch, belongs to someone else: it
    // is never overwritten.
    const std::optional<QByteArray> value =
        plan.stored.unreadable ? std::nullopt : ComposeDosAttrib(plan.stored.raw, wanted);
    if (value)
        plan.newValue = *value;
    else
        plan.possible = false;
    return plan;
}

bool OwnsOrPrivileged(const struct stat &st)
{
    const uid_t me = geteuid();
    return me == 0 || me == st.st_uid;
}

bool ReadOnlyFileSystem(int fd)
{
    struct statvfs vfs;
    return fstatvfs(fd, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

} // namespace

StoredDosAttrib ReadDosAttrib(const char *path, bool follow)
{
    const auto get = follow ? getxattr : lgetxattr;
    StoredDosAttrib stored;
    // Most values are a few bytes: one call with a small buffer, and a
    // second round only for a larger record.
    QByteArray buffer(256, Qt::Uninitialized);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t n = get(path, DosAttribName, buffer.data(), size_t(buffer.size()));
        if (n >= 0) {
            buffer.truncate(n);
            stored.present = true;
            stored.raw = buffer;
            if (const auto word = ParseDosAttrib(buffer))
                stored.word = *word;
            else
                stored.unreadable = true;
            return stored;
        }
        if (errno == ENODATA || errno == ENOTSUP)
            return stored;
        if (errno != ERANGE)
            break;
        const ssize_t size = get(path, DosAttribName, nullptr, 0);
        if (size < 0)
            break;
        buffer.resize(size + 1);
    }
    stored.unreadable = true;
    return stored;
}

bool IsPeriodName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const char *name = slash ? slash + 1 : path;
    return name[0] == '.';
}

int AttributesOf(const char *path, const struct stat &st, bool *hiddenByName)
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

std::optional<int> PosixFileSystem::ReadAttributes(const FolderHandle &folder, const QString &name)
{
    const QByteArray encoded = EncodeName(name);
    struct stat st;
    if (fstatat(folder.descriptor(), encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return AttributesOf(EntryPath(folder, encoded).constData(), st);
}

bool PosixFileSystem::WriteAttributes(const FolderHandle &folder, const QString &name, int attributes)
{
    const PinnedEntry entry(folder, name);
    if (!entry.isOpen())
        return false;
    const AttributePlan plan = PlanAttributes(entry, attributes, name.startsWith(u'.'));
    if (!plan.changeMode && !plan.changeDos)
        return true;
    if (!plan.possible || entry.isLink())
        return false;
    const char *p = entry.path();
    const mode_t present = entry.status().st_mode & 07777;
    const mode_t finalMode = plan.changeMode ? plan.mode : present;
    if (plan.changeDos) {
        // User attributes need write permission: lift read-only for the write.
        const bool lift = !(present & S_IWUSR);
        if (lift && chmod(p, present | S_IWUSR) != 0)
            return false;
        const bool written =
            setxattr(p, DosAttribName, plan.newValue.constData(), size_t(plan.newValue.size()), 0) == 0;
        if (!written) {
            if (lift)
                (void)chmod(p, present);
            return false;
        }
        if (lift || plan.changeMode)
            return chmod(p, finalMode) == 0;
        return true;
    }
    return chmod(p, finalMode) == 0;
}

bool PosixFileSystem::CanWriteAttributes(const FolderHandle &folder, const QString &name, int attributes,
                                         const QString &finalName)
{
    const PinnedEntry entry(folder, name);
    if (!entry.isOpen())
        return false;
    const AttributePlan plan = PlanAttributes(entry, attributes, finalName.startsWith(u'.'));
    if (!plan.changeMode && !plan.changeDos)
        return true;
    const struct stat &st = entry.status();
    if (!plan.possible || entry.isLink() || ReadOnlyFileSystem(entry.descriptor()))
        return false;
    if (plan.changeMode && !OwnsOrPrivileged(st))
        return false;
    if (!plan.changeDos)
        return true;
    const char *p = entry.path();
    if (faccessat(AT_FDCWD, p, W_OK, AT_EACCESS) == 0) {
        // Store the present value again (or create and remove one) to learn
        // whether this file system keeps user attributes at all.
        if (plan.stored.present)
            return setxattr(p, DosAttribName, plan.stored.raw.constData(), size_t(plan.stored.raw.size()),
                            XATTR_REPLACE) == 0;
        if (setxattr(p, DosAttribName, "0x0", 3, XATTR_CREATE) != 0)
            return false;
        return removexattr(p, DosAttribName) == 0;
    }
    // Without write permission only the owner gets one, by lifting
    // read-only for the write; anyone else would fail in the middle of the
    // run.
    if (!OwnsOrPrivileged(st))
        return false;
    char probe;
    return !(getxattr(p, DosAttribName, &probe, 0) < 0 && errno == ENOTSUP);
}
