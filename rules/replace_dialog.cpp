#include "rules/replace_dialog.h"

#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "mainwindow/dialogflag.h"
#include "mainwindow/historycombo.h"
#include "rules/replace.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/settingsfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// An editable box offering a history, newest first, with an empty text field.
QComboBox *HistoryBox(const QString &name, const QString &current, const std::array<QString, 2> &previous,
                      QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: a typed prefix of an older entry must stay as typed.
    combo->setCompleter(nullptr);
    FillHistoryCombo(combo, current, previous);
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    return combo;
}

} // namespace

ReplaceDialog::ReplaceDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_cmbBefore(HistoryBox(u"cmbBefore"_s, settings.ReplaceFrom, settings.ReplaceFromHistory, this)),
      m_cmbAfter(HistoryBox(u"cmbAfter"_s, settings.ReplaceTo, settings.ReplaceToHistory, this)),
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

    auto *ok = new QPushButton(u"決定"_s, this);
    ok->setObjectName(u"cmdOK"_s);
    ok->setDefault(true);
    auto *cancel = new QPushButton(u"取消"_s, this);
    cancel->setObjectName(u"cmdCancel"_s);
    connect(ok, &QPushButton::clicked, this, &ReplaceDialog::cmdOKClick);
    connect(cancel, &QPushButton::clicked, this, &ReplaceDialog::cmdCancelClick);

    auto *options = new QHBoxLayout;
    options->addWidget(m_chkLS);
    options->addWidget(m_chkTop);
    options->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
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

void ReplaceDialog::cmdCancelClick()
{
    flgDlgOK = false;
    reject();
}

void ExeReplace(RuleWindow &window)
{
    DropMissingRows(window.list());
    ReplaceDialog dialog(window.settings(), window.DialogParent());
    if (!ShowRuleDialog(window, u"IDCHG"_s, dialog))
        return;
    const AppSettings &settings = window.settings();
    PassOverRows(window.list(), [&settings](FileEntry &entry) { ReplaceName(entry, settings); });
    window.ClearCurrentRow();
}
