#include "widgets/dialogchrome.h"

#include "widgets/accessibility.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpacerItem>
#include <QTextDocument>
#include <QTextLayout>
#include <QWidget>
#include <cmath>

void SetDialogChrome(QWidget *window, WindowSizing sizing, bool closeButton)
{
    // Without CustomizeWindowHint the platform adds the buttons it thinks fit.
    Qt::WindowFlags flags = (window->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (closeButton)
        flags |= Qt::WindowCloseButtonHint;
    window->setWindowFlags(flags);
    DescribeForScreenReaders(window);
    // Equal minimum and maximum sizes are what every window manager honours
    // as "not resizable"; some show a maximise button on anything else.
    if (sizing == WindowSizing::Fixed && window->layout()) {
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
        // Its size is known before it is shown, for placing it.
        window->adjustSize();
    }
}

void FitTitle(QMessageBox *box)
{
    SetDialogChrome(box, WindowSizing::Fixed);
    // The title bar's font is the window manager's, commonly a bold one the
    // size of the application's; its buttons and icon take about eight lines'
    // height beside it.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    const int width = title.horizontalAdvance(box->windowTitle()) + 8 * title.height();
    // The box sizes itself from its layout: a spacer across it widens it.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
}

void FitToText(QPlainTextEdit *box)
{
    // Laid out as the box lays them out: a line of kana and kanji takes the
    // height of the font that draws them, which may exceed the box's own.
    qreal width = 0;
    qreal height = 0;
    for (const QString &text : box->toPlainText().split(u'\n')) {
        QTextLayout layout(text, box->font());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLeadingIncluded(true);
        layout.endLayout();
        width = qMax(width, line.naturalTextWidth());
        height += line.height();
    }
    const int around = 2 * (box->frameWidth() + int(std::ceil(box->document()->documentMargin()))) + 2;
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFixedHeight(int(std::ceil(height)) + around);
    box->setMinimumWidth(int(std::ceil(width)) + around + box->cursorWidth());
}
