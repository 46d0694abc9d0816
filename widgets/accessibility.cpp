#include "widgets/accessibility.h"

#include <QLabel>
#include <QWidget>

void DescribeForScreenReaders(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        QWidget *buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(label->text().remove(u'&'));
    }
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->accessibleDescription().isEmpty() && !widget->toolTip().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());
    }
}
