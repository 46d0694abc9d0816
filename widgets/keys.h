#pragma once

#include <QKeySequence>
#include <QString>

class QWidget;

// A tooltip with its command's key after it, as in "置換を実行します（Ctrl+R）".
QString WithShortcut(const QString &tooltip, const QKeySequence &key);

// Keeps for a combo box the keys that open or move in its list (Alt+Up,
// Alt+Down, F4): a window's shortcut on one of them does not fire while the
// box has the focus. Text boxes keep their editing keys by themselves.
void KeepListKeys(QWidget *comboBox);
