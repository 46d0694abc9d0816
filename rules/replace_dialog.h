#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QComboBox;
class RuleWindow;

// frmChg: takes the search text, the replacement and the two search options,
// and stores them in the settings on OK.
class ReplaceDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReplaceDialog)

public:
    explicit ReplaceDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    void cmdOKClick();

    AppSettings &m_settings;
    QComboBox *m_cmbBefore;
    QComboBox *m_cmbAfter;
    QCheckBox *m_chkLS;
    QCheckBox *m_chkTop;
};

// IDCHG: the replace dialog, then every row's preview by ReplaceName.
void ExeReplace(RuleWindow &window);
