#include "platform/names.h"
#include "platform/posix_attributes.h"
#include "platform/posix_filesystem.h"
#include "platform/sharedwork.h"
#include "platform/wildcard.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Entries between two reports of progress.
constexpr size_t ProgressEvery = 256;

bool IsDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Calls take(name) for every entry of an open folder but "." and "..", in
// the order the file system returns them. False on a read error.
template<typename Take> bool ReadEntries(DIR *dir, Take take)
{
    for (;;) {
        // readdir reports an error only through errno, so clear it before each call.
        errno = 0;
        const dirent *entry = readdir(dir);
        if (!entry)
            return errno == 0;
        if (!IsDotOrDotDot(entry->d_name))
            take(entry->d_name);
    }
}

} // namespace

EntryIdentity IdentityOf(const struct stat &st)
{
    EntryIdentity identity;
    identity.device = quint64(st.st_dev);
    identity.inode = quint64(st.st_ino);
    if (S_ISREG(st.st_mode))
        identity.type = EntryType::File;
    else if (S_ISDIR(st.st_mode))
        identity.type = EntryType::Folder;
    else if (S_ISLNK(st.st_mode))
        identity.type = EntryType::Link;
    else
        identity.type = EntryType::Other;
    return identity;
}

QByteArray EntryPath(int folderDescriptor, const QByteArray &name)
{
    return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(folderDescriptor) + '/' + name;
}

QByteArray EntryPath(const FolderHandle &folder, const QByteArray &name)
{
    return EntryPath(folder.descriptor(), name);
}

FolderHandle PosixFileSystem::OpenFolder(const QString &path)
{
    const int fd = open(EncodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return {};
    }
    return FolderHandle(fd, path, IdentityOf(st));
}

