#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// How the external program and the file manager are started; tests install
// one that records the calls instead of starting anything.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    // Opens a folder's URL in the desktop's file manager.
    virtual void OpenUrl(const QUrl &url) = 0;
    // Starts a program on its own, not waiting for it.
    virtual void StartDetached(const QString &program, const QStringList &arguments) = 0;
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

// Hands folder to the external program: "Explorer" (any letter case) opens
// it in the desktop's file manager, anything else is started with the
// folder and a trailing separator as its one argument. Nothing is checked
// and no message is shown.
void RunExternalProgram(const QString &program, const QString &folder);
