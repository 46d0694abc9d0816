#include "mainwindow/mainwindow.h"
#include "mainwindow/qtmessagesink.h"
#include "mainwindow/toolbarimages.h"
#include "settings/settingsfile.h"
#include "windows/contractdialog.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    if (!window.FormLoad())
        return 0;
    window.show();
    return QApplication::exec();
}
