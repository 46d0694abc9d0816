#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QComboBox;
class RuleWindow;

// frmDate: the leading text, the date type, the date's source and the
// insert-only switch of date naming. The switch takes effect at once, even
// when the dialog is cancelled.
class DateDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateDialog)

public:
    explicit DateDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    void chkInsClick(bool checked);
    void cmdOKClick();

    AppSettings &m_settings;
    QComboBox *m_cmbTxt;
    QComboBox *m_cmbDay;
    QComboBox *m_cmbSource;
    QCheckBox *m_chkIns;
};

// The date dialog, then every row named by its file's date, with letter
// suffixes for duplicates.
void ExeDay(RuleWindow &window);
