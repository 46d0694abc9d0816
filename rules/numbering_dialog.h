#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class RuleWindow;

// frmNumber: takes the numbering pattern, the start number and the digit
// options, and stores them in the settings on OK. rowCount is the number of
// rows the run will number, so that a run that cannot fit is refused here.
class NumberDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NumberDialog)

public:
    NumberDialog(AppSettings &settings, int rowCount, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LoadNumberControls();
    // Enables the digit options only with zero padding, and the digit count
    // only when it is typed by hand.
    void EnableDigitControls();
    // The lost-focus test of a number box: a text that is not a number is
    // refused with a message and replaced by resetText.
    bool CheckNumericBox(QLineEdit *box, const QString &resetText);
    // Refuses numbers the run cannot hold; shows why.
    bool CheckNumberRange(double start, double digits);
    void cmdOKClick();

    AppSettings &m_settings;
    int m_rowCount;
    bool m_checking = false;
    QComboBox *m_cmbName;
    QLineEdit *m_txtStart;
    QCheckBox *m_chkZero;
    QRadioButton *m_optAuto;
    QRadioButton *m_optManual;
    QLineEdit *m_txtKeta;
};

// IDNUM: the numbering dialog, then every row numbered from the top.
void ExeNumber(RuleWindow &window);
