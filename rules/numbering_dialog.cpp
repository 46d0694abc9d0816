#include "rules/numbering_dialog.h"

#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/validation.h"
#include "rules/numbering.h"
#include "rules/rulecommand_dialog.h"
#include "rules/rulepass.h"
#include "rules/rulewindow.h"
#include "settings/settingsfile.h"
#include "widgets/dialogchrome.h"
#include "widgets/dialogflag.h"
#include "widgets/historycombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double Int16Min = -MaxNumber - 1;

void Refuse(const QString &text, QLineEdit *box)
{
    Messages().ShowMessage(text);
    box->setFocus();
    box->selectAll();
}

} // namespace

NumberDialog::NumberDialog(AppSettings &settings, int rowCount, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_rowCount(rowCount),
      m_cmbName(MakeHistoryCombo(u"cmbName"_s, settings.NumberPattern, settings.NumberPatternHistory, this)),
      m_txtStart(new QLineEdit(this)), m_chkZero(new QCheckBox(u"0 を挿入して桁をそろえる（推奨）"_s, this)),
      m_optAuto(new QRadioButton(u"ファイル数に合わせる（自動）"_s)),
      m_optManual(new QRadioButton(u"桁数の入力（手動）"_s)), m_txtKeta(new QLineEdit)
{
    setObjectName(u"frmNumber"_s);
    setWindowTitle(u"リストの先頭から連番を打ちます．"_s);
    setModal(true);

    auto *label3 = new QLabel(u"連番文字列"_s, this);
    label3->setObjectName(u"Label3"_s);
    label3->setBuddy(m_cmbName);
    auto *label2 = new QLabel(u"開始の数"_s, this);
    label2->setObjectName(u"Label2"_s);
    label2->setBuddy(m_txtStart);
    m_txtStart->setObjectName(u"txtStart"_s);
    m_chkZero->setObjectName(u"chkZero"_s);

    auto *flmZero = new QFrame(this);
    flmZero->setObjectName(u"flmZero"_s);
    flmZero->setFrameShape(QFrame::StyledPanel);
    m_optAuto->setObjectName(u"optAuto"_s);
    m_optAuto->setToolTip(u"ファイル数10以上なら２桁 100以上なら３桁"_s);
    m_optManual->setObjectName(u"optManual"_s);
    m_txtKeta->setObjectName(u"txtKeta"_s);
    m_txtKeta->setMaximumWidth(60);
    // The box belongs to the option beside it.
    m_txtKeta->setAccessibleName(m_optManual->text());
    auto *digits = new QGridLayout(flmZero);
    digits->addWidget(m_optAuto, 0, 0, 1, 2);
    digits->addWidget(m_optManual, 1, 0);
    digits->addWidget(m_txtKeta, 1, 1);

    auto *txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(u"txtHelp"_s);
    txtHelp->setReadOnly(true);
    const QStringList help = {u"数値を入れたい場所に ? マークを入れてください．"_s,
                              u"? の省略で，文字列の最後に数字がつきます．"_s,
                              u"拡張子を書かないと，拡張子が保護されます．"_s, QString(),
                              u"桁をそろえる A01.txt A53.txt  そろえない A1.TXT A53.TXT"_s};
    txtHelp->setPlainText(help.join(u'\n'));
    FitToText(txtHelp);
    auto *line1 = new QFrame(this);
    line1->setObjectName(u"Line1"_s);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    auto *start = new QHBoxLayout;
    start->addWidget(label2);
    start->addWidget(m_txtStart);
    start->addStretch();
    auto *buttons = OkCancelRow(this, [this] { cmdOKClick(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label3);
    layout->addWidget(m_cmbName);
    layout->addLayout(start);
    layout->addWidget(m_chkZero);
    layout->addWidget(flmZero);
    layout->addWidget(txtHelp);
    layout->addWidget(line1);
    layout->addLayout(buttons);

    flgDlgOK = false;
    LoadNumberControls();
    EnableDigitControls();
    connect(m_chkZero, &QCheckBox::toggled, this, &NumberDialog::EnableDigitControls);
    connect(m_optAuto, &QRadioButton::toggled, this, &NumberDialog::EnableDigitControls);
    connect(m_optManual, &QRadioButton::toggled, this, &NumberDialog::EnableDigitControls);
    m_txtStart->installEventFilter(this);
    m_txtKeta->installEventFilter(this);
    m_cmbName->setFocus();
}

void NumberDialog::LoadNumberControls()
{
    m_chkZero->setChecked(m_settings.NumberZeroPad);
    (m_settings.NumberAutoDigits ? m_optAuto : m_optManual)->setChecked(true);
    m_txtKeta->setText(QString::number(m_settings.NumberDigits));
    m_txtStart->setText(QString::number(m_settings.NumberStart));
}

void NumberDialog::EnableDigitControls()
{
    const bool padding = m_chkZero->isChecked();
    const bool manual = padding && m_optManual->isChecked();
    m_optAuto->setEnabled(padding);
    m_optManual->setEnabled(padding);
    m_txtKeta->setEnabled(manual);
    QPalette colours = m_txtKeta->palette();
    colours.setColor(QPalette::Base, palette().color(manual ? QPalette::Base : QPalette::Button));
    m_txtKeta->setPalette(colours);
}

bool NumberDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Only a move of the focus inside the dialog counts as leaving the box,
    // not a switch to another window (or to the message box below).
    if (event->type() == QEvent::FocusOut && !m_checking) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_txtStart)
                CheckNumericBox(m_txtStart, u"0"_s);
            else if (watched == m_txtKeta)
                CheckNumericBox(m_txtKeta, u"2"_s);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool NumberDialog::CheckNumericBox(QLineEdit *box, const QString &resetText)
{
    if (NumericValue(box->text()))
        return true;
    m_checking = true;
    Messages().ShowMessage(u"数値を入力してください"_s);
    box->setText(resetText);
    box->setFocus();
    m_checking = false;
    return false;
}

bool NumberDialog::CheckNumberRange(double start, double digits)
{
    if (start < Int16Min || start > MaxNumber) {
        Refuse(u"開始の数は -32768 から 32767 までの数にしてください"_s, m_txtStart);
        return false;
    }
    const bool manual = m_chkZero->isChecked() && m_optManual->isChecked();
    // More digits than a file name can hold would only make names the run refuses.
    if (digits < Int16Min || digits > MaxNumber || (manual && (digits < 0 || digits > MaxNameBytes))) {
        Refuse(u"桁数は 0 から 255 までの数にしてください"_s, m_txtKeta);
        return false;
    }
    if (start + m_rowCount - 1 > MaxNumber) {
        Refuse(u"最後のファイルの番号が 32767 を超えます"_s + CrLf + u"開始の数を小さくしてください"_s,
               m_txtStart);
        return false;
    }
    return true;
}

void NumberDialog::cmdOKClick()
{
    const QString pattern = m_cmbName->currentText();
    if (!CheckNameChars(pattern, false)) {
        m_cmbName->setFocus();
        return;
    }
    if (m_settings.ProtectExtension && pattern.contains(u'.')) {
        Messages().ShowMessage(u"拡張子保護のため，実行できません"_s);
        flgDlgOK = false;
        m_cmbName->setFocus();
        return;
    }
    // Enter confirms without the focus leaving a number box, so test them again.
    if (!CheckNumericBox(m_txtStart, u"0"_s) || !CheckNumericBox(m_txtKeta, u"2"_s))
        return;
    const double start = std::floor(*NumericValue(m_txtStart->text()));
    const double digits = std::floor(*NumericValue(m_txtKeta->text()));
    if (!CheckNumberRange(start, digits))
        return;
    m_settings.NumberStart = qint16(start);
    m_settings.NumberZeroPad = m_chkZero->isChecked();
    m_settings.NumberAutoDigits = m_optAuto->isChecked();
    m_settings.NumberDigits = qint16(digits);
    flgDlgOK = true;
    PushHistory(pattern, m_settings.NumberPattern, m_settings.NumberPatternHistory);
    accept();
}

void ExeNumber(RuleWindow &window)
{
    FileList &list = window.list();
    DropMissingRows(list);
    NumberDialog dialog(window.settings(), list.count(), window.DialogParent());
    if (!ShowRuleDialog(window, u"IDNUM"_s, dialog))
        return;
    const AppSettings &settings = window.settings();
    NumberingState state = PrepareNumbering(settings, list.count());
    PassOverRows(list, [&state, &settings](FileEntry &entry) { NumberName(entry, state, settings); });
    window.ClearCurrentRow();
}
