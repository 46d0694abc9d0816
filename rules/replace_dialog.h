#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QComboBox;
class RuleWindow;

// frmChg: takes the search text, the replacement and the search options
// (letter case, first or last, regular expression, every occurrence), and
// stores them in the settings on OK. An invalid regular expression is refused.
class ReplaceDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReplaceDialog)

public:
    explicit ReplaceDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    void cmdOKClick();
    // Whether pattern is a valid regular expression; else says why and where.
    bool CheckExpression(const QString &pattern);

    AppSettings &m_settings;
    QComboBox *m_cmbBefore;
    QComboBox *m_cmbAfter;
    QCheckBox *m_chkLS;
    QCheckBox *m_chkTop;
    QCheckBox *m_chkRegex;
    QCheckBox *m_chkAll;
};

// IDCHG: the replace dialog, then every row's preview by ReplaceName.
void ExeReplace(RuleWindow &window);
