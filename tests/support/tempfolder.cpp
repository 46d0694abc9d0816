#include "support/tempfolder.h"

#include "platform/names.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>

TempFolder::TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/kazami-test-XXXXXX"))
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
}

QByteArray TempFolder::encodedPath() const
{
    return EncodeName(path());
}

QString TempFolder::filePath(const QString &name) const
{
    return path() + u'/' + name;
}

QString TempFolder::addFile(const QString &name, const QByteArray &content)
{
    addRawFile(EncodeName(name), content);
    return filePath(name);
}

void TempFolder::addRawFile(const QByteArray &name, const QByteArray &content)
{
    const QByteArray full = encodedPath() + '/' + name;
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        qFatal("cannot create a test file");
    if (!content.isEmpty() && ::write(fd, content.constData(), size_t(content.size())) != content.size())
        qFatal("cannot write a test file");
    ::close(fd);
}

void TempFolder::addFolder(const QString &name)
{
    ::mkdir(EncodeName(filePath(name)).constData(), 0755);
}

void TempFolder::setReadOnly(const QString &name, bool on)
{
    const QByteArray full = EncodeName(filePath(name));
    struct stat st;
    ::lstat(full.constData(), &st);
    ::chmod(full.constData(), on ? (st.st_mode & 0555) : (st.st_mode | 0200));
}

bool TempFolder::setDosAttributes(const QString &name, int bits)
{
    const QByteArray value = "0x" + QByteArray::number(bits, 16);
    return ::lsetxattr(EncodeName(filePath(name)).constData(), "user.DOSATTRIB", value.constData(),
                       size_t(value.size()), 0) == 0;
}

void TempFolder::setModified(const QString &name, const QDateTime &time)
{
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time.toSecsSinceEpoch();
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, EncodeName(filePath(name)).constData(), times, AT_SYMLINK_NOFOLLOW);
}

bool TempFolder::exists(const QString &name) const
{
    struct stat st;
    return ::lstat(EncodeName(filePath(name)).constData(), &st) == 0;
}

QByteArray TempFolder::content(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<QByteArray> TempFolder::rawNames() const
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(encodedPath().constData());
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QStringList TempFolder::names() const
{
    QStringList out;
    for (const QByteArray &raw : rawNames())
        out.append(DecodeName(raw));
    return out;
}
