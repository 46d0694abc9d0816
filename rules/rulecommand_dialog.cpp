#include "rules/rulecommand_dialog.h"

#include "mainwindow/dialogflag.h"
#include "rules/rulewindow.h"

#include <QDialog>

bool ShowRuleDialog(RuleWindow &window, const QString &buttonKey, QDialog &dialog)
{
    flgDlgOK = false;
    if (!buttonKey.isEmpty())
        window.SetButtonPressed(buttonKey, true);
    dialog.exec();
    if (!buttonKey.isEmpty())
        window.SetButtonPressed(buttonKey, false);
    return flgDlgOK;
}
