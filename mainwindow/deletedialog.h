#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QPlainTextEdit;

// frmDel: asks before rows are excluded from the list. Its check box
// decides whether the question comes again (ShowExcludeConfirm).
class DeleteDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DeleteDialog)

public:
    // strDelList is the subject of the message: a file name or "3個のファイル".
    DeleteDialog(const QString &strDelList, AppSettings &settings, QWidget *parent = nullptr);

    void done(int result) override;

private:
    AppSettings &m_settings;
    QPlainTextEdit *m_message;
    QCheckBox *m_review;
};
