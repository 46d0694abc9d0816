#pragma once

#include <QString>

class QDialog;
class RuleWindow;

// Shows a rule's dialog modally with its toolbar button pressed, and gives
// the dialog's outcome: true when it was confirmed (flgDlgOK).
bool ShowRuleDialog(RuleWindow &window, const QString &buttonKey, QDialog &dialog);
