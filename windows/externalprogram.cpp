#include "windows/externalprogram.h"

#include "platform/names.h"

#include <QDesktopServices>
#include <QProcess>

namespace {

class DesktopLauncher final : public ProgramLauncher
{
public:
    void OpenUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
    void StartDetached(const QString &program, const QStringList &arguments) override
    {
        QProcess::startDetached(program, arguments);
    }
};

ProgramLauncher *&Current()
{
    static DesktopLauncher desktop;
    static ProgramLauncher *current = &desktop;
    return current;
}

} // namespace

ProgramLauncher &Launcher()
{
    return *Current();
}

ScopedLauncher::ScopedLauncher(ProgramLauncher &launcher) : m_previous(Current())
{
    Current() = &launcher;
}

ScopedLauncher::~ScopedLauncher()
{
    Current() = m_previous;
}

void RunExternalProgram(const QString &program, const QString &folder)
{
    // The root already ends in the separator and keeps a single one; a list
    // never scanned hands over the lone separator.
    const QString withSeparator = folder.endsWith(u'/') ? folder : folder + u'/';
    if (program.compare(QLatin1StringView("Explorer"), Qt::CaseInsensitive) == 0)
        // Built from the folder's own bytes, so that a name that is not
        // UTF-8 still names the folder.
        Launcher().OpenUrl(QUrl::fromEncoded("file://" + EncodeName(withSeparator).toPercentEncoding("/"),
                                             QUrl::StrictMode));
    else
        Launcher().StartDetached(program, {withSeparator});
}
