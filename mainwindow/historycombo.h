#pragma once

#include <QString>
#include <array>

class QComboBox;

// Appends the non-empty entries of a history to a combo box's drop-down
// list, current value first; neither clears the list nor sets the text.
void FillHistoryCombo(QComboBox *combo, const QString &current, const std::array<QString, 2> &previous);
