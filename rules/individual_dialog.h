#pragma once

#include "engine/fileentry.h"

#include <QDialog>

struct AppSettings;
class AttributeBoxes;
class QCheckBox;
class QLineEdit;
class RuleWindow;

// frmOne: the new name and the attributes of one row, and the program-wide
// extension protection. On OK the entry holds the new preview and attribute
// text; nothing is written before every check has passed.
class IndividualDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndividualDialog)

public:
    IndividualDialog(FileEntry &oneEntry, AppSettings &settings, QWidget *parent = nullptr);

private:
    void cmdOKClick();
    // The checks of OK in their order; each failure has shown its message.
    bool CheckAfter() const;

    FileEntry &m_oneEntry;
    AppSettings &m_settings;
    QLineEdit *m_txtBefore;
    QLineEdit *m_txtAfter;
    AttributeBoxes *m_frame1;
    QCheckBox *m_chkExt;
};

// IDEDIT and a double-click on the list: the individual edit of the current row.
void ExeOne(RuleWindow &window);
