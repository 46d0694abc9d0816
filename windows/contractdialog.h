#pragma once

#include <QDialog>

// frmContract: the disclaimer of a first run. Only "使うのやめる" refuses;
// closing the window any other way goes on like "理解しました".
class ContractDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContractDialog)

public:
    explicit ContractDialog(QWidget *parent = nullptr);

    bool refused() const { return m_refused; }

    // The disclaimer text, lines joined by CR LF.
    static QString ContractText();

private:
    bool m_refused = false;
};

// Shows the disclaimer modally; true when the user did not refuse it.
bool ShowContract(QWidget *parent = nullptr);
