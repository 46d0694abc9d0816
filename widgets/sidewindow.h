#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

// Where a side window of outer size side stands beside the main window of
// outer geometry main, inside screen, the available room of main's screen:
// against main's right edge where it fits there, else against its left edge,
// else against the screen's right edge over main, below main's title bar of
// height title so that main's own buttons stay free. Its top is main's top,
// moved only as far as it must to stay on the screen.
QPoint SideWindowPosition(const QRect &screen, const QRect &main, const QSize &side, int title = 0);

// A modeless window that stands beside the main window.
class SideWindow
{
public:
    virtual ~SideWindow() = default;

    virtual bool IsShown() const = 0;
    // The size inside the window's frame.
    virtual QSize Size() const = 0;
    // Places the window's outer top-left corner.
    virtual void MoveTo(const QPoint &topLeft) = 0;
    virtual void ShowSide() = 0;
    // Closes the window; its flag is the caller's business.
    virtual void CloseSide() = 0;
    // Hides the window while the main window is minimized.
    virtual void HideSide() = 0;
};

// A side window that is one top-level widget.
class WidgetSideWindow : public SideWindow
{
public:
    explicit WidgetSideWindow(QWidget *widget) : m_widget(widget) {}

    QWidget *widget() const { return m_widget; }

    bool IsShown() const override { return m_widget && m_widget->isVisible(); }
    QSize Size() const override { return m_widget ? m_widget->size() : QSize(); }
    void MoveTo(const QPoint &topLeft) override
    {
        if (m_widget)
            m_widget->move(topLeft);
    }
    void ShowSide() override
    {
        if (m_widget)
            m_widget->show();
    }
    void CloseSide() override
    {
        if (m_widget)
            m_widget->close();
    }
    void HideSide() override
    {
        if (m_widget)
            m_widget->hide();
    }

private:
    QPointer<QWidget> m_widget;
};
