#include "settings/paths.h"

#include "platform/filesystem.h"
#include "platform/names.h"

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

namespace {

// An XDG base folder: the variable's value when it is an absolute path, else
// the default below the home folder.
QString XdgFolder(const char *variable, const QString &fallback)
{
    QString folder = qEnvironmentVariable(variable);
    if (!folder.startsWith(u'/'))
        folder = QDir::homePath() + u'/' + fallback;
    StripTrailingSeparators(folder);
    return folder;
}

// The program folder where it can be written, else the user's own folder.
QString WritableProgramFolderOr(const char *variable, const QString &fallback)
{
    const QString program = GetProgramFolder();
    if (Fs().FolderWritable(program))
        return program;
    return XdgFolder(variable, fallback) + QStringLiteral("/Kazami");
}

} // namespace

QString GetTempFolder()
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    StripTrailingSeparators(runtime);
    if (runtime.startsWith(u'/') && Fs().PrivateFolder(runtime, false))
        return runtime + u'/';
    QString shared = QDir::tempPath();
    StripTrailingSeparators(shared);
    const QString own = JoinPath(shared, QStringLiteral("kazami-%1").arg(CurrentUserId()));
    if (Fs().PrivateFolder(own, true))
        return own + u'/';
    return {};
}

QString GetSettingsFolder()
{
    return WritableProgramFolderOr("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString GetLogFolder()
{
    return WritableProgramFolderOr("XDG_STATE_HOME", QStringLiteral(".local/state"));
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
