#include "rules/date_dialog.h"

#include "engine/scan.h"
#include "engine/validation.h"
#include "rules/date.h"
#include "rules/rulecommand_dialog.h"
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

DateDialog::DateDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings),
      m_cmbTxt(
          MakeHistoryCombo(QStringLiteral("cmbTxt"), settings.DatePrefix, settings.DatePrefixHistory, this)),
      m_cmbDay(new QComboBox(this)), m_cmbSource(new QComboBox(this)),
      m_chkIns(new QCheckBox(QStringLiteral("挿入のみ行う（ファイル名の保護）"), this))
{
    setObjectName(QStringLiteral("frmDate"));
    setWindowTitle(QStringLiteral("更新日で名前を付けます"));
    setModal(true);

    auto *label1 = new QLabel(QStringLiteral("先頭の文字列"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_cmbTxt->setToolTip(QStringLiteral("この文字列の後ろに日付を加えます"));
    m_cmbTxt->setMinimumWidth(200);
    label1->setBuddy(m_cmbTxt);
    auto *label2 = new QLabel(QStringLiteral("日付タイプ"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_cmbDay->setObjectName(QStringLiteral("cmbDay"));
    label2->setBuddy(m_cmbDay);
    m_chkIns->setObjectName(QStringLiteral("chkIns"));
    auto *label3 = new QLabel(QStringLiteral("日付の取得元"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    m_cmbSource->setObjectName(QStringLiteral("cmbSource"));
    m_cmbSource->addItems({QStringLiteral("更新日時"), QStringLiteral("撮影日時（Exif）")});
    m_cmbSource->setCurrentIndex(settings.DateSource == DateFromShooting ? 1 : 0);
    m_cmbSource->setToolTip(QStringLiteral("撮影日時（Exif）: 写真に記録された撮影日時を使います．"
                                           "記録のないファイルは更新日時を使います"));
    label3->setBuddy(m_cmbSource);

    auto *message = new QPlainTextEdit(this);
    message->setObjectName(QStringLiteral("txtMessage"));
    message->setReadOnly(true);
    message->setPlainText(
        QStringLiteral("（推奨）前もって日付ソートをしておくと，重複の際に時間を考慮して順番を決めます．") +
        u'\n' + u'\n' + QStringLiteral("重複の際は，末尾に文字が入ります．") + u'\n' +
        QStringLiteral("[挿入のみ] をマークすると名前の変更を行わずに拡張子の直前に挿入を行います．") +
        u'\n' + u'\n' + QStringLiteral("日付は，「更新日（ファイルを最後に変更した日）」が使われます．"));
    message->setMinimumSize(360, 120);

    auto *fields = new QGridLayout;
    fields->addWidget(label1, 0, 0);
    fields->addWidget(m_cmbTxt, 0, 1);
    fields->addWidget(label2, 1, 0);
    fields->addWidget(m_cmbDay, 1, 1);
    fields->addWidget(label3, 2, 0);
    fields->addWidget(m_cmbSource, 2, 1);
    fields->addWidget(m_chkIns, 3, 1);
    auto *buttons = OkCancelRow(this, [this] { cmdOKClick(); });
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(message);
    layout->addLayout(buttons);

    m_chkIns->setChecked(m_settings.DateInsertOnly);
    chkInsClick(m_settings.DateInsertOnly);
    connect(m_chkIns, &QCheckBox::toggled, this, &DateDialog::chkInsClick);
    flgDlgOK = false;
    m_cmbDay->addItems({QStringLiteral("年月日"), QStringLiteral("年月"), QStringLiteral("月日")});
    m_cmbDay->setCurrentIndex(0);
}

void DateDialog::chkInsClick(bool checked)
{
    // Only inserting keeps the name, so the leading text has no part in it.
    m_cmbTxt->setEnabled(!checked);
    m_settings.DateInsertOnly = checked;
}

void DateDialog::cmdOKClick()
{
    const QString text = m_cmbTxt->currentText();
    if (!CheckNameChars(text, true))
        return;
    m_settings.DateInsertOnly = m_chkIns->isChecked();
    PushHistory(text, m_settings.DatePrefix, m_settings.DatePrefixHistory);
    m_settings.DateType = qint16(m_cmbDay->currentIndex());
    m_settings.DateSource = qint16(m_cmbSource->currentIndex());
    flgDlgOK = true;
    accept();
}

void ExeDay(RuleWindow &window)
{
    DropMissingRows(window.list());
    DateDialog dialog(window.settings(), window.DialogParent());
    if (!ShowRuleDialog(window, QString(), dialog))
        return;
    if (!DateNameRows(window.list(), window.settings(), window.Progress()))
        return;
    window.ClearCurrentRow();
}
