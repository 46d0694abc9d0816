#include "widgets/historycombo.h"

#include "settings/settingsfile.h"

#include <QComboBox>

void FillHistoryCombo(QComboBox *combo, const QString &current, const std::array<QString, 2> &previous)
{
    combo->addItems(HistoryEntries(current, previous));
}

QComboBox *MakeHistoryCombo(const QString &name, const QString &current,
                            const std::array<QString, 2> &previous, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    FillHistoryCombo(combo, current, previous);
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    return combo;
}
