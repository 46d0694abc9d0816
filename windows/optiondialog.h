#pragma once

#include <QDialog>
#include <QStringList>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The prohibited-names list of the options dialog, without a window.

// At most this many names can be prohibited.
constexpr int MaxProhibitedNames = 10;

// The names of slots 1 to 10 that hold one, in slot order.
QStringList ReadProhibitedNames(const AppSettings &settings);

// Appends text to names unless it is empty or already there (exact case);
// a full list refuses any text with a message. True when appended.
bool AddProhibitedName(QStringList &names, const QString &text);

// Stores names into slots 1 upward and empties the remaining slots.
void StoreProhibitedNames(const QStringList &names, AppSettings &settings);

// frmOption: the shortcut switch, the prohibited names and the external
// program. Reports through flgDlgOK; only OK writes the settings.
class OptionDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionDialog)

public:
    explicit OptionDialog(AppSettings &settings, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdAddClick();
    void cmdDelClick();
    void cmdReferClick();
    void cmdOKClick();
    void cmdCancelClick();
    QStringList Names() const;

    AppSettings &m_settings;
    QCheckBox *m_chkShortcut;
    QLineEdit *m_txtProhibit;
    QListWidget *m_lstProhibit;
    QPushButton *m_cmdDel;
    QComboBox *m_cmbExe;
};

// Shows the options dialog modally.
void ShowOptionDialog(AppSettings &settings, QWidget *parent);
