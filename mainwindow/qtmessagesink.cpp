#include "mainwindow/qtmessagesink.h"

#include "platform/displayname.h"
#include "widgets/dialogchrome.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

int Show(QWidget *parent, const QString &text, const QString &title, MessageIcon icon,
         QMessageBox::StandardButtons buttons,
         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    // A name in the text shows its bytes that are not UTF-8 as "\xFF".
    QString shown = DisplayName(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(ToQt(icon), title.isEmpty() ? ProgramTitle : title, shown, buttons, parent);
    FitTitle(&box);
    // A file name may hold "<b>": what a box quotes is never markup.
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // A box asked for during a busy run must still show the normal pointer.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

} // namespace

QtMessageSink::QtMessageSink(QWidget *parent) : m_parent(parent) {}

void QtMessageSink::ShowMessage(const QString &text, const QString &title, MessageIcon icon)
{
    Show(m_parent, text, title, icon, QMessageBox::Ok);
}

bool QtMessageSink::AskYesNo(const QString &text, const QString &title, MessageIcon icon)
{
    return Show(m_parent, text, title, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtMessageSink::AskYesNoDefaultNo(const QString &text, const QString &title, MessageIcon icon)
{
    return Show(m_parent, text, title, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}
