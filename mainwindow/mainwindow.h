#pragma once

#include "engine/filelist.h"
#include "engine/rename.h"
#include "rules/rulewindow.h"
#include "settings/appsettings.h"

#include <QWidget>
#include <memory>

class FileListModel;
class FileView;
class MainToolbar;
class QAction;
class QComboBox;
class QItemSelection;
class QLabel;
class QLineEdit;
class QPushButton;
class PictureWindow;
class ProgressWindow;
class SideWindow;

// frmMain: the program's window. It owns the file list, shows it in lvwMain
// and routes every command of the toolbar and the buttons.
class MainWindow final : public QWidget, public RenameWindow, public RuleWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(AppSettings &settings = Settings(), QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up: the settings (the disclaimer on a first run), the list's
    // columns and entries, the first scan, of startFolder where one is given
    // instead of the saved folder. False when the disclaimer was refused; the
    // program must then end without showing the window.
    bool FormLoad(const QString &startFolder = {});
    // Opens folder as if typed into the folder box and left: the list is
    // scanned, the separators at its end go, a system folder is warned of.
    void OpenFolder(const QString &folder);

    bool RenameDone() const { return m_renameDone; }
    int CurrentRow() const { return m_list.CurrentRow(); }

    // RenameWindow and RuleWindow.
    void ClearCurrentRow() override;
    void EnableRowCommands() override;
    void FocusList() override;
    void SetBusy(bool busy) override;
    void Rescan() override;
    FileList &list() override { return m_list; }
    AppSettings &settings() override { return m_settings; }
    QWidget *DialogParent() override { return this; }
    void SetButtonPressed(const QString &buttonKey, bool pressed) override;
    int &CaseCycle() override { return m_caseCycle; }
    ProgressSink *Progress() override;

    // Switches the extension protection when toggle is set, then shows its image.
    void CheckExt(bool toggle) override;
    // Brings the side windows into line with their flags.
    void ShowFrame();
    // Applies the sort box's entry.
    void DataSort();
    void ExeUp();
    void ExeDown();
    void ExeDel();
    void SwapRow(int n);
    // IDETC and IDPIC: open or close a side window, closing the other.
    void CheckEtc();
    void CheckPic();
    // IDOPT: the options dialog, then a rescan however it closed.
    void ExeOption();
    // The list's menu: lists the last run taken back, for the user to check
    // and execute; asks first where previews not yet executed would be lost.
    void UndoLastRun();
    // Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z: one step of the list's edits back
    // and forward again.
    void UndoEdit();
    void RedoEdit();
    // F8 and Shift+F8: the next and the previous row the run would refuse.
    void GoToProblem(bool forward);

    // Runs the toolbar command of a button key; an unknown key does nothing.
    void Dispatch(const QString &key);

    // The two side windows; either may be missing. Not owned.
    void SetEtcWindow(SideWindow *window) { m_etcWindow = window; }
    void SetPictureWindow(SideWindow *window) { m_pictureWindow = window; }

    // The key of the image a toolbar button shows now (IDUP or IDNUP, ...).
    QString ImageKey(const QString &buttonKey) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    // The names and descriptions a screen reader reads out.
    void DescribeControls();
    // The actions of the list's edit history and its problems, and the lines
    // beside the count that tell the rows' fates and what the last run did.
    void BuildListFeedback();
    void ShowStatusLine();
    // After a completed run: how many files were renamed, and how many of
    // them the pattern no longer lists. newNames are the names they got.
    void ShowRunSummary(const QStringList &newNames);
    // The list after a step of its history: counts, commands, view.
    void ShowStepApplied();
    // The minimum size and the opening size.
    void SizeWindow();
    void InitList();
    int Twips(int twips) const;

    void FormClick();
    // Puts a side window beside the window, on the screen.
    void DockSideWindow(SideWindow *window);
    void DockShownSideWindows();
    void txtPathChange(const QString &text);
    void txtPathLostFocus();
    void cmdPathClick();
    void cmbReferChange(const QString &text);
    void ColumnClick(int column);
    void ItemClick(int row);
    void cmdClearClick();
    void cmdExeClick();
    void cmdExplorerClick();
    // The folder scan with the sort box's entry, the count label, the
    // picture window.
    void ScanList();
    // The count label and the picture window after the list was refilled.
    void ShowListRefilled();

    // Shows the sort entry's column and direction on the header, none for
    // the user's own order.
    void ShowSortIndicator();

    // Makes the row the user reached in the view (by click, keyboard or
    // drag) the current row.
    void FollowViewCurrentRow();
    void onListReset();
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onHighlightChanged(int row, bool on);
    // Makes the view's selection show the list's highlights, all at once.
    void ApplyHighlights();
    void ShowCurrentRowInView();

    AppSettings &m_settings;
    FileList m_list;
    FileListModel *m_model = nullptr;

    bool m_renameDone = false;
    int m_caseCycle = 0;
    bool m_busy = false;
    bool m_closing = false;
    // Set while the program itself changes highlights or the selection.
    bool m_syncing = false;
    // Set between a change of the sort box's entry and the end of that event,
    // so that the pick that made it does not sort a second time.
    bool m_sortJustChanged = false;
    // The folder whose leftover temporary names the user chose not to repair.
    QString m_repairDeclinedFolder;

    SideWindow *m_etcWindow = nullptr;
    SideWindow *m_pictureWindow = nullptr;
    std::unique_ptr<SideWindow> m_ownEtcWindow;
    PictureWindow *m_pictures = nullptr;
    std::unique_ptr<ProgressWindow> m_runProgress;
    std::unique_ptr<ProgressWindow> m_scanProgress;
    QAction *m_undoAction = nullptr;
    QAction *m_editUndoAction = nullptr;
    QAction *m_editRedoAction = nullptr;
    QLabel *m_lblStatus = nullptr;
    QLabel *m_lblResult = nullptr;

    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_txtPath = nullptr;
    QPushButton *m_cmdPath = nullptr;
    QComboBox *m_cmbRefer = nullptr;
    QComboBox *m_cmbSort = nullptr;
    MainToolbar *m_tlbMain = nullptr;
    QLabel *m_lblCount = nullptr;
    FileView *m_lvwMain = nullptr;
    QPushButton *m_cmdClear = nullptr;
    QPushButton *m_cmdExplorer = nullptr;
    QPushButton *m_cmdExe = nullptr;
    QPushButton *m_cmdEnd = nullptr;
};
