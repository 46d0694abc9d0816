#include "platform/filesystem.h"

#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <QBuffer>
#include <unistd.h>

namespace {

FileSystem *&Current()
{
    static PosixFileSystem real;
    static FileSystem *current = &real;
    return current;
}

} // namespace

FolderHandle::FolderHandle(int descriptor, QString path, EntryIdentity identity)
    // Made in place: a temporary Descriptor would close the descriptor.
    : m_descriptor(new Descriptor{descriptor}), m_path(std::move(path)), m_identity(identity)
{}

FolderHandle::Descriptor::~Descriptor()
{
    close(fd);
}

bool FileSystem::ListNames(const FolderHandle &folder, std::vector<QString> &out)
{
    ListOptions options;
    options.mask = AttrReadOnly | AttrHidden | AttrSystem | AttrFolder;
    options.details = false;
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, options, entries))
        return false;
    for (FolderEntry &entry : entries)
        out.push_back(std::move(entry.name));
    return true;
}

namespace {

// The root loses its one separator where a folder text is stripped.
QString FolderPath(const QString &folder)
{
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

} // namespace

bool FileSystem::ListFolder(const QString &folder, const ListOptions &options, std::vector<FolderEntry> &out)
{
    const FolderHandle handle = OpenFolder(FolderPath(folder));
    return handle.isOpen() && ListFolder(handle, options, out);
}

bool FileSystem::ListNames(const QString &folder, std::vector<QString> &out)
{
    const FolderHandle handle = OpenFolder(FolderPath(folder));
    return handle.isOpen() && ListNames(handle, out);
}

bool FileSystem::FolderListable(const QString &path)
{
    std::vector<QString> names;
    return ListNames(path, names);
}

std::unique_ptr<QIODevice> FileSystem::OpenFile(const QString &path)
{
    std::optional<QByteArray> content = ReadFile(path);
    if (!content)
        return nullptr;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(std::move(*content));
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

std::vector<std::optional<qint64>> FileSystem::ReadModifiedTimes(const FolderHandle &folder,
                                                                 const std::vector<QString> &names)
{
    std::vector<std::optional<qint64>> times;
    times.reserve(names.size());
    for (const QString &name : names)
        times.push_back(ReadModified(JoinPath(folder.path(), name)));
    return times;
}

std::optional<std::vector<QDate>> FileSystem::ReadShootingDates(const FolderHandle &folder,
                                                                const std::vector<QString> &names,
                                                                const std::function<bool(qint64)> &progress)
{
    std::vector<QDate> dates;
    dates.reserve(names.size());
    for (const QString &name : names) {
        dates.push_back(ReadShootingDate(folder, name));
        if (progress && !progress(qint64(dates.size())))
            return std::nullopt;
    }
    return dates;
}

FileSystem &Fs()
{
    return *Current();
}

ScopedFileSystem::ScopedFileSystem(FileSystem &fs) : m_previous(Current())
{
    Current() = &fs;
}

ScopedFileSystem::~ScopedFileSystem()
{
    Current() = m_previous;
}
