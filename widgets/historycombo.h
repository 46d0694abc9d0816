#pragma once

#include <QString>
#include <array>

class QComboBox;
class QWidget;

// Appends the non-empty entries of a history to a combo box's drop-down
// list, current value first; neither clears the list nor sets the text.
void FillHistoryCombo(QComboBox *combo, const QString &current, const std::array<QString, 2> &previous);

// An editable box for a text the user types or picks from its history: the
// drop-down offers the history newest first, the text field starts empty,
// and nothing completes a typed prefix into an older entry.
QComboBox *MakeHistoryCombo(const QString &name, const QString &current,
                            const std::array<QString, 2> &previous, QWidget *parent);
