#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class RuleWindow;

// frmAtt: the read-only, hidden and system attributes for every row of the
// list. It always opens with all three unchecked; OK keeps the choice in
// AttributeChoice.
class AttributeDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttributeDialog)

public:
    explicit AttributeDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    AppSettings &m_settings;
    QCheckBox *m_chkR;
    QCheckBox *m_chkH;
    QCheckBox *m_chkS;
};

// IDATT: the attribute dialog, then every row's attribute text.
void ExeAtt(RuleWindow &window);
