#include "mainwindow/commandline.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/qtmessagesink.h"
#include "mainwindow/toolbarimages.h"
#include "platform/names.h"
#include "settings/settingsfile.h"
#include "windows/contractdialog.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

namespace {

QList<QByteArray> Arguments(int argc, char *argv[])
{
    QList<QByteArray> arguments;
    for (int at = 0; at < argc; ++at)
        arguments.append(QByteArray(argv[at]));
    return arguments;
}

// Prints the text of a command line that ends the program, the bytes of any
// name in it as they came.
int Finish(const CommandLine &command)
{
    const QByteArray text = EncodeName(command.text);
    std::fwrite(text.constData(), 1, size_t(text.size()), command.exitCode == 0 ? stdout : stderr);
    return command.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help, --version and a command line that cannot be followed need no
    // display and leave the settings file alone: they are answered before
    // the application starts.
    if (const CommandLine early = ParseCommandLine(WithoutQtOptions(Arguments(argc, argv))); early.exit)
        return Finish(early);
    QApplication app(argc, argv);
    // The application has taken its own options (-platform, -session ...)
    // out of argv; what is left is ours.
    const CommandLine command = ParseCommandLine(Arguments(argc, argv));
    if (command.exit)
        return Finish(command);
    // Ties the windows to the desktop entry, for their icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kazami"));
    // Every window without an icon of its own shows the program's.
    QApplication::setWindowIcon(ApplicationIcon());
    // The standard buttons of boxes and dialogs read in Japanese whatever the
    // desktop's language.
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    QtMessageSink messages;
    ScopedMessageSink installed(messages);
    SetFirstRunHook([] { return ShowContract(); });

    MainWindow window;
    messages.setParent(&window);
    if (!window.FormLoad(command.folder))
        return 0;
    window.show();
    // The folder is listed already; this warns of a system folder.
    if (!command.folder.isEmpty())
        window.OpenFolder(command.folder);
    return QApplication::exec();
}
