#include "platform/filesystem.h"

#include "platform/posix_filesystem.h"

namespace {

FileSystem *&Current()
{
    static PosixFileSystem real;
    static FileSystem *current = &real;
    return current;
}

} // namespace

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
