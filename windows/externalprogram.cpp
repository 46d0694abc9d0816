#include "windows/externalprogram.h"

#include "engine/messages.h"
#include "platform/displayname.h"
#include "platform/names.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

class DesktopLauncher final : public ProgramLauncher
{
public:
    QString FolderHandler() override
    {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
                    {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("inode/directory")});
        if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit ||
            query.exitCode() != 0) {
            query.kill();
            query.waitForFinished(1000);
            return {};
        }
        return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    }

    bool OpenUrl(const QString &opener, const QUrl &url, std::function<void()> failed) override
    {
        // Not detached, to hear how the opener ends. It has no parent: a
        // process object destroyed would kill an opener that stays with the
        // file manager it started, and none outlives its end but these.
        auto *process = new QProcess;
        process->setProgram(opener);
        process->setArguments({QString::fromLatin1(url.toEncoded())});
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int exitCode, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || exitCode != 0)
                                 failed();
                             process->deleteLater();
                         });
        process->start();
        if (!process->waitForStarted()) {
            delete process;
            return false;
        }
        return true;
    }

    bool StartDetached(const QString &program, const QStringList &arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
};

ProgramLauncher *&Current()
{
    static DesktopLauncher desktop;
    static ProgramLauncher *current = &desktop;
    return current;
}

// The desktop entries under which Kazami is installed.
bool IsKazami(const QString &desktopEntry)
{
    return desktopEntry.compare(QLatin1StringView("kazami.desktop"), Qt::CaseInsensitive) == 0 ||
           desktopEntry.compare(QLatin1StringView("org.kazami.Kazami.desktop"), Qt::CaseInsensitive) == 0;
}

void ShowNotStarted(const QString &reason, const QString &program, const QString &folder)
{
    Messages().ShowMessage(reason + CrLf + CrLf + QStringLiteral("プログラム：") + program + CrLf +
                               QStringLiteral("フォルダ：") + DisplayName(folder),
                           QStringLiteral("外部実行"), MessageIcon::Exclamation);
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
    if (program.compare(QLatin1StringView("Explorer"), Qt::CaseInsensitive) != 0) {
        if (!Launcher().StartDetached(program, {withSeparator}))
            ShowNotStarted(QStringLiteral("外部プログラムを起動できませんでした．"), program, withSeparator);
        return;
    }
    // A Kazami that opens folders would only open itself again.
    const QString handler = Launcher().FolderHandler();
    if (IsKazami(handler)) {
        ShowNotStarted(
            QStringLiteral("フォルダを開くプログラムに Kazami 自身が設定されているため，開きません．"),
            handler, withSeparator);
        return;
    }
    // Built from the folder's own bytes, so that a name that is not UTF-8
    // still names the folder.
    const QUrl url =
        QUrl::fromEncoded("file://" + EncodeName(withSeparator).toPercentEncoding("/"), QUrl::StrictMode);
    const QString opener =
        handler.isEmpty() ? FolderOpener : FolderOpener + QStringLiteral(" (") + handler + u')';
    auto notOpened = [opener, withSeparator] {
        ShowNotStarted(QStringLiteral("ファイルマネージャでフォルダを開けませんでした．"), opener,
                       withSeparator);
    };
    if (!Launcher().OpenUrl(FolderOpener, url, notOpened))
        notOpened();
}
