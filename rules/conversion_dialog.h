#pragma once

#include <memory>

class QWidget;
class RuleWindow;
class SideWindow;

// IDLS: the next step of the case cycle over every row.
void ExeCase(RuleWindow &window);

// frmEtc, the other-conversions window that stands beside the main window;
// nothing where it cannot be made. owner is the main window.
std::unique_ptr<SideWindow> CreateEtcWindow(RuleWindow &window, QWidget *owner);
