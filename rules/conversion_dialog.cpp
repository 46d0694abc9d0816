#include "rules/conversion_dialog.h"

#include "mainwindow/sidewindow.h"
#include "rules/rulewindow.h"

void ExeCase(RuleWindow &) {}

std::unique_ptr<SideWindow> CreateEtcWindow(RuleWindow &, QWidget *)
{
    return nullptr;
}
