#include "mainwindow/historycombo.h"

#include "settings/settingsfile.h"

#include <QComboBox>

void FillHistoryCombo(QComboBox *combo, const QString &current, const std::array<QString, 2> &previous)
{
    combo->addItems(HistoryEntries(current, previous));
}
