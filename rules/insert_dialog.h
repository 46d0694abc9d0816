#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QRadioButton;
class RuleWindow;

// frmIns: takes the text to insert, its place and the extension protection,
// and stores them in the settings on OK. Every opening offers the start.
class InsertDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InsertDialog)

public:
    explicit InsertDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    void cmdOKClick();

    AppSettings &m_settings;
    QComboBox *m_cmbIns;
    QRadioButton *m_optTop;
    QRadioButton *m_optBottom;
    QCheckBox *m_chkExt;
};

// IDINS: the insert dialog, then every row's preview by InsertName.
void ExeInsert(RuleWindow &window);