namespace {

std::optional<EntryIdentity> IdentifyPathOf(const QString &path)
{
    struct stat st;
    if (stat(EncodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return IdentityOf(st);
}

} // namespace

std::optional<EntryIdentity> PosixFileSystem::IdentifyPath(const QString &path)
{
    return IdentifyPathOf(path);
}

std::optional<EntryIdentity> PosixFileSystem::Identify(const FolderHandle &folder, const QString &name)
{
    struct stat st;
    if (fstatat(folder.descriptor(), EncodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return IdentityOf(st);
}

namespace {

// A listing of its own over an open folder: a descriptor of its own, so that
// two listings never share a read position.
DIR *OpenListing(const FolderHandle &folder)
{
    if (!folder.isOpen())
        return nullptr;
    const int fd = openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DIR *dir = fdopendir(fd);
    if (!dir)
        close(fd);
    return dir;
}

} // namespace

bool PosixFileSystem::ListFolder(const FolderHandle &folder, const ListOptions &options,
                                 std::vector<FolderEntry> &out)
{
    DIR *dir = OpenListing(folder);
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
    size_t read = 0;
    const bool ok = ReadEntries(dir, [&](const char *rawName) {
        QString name = DecodeName(QByteArrayView(rawName));
        if (options.allNames)
            options.allNames->push_back(name);
        if (wildcard.Matches(name))
            pending.push_back({std::move(name), QByteArray(rawName)});
        if (options.progress && ++read % ProgressEvery == 0)
            options.progress(qint64(read), 0);
    });

    // Then one stat and one attribute read per entry, shared out between two
    // threads on a large folder; each keeps its slot, so the order stays.
    // Attributes are read by the folder's own path while that path names the
    // folder before and after the reads, which is more than twice as fast as
    // through the descriptor's entry in /proc; otherwise, and should the
    // folder have moved meanwhile, they are read (again) through the
    // descriptor. The working folder belongs to the whole process.
    const int excluded = (AttrHidden | AttrSystem | AttrFolder) & ~options.mask;
    std::vector<FolderEntry> examined(pending.size());
    std::vector<char> keep(pending.size(), 0);
    std::atomic<qint64> examinedCount = 0;
    const auto pathNamesFolder = [&folder] {
        const std::optional<EntryIdentity> now = IdentifyPathOf(folder.path());
        return now && *now == folder.identity();
    };
    const bool byPath = pathNamesFolder();
    QByteArray folderPath = byPath ? EncodeName(folder.path()) + '/' : EntryPath(dirFd, {});
    if (folderPath == "//")
        folderPath = "/";
    auto examine = [&](size_t first, size_t last) {
        // Only the calling thread reports; the other one adds its count.
        const bool reports = options.progress && first == 0;
        QByteArray path = folderPath;
        for (size_t i = first; i < last; ++i) {
            if ((i - first) % ProgressEvery == ProgressEvery - 1) {
                const qint64 done = examinedCount += qint64(ProgressEvery);
                if (reports)
                    options.progress(done, qint64(pending.size()));
            }
            const char *rawName = pending[i].raw.constData();
            struct stat st;
            if (fstatat(dirFd, rawName, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished since the listing, or unreadable
            path.truncate(folderPath.size());
            path.append(pending[i].raw);
            bool hiddenByName = false;
            const EntryIdentity identity = IdentityOf(st);
            int attributes = AttributesOf(path.constData(), st, &hiddenByName);
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
            listed.identity = identity;
            if (options.details) {
                listed.modified = st.st_mtim.tv_sec;
                listed.size = st.st_size;
            }
            keep[i] = 1;
        }
    };
    ShareOut(pending.size(), examine);
    if (byPath && !pathNamesFolder()) {
        folderPath = EntryPath(dirFd, {});
        std::fill(keep.begin(), keep.end(), 0);
        examinedCount = 0;
        ShareOut(pending.size(), examine);
    }
    closedir(dir);

    out.reserve(out.size() + pending.size());
    for (size_t i = 0; i < examined.size(); ++i) {
        if (keep[i])
            out.push_back(std::move(examined[i]));
    }
    return ok;
}

// A bare readdir loop, for callers that need every name and nothing else.
bool PosixFileSystem::ListNames(const FolderHandle &folder, std::vector<QString> &out)
{
    DIR *dir = OpenListing(folder);
    if (!dir)
        return false;
    const bool ok = ReadEntries(dir, [&](const char *rawName) { out.push_back(DecodeName(rawName)); });
    closedir(dir);
    return ok;
}

bool PosixFileSystem::FolderListable(const QString &path)
{
    QByteArray encoded = EncodeName(path);
    if (!encoded.endsWith('/'))
        encoded += '/';
    // Opening takes the right to read the names; looking at the entries
    // takes the right to search the folder as well.
    const int fd = open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool searchable = faccessat(fd, ".", X_OK, AT_EACCESS) == 0;
    close(fd);
    return searchable;
}

bool PosixFileSystem::FileExists(const FolderHandle &folder, const QString &name)
{
    const QByteArray encoded = EncodeName(name);
    struct stat st;
    if (fstatat(folder.descriptor(), encoded.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode))
        return true;
    // A link to a folder counts as a folder; a dangling link is still an entry.
    struct stat target;
    return fstatat(folder.descriptor(), encoded.constData(), &target, 0) != 0 || !S_ISDIR(target.st_mode);
}

bool PosixFileSystem::FolderExists(const QString &path)
{
    struct stat st;
    return stat(EncodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::optional<qint64>> PosixFileSystem::ReadModifiedTimes(const FolderHandle &folder,
                                                                      const std::vector<QString> &names)
{
    std::vector<std::optional<qint64>> times(names.size());
    if (!folder.isOpen())
        return times;
    const int dirFd = folder.descriptor();
    ShareOut(names.size(), [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            struct stat st;
            if (fstatat(dirFd, EncodeName(names[i]).constData(), &st, 0) == 0)
                times[i] = qint64(st.st_mtim.tv_sec);
        }
    });
    return times;
}

std::optional<qint64> PosixFileSystem::ReadModified(const QString &path)
{
    struct stat st;
    if (stat(EncodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return qint64(st.st_mtim.tv_sec);
}
