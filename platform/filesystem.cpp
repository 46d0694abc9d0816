#include "platform/filesystem.h"

#include "platform/names.h"
#include "platform/posix_filesystem.h"

namespace {

FileSystem *&Current()
{
    static PosixFileSystem real;
    static FileSystem *current = &real;
    return current;
}

} // namespace

bool FileSystem::ListNames(const QString &folder, std::vector<QString> &out)
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

std::vector<std::optional<qint64>> FileSystem::ReadModifiedTimes(const QString &folder,
                                                                 const std::vector<QString> &names)
{
    std::vector<std::optional<qint64>> times;
    times.reserve(names.size());
    for (const QString &name : names)
        times.push_back(ReadModified(JoinPath(folder, name)));
    return times;
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
