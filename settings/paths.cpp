#include "settings/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString &ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString GetProgramFolder()
{
    if (!ProgramFolderOverride().isEmpty())
        return ProgramFolderOverride();
    QString folder = QCoreApplication::applicationDirPath();
    StripTrailingSeparators(folder);
    return folder;
}

void SetProgramFolderOverride(const QString &folder)
{
    ProgramFolderOverride() = folder;
}

QString GetTempFolder()
{
    QString folder = QDir::tempPath();
    StripTrailingSeparators(folder);
    return folder + u'/';
}

void StripTrailingSeparators(QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    path.truncate(end);
}

void CutLastPathPart(QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash == 0 && path.size() > 1)
        path = QStringLiteral("/");
    else
        path.truncate(slash < 0 ? 0 : slash);
}

QString AbsoluteFolder(const QString &folder)
{
    if (folder.isEmpty() || folder.startsWith(u'/'))
        return folder;
    QString absolute = QDir::currentPath();
    if (!absolute.endsWith(u'/'))
        absolute += u'/';
    absolute += folder;
    StripTrailingSeparators(absolute);
    return absolute;
}

const QStringList &SystemFolders()
{
    static const QStringList folders = {
        QStringLiteral("/bin"),   QStringLiteral("/boot"),   QStringLiteral("/dev"),
        QStringLiteral("/etc"),   QStringLiteral("/lib"),    QStringLiteral("/lib32"),
        QStringLiteral("/lib64"), QStringLiteral("/libx32"), QStringLiteral("/proc"),
        QStringLiteral("/run"),   QStringLiteral("/sbin"),   QStringLiteral("/sys"),
        QStringLiteral("/usr"),   QStringLiteral("/var"),
    };
    return folders;
}

bool IsSystemFolder(const QString &folder)
{
    // "//usr/./lib" and "/home/../usr" are inside /usr as well.
    const QString clean = QDir::cleanPath(folder);
    for (const QString &system : SystemFolders()) {
        if (clean.startsWith(system) && (clean.size() == system.size() || clean.at(system.size()) == u'/'))
            return true;
    }
    return false;
}
