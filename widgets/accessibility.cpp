#include "widgets/accessibility.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

void DescribeForScreenReaders(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        QWidget *buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(label->text().remove(u'&'));
    }
    // A text shown for reading, such as a dialog's message, is named by
    // the window it explains.
    for (QPlainTextEdit *text : window->findChildren<QPlainTextEdit *>()) {
        if (text->isReadOnly() && text->accessibleName().isEmpty())
            text->setAccessibleName(window->windowTitle());
    }
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->accessibleDescription().isEmpty() && !widget->toolTip().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());
    }
}
