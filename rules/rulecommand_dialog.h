#pragma once

#include "engine/fileentry.h"

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class RuleWindow;

// Shows a rule's dialog modally with its toolbar button pressed, and gives
// the dialog's outcome: true when it was confirmed (flgDlgOK).
bool ShowRuleDialog(RuleWindow &window, const QString &buttonKey, QDialog &dialog);

// The command of a rule with a dialog: rows whose file has vanished leave the
// list, the dialog shows with its button pressed, and only when it was
// confirmed does rule run over every row, ending with ClearCurrentRow.
void RunRuleCommand(RuleWindow &window, const QString &buttonKey, QDialog &dialog,
                    const std::function<void(FileEntry &)> &rule);

// A rule dialog's row of buttons on the right: "決定" (cmdOK, the default)
// runs onOk; "取消" (cmdCancel) clears flgDlgOK and closes the dialog.
QHBoxLayout *OkCancelRow(QDialog *dialog, const std::function<void()> &onOk);
