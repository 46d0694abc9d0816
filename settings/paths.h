#pragma once

#include <QString>
#include <QStringList>

// The folder of the running executable, without a trailing separator.
QString GetProgramFolder();

// Makes GetProgramFolder report another folder (tests); an empty text
// restores the real one.
void SetProgramFolderOverride(const QString &folder);

// The user's own private temporary folder, ending with the separator: the
// runtime folder ($XDG_RUNTIME_DIR) where it is private to this user, else
// "kazami-<uid>" under the system's temporary folder, created with room for
// this user alone. Empty when neither can be had safely.
QString GetTempFolder();

// Whether this copy of the program is an installed one, told by its place:
// the executable sits in a "bin" folder whose prefix holds
// share/applications/kazami.desktop, or its folder cannot be written. Root
// can write /usr/bin, so whether the folder can be written alone is no test.
bool IsInstalledCopy();

// Where Kazami.ini lives: $XDG_CONFIG_HOME/Kazami for an installed copy, the
// program folder for a portable one.
QString GetSettingsFolder();

// Where Kazami.Log lives: $XDG_STATE_HOME/Kazami for an installed copy, the
// program folder for a portable one.
QString GetLogFolder();

// The folder a first run lists: the user's home folder for an installed
// copy, the program folder for a portable one.
QString GetFirstRunFolder();

// Removes every separator at the end of path; the root keeps its one "/".
void StripTrailingSeparators(QString &path);

// Keeps the text before the last separator, so "/a/b" becomes "/a" and "/a"
// becomes the root "/"; the root and a path without one become empty.
void CutLastPathPart(QString &path);

// The folder a folder text names: a relative text is taken against the
// working folder, which the program never changes. Empty stays empty.
QString AbsoluteFolder(const QString &folder);

// The folders of the operating system that renaming would damage.
const QStringList &SystemFolders();

// Whether folder is one of SystemFolders() or lies inside one, comparing
// whole path components with exact letter case.
bool IsSystemFolder(const QString &folder);
