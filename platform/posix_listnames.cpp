#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <cerrno>
#include <dirent.h>

// Kept apart from the attribute-reading listing: a bare readdir loop, for
// callers that need every name and nothing else.
bool PosixFileSystem::ListNames(const QString &folder, std::vector<QString> &out)
{
    const QByteArray path = EncodeName(folder) + '/';
    DIR *dir = opendir(path.constData());
    if (!dir)
        return false;
    for (;;) {
        errno = 0;
        const dirent *entry = readdir(dir);
        if (!entry)
            break;
        const char *rawName = entry->d_name;
        if (rawName[0] == '.' && (rawName[1] == '\0' || (rawName[1] == '.' && rawName[2] == '\0')))
            continue;
        out.push_back(DecodeName(QByteArrayView(rawName)));
    }
    const bool ok = errno == 0;
    closedir(dir);
    return ok;
}
