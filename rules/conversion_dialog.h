#pragma once

#include <QWidget>
#include <memory>

class RuleWindow;
class SideWindow;

// IDLS: the next step of the case cycle over every row.
void ExeCase(RuleWindow &window);

// Converts every row's preview as kind (a ConvertKind) says.
void ChangeEtc(RuleWindow &window, int kind);

// frmEtc: the other-conversions window. Modeless; closing it, by its button
// or its title bar, marks it closed in the settings.
class EtcWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EtcWindow)

public:
    EtcWindow(RuleWindow &window, QWidget *owner);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ExeEtc(int kind);
    void cmdRarClick();

    RuleWindow &m_window;
};

// frmEtc as the side window that stands beside the main window; owner is the
// main window, which the window closes with.
std::unique_ptr<SideWindow> CreateEtcWindow(RuleWindow &window, QWidget *owner);
