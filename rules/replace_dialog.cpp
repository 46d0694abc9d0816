#include "rules/replace_dialog.h"

#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "rules/replace.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/settingsfile.h"
#include "widgets/dialogflag.h"
#include "widgets/historycombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ReplaceDialog::ReplaceDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_cmbBefore(MakeHistoryCombo(u"cmbBefore"_s, settings.ReplaceFrom, settings.ReplaceFromHistory, this)),
      m_cmbAfter(MakeHistoryCombo(u"cmbAfter"_s, settings.ReplaceTo, settings.ReplaceToHistory, this)),
      m_chkLS(new QCheckBox(u"大／小文字区別"_s, this)), m_chkTop(new QCheckBox(u"先頭から検索"_s, this))
{
    setObjectName(u"frmChg"_s);
    setWindowTitle(u"文字列を置換します"_s);
    setModal(true);

    auto *label1 = new QLabel(u"変換する文字"_s, this);
    label1->setObjectName(u"Label1"_s);
    label1->setBuddy(m_cmbBefore);
    m_cmbBefore->setToolTip(u"この文字列を下の文字に変換します"_s);
    auto *lblYa = new QLabel(u"↓"_s, this);
    lblYa->setObjectName(u"lblYa"_s);
    lblYa->setAlignment(Qt::AlignCenter);
    auto *label2 = new QLabel(u"変換後の文字"_s, this);
    label2->setObjectName(u"Label2"_s);
    label2->setBuddy(m_cmbAfter);
    m_cmbAfter->setToolTip(u"何も書かないと上の文字列を削除します"_s);
    m_chkLS->setObjectName(u"chkLS"_s);
    m_chkLS->setChecked(settings.ReplaceCaseSensitive);
    m_chkTop->setObjectName(u"chkTop"_s);
    m_chkTop->setChecked(settings.ReplaceFromTop);

    auto *txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(u"txtMessage"_s);
    txtMessage->setReadOnly(true);
    txtMessage->setPlainText(QStringList{u"例：aaa.txt を a->x で変換する場合"_s, QString(),
                                         u"　　先頭から検索にする　→　xaa.txt"_s,
                                         u"　　先頭から検索しない　→　aax.txt"_s}
                                 .join(u'\n'));
    txtMessage->setFixedHeight(txtMessage->fontMetrics().lineSpacing() * 5 + 12);

    auto *options = new QHBoxLayout;
    options->addWidget(m_chkLS);
    options->addWidget(m_chkTop);
    options->addStretch();
    auto *buttons = OkCancelRow(this, [this] { cmdOKClick(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(m_cmbBefore);
    layout->addWidget(lblYa);
    layout->addWidget(label2);
    layout->addWidget(m_cmbAfter);
    layout->addLayout(options);
    layout->addWidget(txtMessage);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    flgDlgOK = false;
    m_cmbBefore->setFocus();
}

void ReplaceDialog::cmdOKClick()
{
    const QString before = m_cmbBefore->currentText();
    const QString after = m_cmbAfter->currentText();
    if (before.isEmpty()) {
        Messages().ShowMessage(u"「変換する文字」 の欄は省略できません"_s);
        m_cmbBefore->setFocus();
        return;
    }
    // The search text is only looked for; the replacement becomes part of names.
    if (!CheckNameChars(after, true)) {
        m_cmbAfter->setFocus();
        return;
    }
    m_settings.ReplaceFromTop = m_chkTop->isChecked();
    m_settings.ReplaceCaseSensitive = m_chkLS->isChecked();
    PushHistory(before, m_settings.ReplaceFrom, m_settings.ReplaceFromHistory);
    PushHistory(after, m_settings.ReplaceTo, m_settings.ReplaceToHistory);
    flgDlgOK = true;
    accept();
}

void ExeReplace(RuleWindow &window)
{
    ReplaceDialog dialog(window.settings(), window.DialogParent());
    const AppSettings &settings = window.settings();
    RunRuleCommand(window, u"IDCHG"_s, dialog,
                   [&settings](FileEntry &entry) { ReplaceName(entry, settings); });
}
