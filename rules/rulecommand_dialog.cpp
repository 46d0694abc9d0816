#include "rules/rulecommand_dialog.h"

#include "engine/scan.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "widgets/dialogchrome.h"
#include "widgets/dialogflag.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

bool ShowRuleDialog(RuleWindow &window, const QString &buttonKey, QDialog &dialog)
{
    flgDlgOK = false;
    SetDialogChrome(&dialog, WindowSizing::Fixed);
    if (!buttonKey.isEmpty())
        window.SetButtonPressed(buttonKey, true);
    dialog.exec();
    if (!buttonKey.isEmpty())
        window.SetButtonPressed(buttonKey, false);
    return flgDlgOK;
}

void RunRuleCommand(RuleWindow &window, const QString &buttonKey, QDialog &dialog,
                    const std::function<void(FileEntry &)> &rule)
{
    DropMissingRows(window.list());
    if (!ShowRuleDialog(window, buttonKey, dialog))
        return;
    PassOverRows(window.list(), rule);
    window.ClearCurrentRow();
}

QHBoxLayout *OkCancelRow(QDialog *dialog, const std::function<void()> &onOk)
{
    auto *ok = new QPushButton(QStringLiteral("決定"), dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
    QObject::connect(cancel, &QPushButton::clicked, dialog, [dialog] {
        flgDlgOK = false;
        dialog->reject();
    });
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
