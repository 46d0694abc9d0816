#include "rules/insert_dialog.h"

#include "engine/scan.h"
#include "engine/validation.h"
#include "rules/insert.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/settingsfile.h"
#include "widgets/dialogflag.h"
#include "widgets/historycombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

InsertDialog::InsertDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_cmbIns(MakeHistoryCombo(u"cmbIns"_s, settings.InsertText, settings.InsertTextHistory, this)),
      m_optTop(new QRadioButton(u"先頭に挿入"_s)), m_optBottom(new QRadioButton(u"最後に挿入"_s)),
      m_chkExt(new QCheckBox(u"拡張子保護"_s, this))
{
    setObjectName(u"frmIns"_s);
    setWindowTitle(u"先頭または末尾に文字を挿入"_s);
    setModal(true);

    auto *label1 = new QLabel(u"挿入文字列"_s, this);
    label1->setObjectName(u"Label1"_s);
    label1->setBuddy(m_cmbIns);

    auto *fraPosition = new QGroupBox(u"挿入場所"_s, this);
    fraPosition->setObjectName(u"fraPosition"_s);
    m_optTop->setObjectName(u"optTop"_s);
    m_optBottom->setObjectName(u"optBottom"_s);
    auto *positions = new QVBoxLayout(fraPosition);
    positions->addWidget(m_optTop);
    positions->addWidget(m_optBottom);
    m_chkExt->setObjectName(u"chkExt"_s);

    auto *txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(u"txtHelp"_s);
    txtHelp->setReadOnly(true);
    txtHelp->setPlainText(u"拡張子保護をすると，最後に挿入時，"_s + u"拡張子の直前に挿入されます"_s);
    txtHelp->setFixedHeight(txtHelp->fontMetrics().lineSpacing() * 3 + 12);

    auto *middle = new QHBoxLayout;
    middle->addWidget(fraPosition);
    middle->addWidget(m_chkExt, 0, Qt::AlignBottom);
    middle->addStretch();
    auto *buttons = OkCancelRow(this, [this] { cmdOKClick(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_cmbIns);
    layout->addLayout(middle);
    layout->addWidget(txtHelp);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    m_chkExt->setChecked(settings.ProtectExtension);
    flgDlgOK = false;
    // The place is never remembered: every opening starts at the top.
    m_optTop->setChecked(true);
    m_cmbIns->setFocus();
}

void InsertDialog::cmdOKClick()
{
    const QString text = m_cmbIns->currentText();
    if (text.isEmpty()) {
        flgDlgOK = false;
        reject();
        return;
    }
    if (!CheckNameChars(text, true)) {
        m_cmbIns->setFocus();
        return;
    }
    m_settings.ProtectExtension = m_chkExt->isChecked();
    PushHistory(text, m_settings.InsertText, m_settings.InsertTextHistory);
    m_settings.InsertAtTop = m_optTop->isChecked();
    flgDlgOK = true;
    accept();
}

void ExeInsert(RuleWindow &window)
{
    InsertDialog dialog(window.settings(), window.DialogParent());
    const AppSettings &settings = window.settings();
    RunRuleCommand(window, u"IDINS"_s, dialog,
                   [&settings](FileEntry &entry) { InsertName(entry, settings); });
}
