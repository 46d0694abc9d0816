#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

// A modeless window that stands against the main window's right edge.
class SideWindow
{
public:
    virtual ~SideWindow() = default;

    virtual bool IsShown() const = 0;
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
