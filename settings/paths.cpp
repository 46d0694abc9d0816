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

// The program folder for a portable copy, else the user's own folder.
QString ProgramFolderOr(const char *variable, const QString &fallback)
{
    if (!IsInstalledCopy())
        return GetProgramFolder();
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

bool IsInstalledCopy()
{
    const QString program = GetProgramFolder();
    if (program.endsWith(QStringLiteral("/bin"))) {
        QString prefix = program;
        CutLastPathPart(prefix);
        const FolderHandle applications =
            Fs().OpenFolder(JoinPath(prefix, QStringLiteral("share/applications")));
        if (applications.isOpen() && Fs().FileExists(applications, QStringLiteral("kazami.desktop")))
            return true;
    }
    return !Fs().FolderWritable(program);
}

QString GetSettingsFolder()
{
    return ProgramFolderOr("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString GetLogFolder()
{
    return ProgramFolderOr("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

QString GetFirstRunFolder()
{
    if (!IsInstalledCopy())
        return GetProgramFolder();
    QString home = QDir::homePath();
    StripTrailingSeparators(home);
    return home;
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
