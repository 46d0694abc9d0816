#include "mainwindow/qtmessagesink.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtMessageSink messages;
    ScopedMessageSink installed(messages);
    return 0;
}
