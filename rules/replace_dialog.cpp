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
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ReplaceDialog::ReplaceDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_cmbBefore(MakeHistoryCombo(u"cmbBefore"_s, settings.ReplaceFrom, settings.ReplaceFromHistory, this)),
      m_cmbAfter(MakeHistoryCombo(u"cmbAfter"_s, settings.ReplaceTo, settings.ReplaceToHistory, this)),
      m_chkLS(new QCheckBox(u"大／小文字区別"_s, this)), m_chkTop(new QCheckBox(u"先頭から検索"_s, this)),
      m_chkRegex(new QCheckBox(u"正規表現"_s, this)), m_chkAll(new QCheckBox(u"すべて置換"_s, this))
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
    m_chkRegex->setObjectName(u"chkRegex"_s);
    m_chkRegex->setChecked(settings.ReplaceRegex);
    m_chkRegex->setToolTip(u"変換する文字を正規表現（Perl 互換）として探します．"
                           u"変換後の文字の $1～$9 は ( ) で囲んだ部分，$0 は見つかった全体になります"_s);
    m_chkAll->setObjectName(u"chkAll"_s);
    m_chkAll->setChecked(settings.ReplaceAll);
    m_chkAll->setToolTip(u"見つかったものをすべて置換します"_s);
    // Every occurrence leaves no first or last to choose.
    m_chkTop->setEnabled(!settings.ReplaceAll);
    connect(m_chkAll, &QCheckBox::toggled, m_chkTop, [this](bool all) { m_chkTop->setEnabled(!all); });

    auto *txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(u"txtMessage"_s);
    txtMessage->setReadOnly(true);
    txtMessage->setPlainText(QStringList{u"例：aaa.txt を a->x で変換する場合"_s, QString(),
                                         u"　　先頭から検索にする　→　xaa.txt"_s,
                                         u"　　先頭から検索しない　→　aax.txt"_s}
                                 .join(u'\n'));
    txtMessage->setFixedHeight(txtMessage->fontMetrics().lineSpacing() * 5 + 12);

    auto *options = new QGridLayout;
    options->addWidget(m_chkLS, 0, 0);
    options->addWidget(m_chkTop, 0, 1);
    options->addWidget(m_chkRegex, 1, 0);
    options->addWidget(m_chkAll, 1, 1);
    options->setColumnStretch(2, 1);
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
    if (m_chkRegex->isChecked() && !CheckExpression(before))
        return;
    // The search text is only looked for; the replacement becomes part of names.
    if (!CheckNameChars(after, true)) {
        m_cmbAfter->setFocus();
        return;
    }
    m_settings.ReplaceFromTop = m_chkTop->isChecked();
    m_settings.ReplaceCaseSensitive = m_chkLS->isChecked();
    m_settings.ReplaceRegex = m_chkRegex->isChecked();
    m_settings.ReplaceAll = m_chkAll->isChecked();
    PushHistory(before, m_settings.ReplaceFrom, m_settings.ReplaceFromHistory);
    PushHistory(after, m_settings.ReplaceTo, m_settings.ReplaceToHistory);
    flgDlgOK = true;
    accept();
}

bool ReplaceDialog::CheckExpression(const QString &pattern)
{
    const QRegularExpression expression = ReplaceExpression(pattern, m_chkLS->isChecked());
    if (expression.isValid())
        return true;
    const qsizetype offset = expression.patternErrorOffset();
    Messages().ShowMessage(u"「変換する文字」 の正規表現に誤りがあります"_s + CrLf + CrLf +
                           expression.errorString() + u"（%1 文字目）"_s.arg(offset + 1));
    m_cmbBefore->setFocus();
    m_cmbBefore->lineEdit()->setCursorPosition(int(offset));
    return false;
}

void ExeReplace(RuleWindow &window)
{
    ReplaceDialog dialog(window.settings(), window.DialogParent());
    const AppSettings &settings = window.settings();
    // One replacer for the whole pass, made once the dialog has stored its choices.
    std::optional<Replacer> replacer;
    RunRuleCommand(window, u"IDCHG"_s, dialog, [&](FileEntry &entry) {
        if (!replacer)
            replacer.emplace(settings);
        entry.Preview = replacer->Rewrite(entry.Name);
    });
}
