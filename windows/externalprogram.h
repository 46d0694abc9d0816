#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// How the external program and the file manager are started; tests install
// one that records the calls instead of starting anything.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    // The desktop entry that opens folders ("org.kde.dolphin.desktop");
    // empty when none is set or the desktop cannot be asked.
    virtual QString FolderHandler() = 0;
    // Opens a folder's URL in the desktop's file manager through opener.
    // False when opener cannot be started; failed runs later when it ends
    // without having opened the folder.
    virtual bool OpenUrl(const QString &opener, const QUrl &url, std::function<void()> failed) = 0;
    // Starts a program on its own, not waiting for it; false when it cannot
    // be started.
    virtual bool StartDetached(const QString &program, const QStringList &arguments) = 0;
};

// The installed launcher: the desktop's own unless a test has installed another.
ProgramLauncher &Launcher();

// Installs a launcher for the lifetime of this object.
class ScopedLauncher final
{
public:
    explicit ScopedLauncher(ProgramLauncher &launcher);
    ~ScopedLauncher();
    ScopedLauncher(const ScopedLauncher &) = delete;
    ScopedLauncher &operator=(const ScopedLauncher &) = delete;

private:
    ProgramLauncher *m_previous;
};

// The program that opens a URL in the desktop's file manager.
inline const QString FolderOpener = QStringLiteral("xdg-open");

// Hands folder to the external program: "Explorer" (any letter case) opens
// it in the desktop's file manager, anything else is started with the
// folder and a trailing separator as its one argument. A program that
// cannot be started, or a file manager that cannot open the folder, is
// told in one message naming the program and the folder; where Kazami
// itself is the desktop's folder opener, it is not started again.
void RunExternalProgram(const QString &program, const QString &folder);
