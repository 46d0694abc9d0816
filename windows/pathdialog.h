#pragma once

#include <QDialog>

struct AppSettings;
class QCheckBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

// frmPath: picks the folder to list and whether hidden and system files are
// listed. Reports through flgDlgOK; on OK it writes CurrentFolder, ShowHidden
// and ShowSystem.
class PathDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PathDialog)

public:
    explicit PathDialog(AppSettings &settings, QWidget *parent = nullptr);

    // The folder being browsed; the root is "/".
    QString path() const { return m_path; }
    // Browses another folder; false (and nothing changes) when it cannot be read.
    bool SetPath(const QString &path);
    // The folder selected in the folder list, or the opened one when none
    // is: what OK returns, and what the preview shows.
    QString SelectedPath() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FillFolders();
    void RefreshPreview();
    void onFolderActivated(QTreeWidgetItem *item);
    void cmdOKClick();
    void cmdCancelClick();

    AppSettings &m_settings;
    QString m_path;
    QTreeWidget *m_dirDir;
    QListWidget *m_lstPreview;
    QCheckBox *m_chkH;
    QCheckBox *m_chkS;
};
