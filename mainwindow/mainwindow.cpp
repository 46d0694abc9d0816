#include "mainwindow/mainwindow.h"

#include "engine/fileentry.h"
#include "engine/messages.h"
#include "engine/scan.h"
#include "engine/undo.h"
#include "engine/validation.h"
#include "mainwindow/deletedialog.h"
#include "mainwindow/filelistmodel.h"
#include "mainwindow/fileview.h"
#include "mainwindow/toolbar.h"
#include "mainwindow/toolbarimages.h"
#include "rules/attribute_dialog.h"
#include "rules/conversion_dialog.h"
#include "rules/individual_dialog.h"
#include "rules/insert_dialog.h"
#include "rules/numbering_dialog.h"
#include "rules/replace_dialog.h"
#include "settings/paths.h"
#include "settings/settingsfile.h"
#include "widgets/accessibility.h"
#include "widgets/dialogflag.h"
#include "widgets/keys.h"
#include "widgets/sidewindow.h"
#include "windows/externalprogram.h"
#include "windows/optiondialog.h"
#include "windows/pathdialog.h"
#include "windows/picturewindow.h"
#include "windows/progresswindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The toolbar's commands, looked up in this order by exact key.
using Command = void (*)(MainWindow &);
struct DispatchEntry
{
    const char *key;
    Command command;
};

// The window's designed size, in twips.
constexpr int DesignedWidth = 7635;
constexpr int DesignedHeight = 6900;
constexpr int MinimumWidth = 5350;
constexpr int MinimumHeight = 3600;

const QStringList &SortEntries()
{
    static const QStringList entries = {
        QStringLiteral("変換前 A-Z"),     QStringLiteral("変換前 Z-A"), QStringLiteral("プレビュー A-Z"),
        QStringLiteral("プレビュー Z-A"), QStringLiteral("日付古順"),   QStringLiteral("日付新順"),
        QStringLiteral("サイズ小順"),     QStringLiteral("サイズ大順"), QStringLiteral("ユーザ指定"),
    };
    return entries;
}

} // namespace

MainWindow::MainWindow(AppSettings &settings, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_model(new FileListModel(m_list, this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tessera Kazami   Orrery"));
    BuildControls();
    SizeWindow();
    m_ownEtcWindow = CreateEtcWindow(*this, this);
    m_etcWindow = m_ownEtcWindow.get();
    m_pictures = new PictureWindow(m_list, m_settings, this);
    m_pictureWindow = m_pictures;
    m_runProgress = std::make_unique<ProgressWindow>(this, ProgressWindow::OtherInput::Dropped);
    m_scanProgress = std::make_unique<ProgressWindow>(this, ProgressWindow::OtherInput::Held);
}

MainWindow::~MainWindow()
{
    if (m_busy)
        QApplication::restoreOverrideCursor();
    // The list goes before the child widgets that show it: none of them may
    // read it while the window is torn down.
    m_lvwMain->setModel(nullptr);
    m_pictureWindow = nullptr;
    delete m_pictures;
}

int MainWindow::Twips(int twips) const
{
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    return qRound(twips * dpi / 1440.0);
}

void MainWindow::BuildControls()
{
    auto named = [this](auto *widget, const char *name) {
        widget->setObjectName(QLatin1StringView(name));
        return widget;
    };

    m_tlbMain = new MainToolbar(this);
    connect(m_tlbMain, &QToolBar::actionTriggered, this,
            [this](QAction *action) { Dispatch(action->objectName()); });

    m_label2 = named(new QLabel(QStringLiteral("フォルダ"), this), "Label2");
    m_txtPath = named(new QLineEdit(this), "txtPath");
    m_txtPath->setToolTip(QStringLiteral("ここで指定したフォルダ内のファイルをリストに表示します"));
    m_cmdPath = named(new QPushButton(this), "cmdPath");
    m_cmdPath->setIcon(FolderButtonIcon());
    m_cmdPath->setIconSize(QSize(16, 16));
    m_cmdPath->setFixedWidth(m_cmdPath->sizeHint().height() + 8);

    m_label1 = named(new QLabel(QStringLiteral("対象ファイル"), this), "Label1");
    m_cmbRefer = named(new QComboBox(this), "cmbRefer");
    m_cmbRefer->setEditable(true);
    m_cmbRefer->setInsertPolicy(QComboBox::NoInsert);
    m_cmbRefer->setToolTip(QStringLiteral("リストに表示するファイルの指定（普通＊を利用します）"));
    // Room for a pattern like "京都2024春_*.JPG" and more.
    m_cmbRefer->setMinimumContentsLength(24);
    m_label3 = named(new QLabel(QStringLiteral("ソート"), this), "Label3");
    m_cmbSort = named(new QComboBox(this), "cmbSort");
    m_cmbSort->setMinimumContentsLength(12);

    // A click on a caption is no click on the window's background.
    for (QLabel *caption : {m_label1, m_label2, m_label3})
        caption->setAttribute(Qt::WA_NoMousePropagation);

    m_lblCount = named(new QLabel(QStringLiteral("0FILES"), this), "lblCount");
    m_lblStatus = named(new QLabel(this), "lblStatus");
    m_lblResult = named(new QLabel(this), "lblResult");
    m_lvwMain = new FileView(m_model, this);

    m_cmdClear = named(new QPushButton(QStringLiteral("クリア"), this), "cmdClear");
    m_cmdClear->setToolTip(QStringLiteral("初期状態に戻します（置換後は戻せません）"));
    m_cmdExplorer = named(new QPushButton(QStringLiteral("外部実行"), this), "cmdExplorer");
    m_cmdExplorer->setToolTip(QStringLiteral("設定した外部ファイルを呼び出します"));
    m_cmdExe = named(new QPushButton(QStringLiteral("< 置換実行 >"), this), "cmdExe");
    m_cmdExe->setToolTip(QStringLiteral("置換を実行します（実行後は戻せません）"));
    m_cmdEnd = named(new QPushButton(QStringLiteral("終了"), this), "cmdEnd");
    m_cmdEnd->setToolTip(QStringLiteral("Kazami を終了します"));
    for (QPushButton *button : {m_cmdClear, m_cmdExplorer, m_cmdExe, m_cmdEnd})
        button->setAutoDefault(false);
    // F5 reads the folder again, as in a file manager; Ctrl+R renames.
    for (const auto &[button, key] : {std::pair{m_cmdClear, QKeySequence(Qt::Key_F5)},
                                      std::pair{m_cmdExe, QKeySequence(Qt::CTRL | Qt::Key_R)},
                                      std::pair{m_cmdEnd, QKeySequence(Qt::CTRL | Qt::Key_Q)}}) {
        button->setShortcut(key);
        button->setToolTip(WithShortcut(button->toolTip(), key));
    }

    // The folder box and the list stretch; the pattern box keeps to the
    // middle of the room left of the sort box.
    auto *folderRow = new QHBoxLayout;
    folderRow->setSpacing(0);
    folderRow->addWidget(m_label2);
    folderRow->addSpacing(Twips(100));
    folderRow->addWidget(m_txtPath, 1);
    folderRow->addWidget(m_cmdPath);
    folderRow->addSpacing(Twips(360));

    auto *patternRow = new QHBoxLayout;
    patternRow->setSpacing(0);
    patternRow->addStretch(1);
    patternRow->addWidget(m_label1);
    patternRow->addSpacing(Twips(20) + 3);
    patternRow->addWidget(m_cmbRefer);
    patternRow->addStretch(1);
    patternRow->addWidget(m_label3);
    patternRow->addSpacing(Twips(20) + 3);
    patternRow->addWidget(m_cmbSort);
    patternRow->addSpacing(Twips(360));

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_cmdClear);
    buttonRow->addWidget(m_cmdExplorer);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_cmdExe);
    buttonRow->addSpacing(Twips(200) - buttonRow->spacing());
    buttonRow->addWidget(m_cmdEnd);
    buttonRow->addSpacing(Twips(360));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Twips(100), 0, Twips(80), Twips(100));
    layout->setSpacing(Twips(60));
    layout->addWidget(m_tlbMain);
    layout->addLayout(folderRow);
    layout->addLayout(patternRow);
    layout->addSpacing(Twips(60));
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(m_lblCount);
    countRow->addSpacing(Twips(200));
    countRow->addWidget(m_lblStatus, 1);
    countRow->addWidget(m_lblResult, 2);
    layout->addLayout(countRow);
    layout->setSpacing(Twips(60));
    layout->addWidget(m_lvwMain, 1);
    layout->addSpacing(Twips(60));
    layout->addLayout(buttonRow);

    connect(m_txtPath, &QLineEdit::textChanged, this, &MainWindow::txtPathChange);
    connect(m_cmdPath, &QPushButton::clicked, this, &MainWindow::cmdPathClick);
    // Typing in the pattern box and picking one of its entries both rescan;
    // a pick changes the text without a textEdited.
    connect(m_cmbRefer->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::cmbReferChange);
    connect(m_cmbRefer, &QComboBox::textActivated, this, &MainWindow::cmbReferChange);
    connect(m_cmbSort, &QComboBox::currentIndexChanged, this, [this] {
        m_sortJustChanged = true;
        QTimer::singleShot(0, this, [this] { m_sortJustChanged = false; });
        DataSort();
        ShowSortIndicator();
    });
    // Picking the entry already shown sorts again, as a fresh pick does.
    connect(m_cmbSort, &QComboBox::activated, this, [this] {
        if (!m_sortJustChanged)
            DataSort();
        m_sortJustChanged = false;
    });
    connect(m_lvwMain->header(), &QHeaderView::sectionClicked, this, &MainWindow::ColumnClick);
    connect(m_lvwMain, &QAbstractItemView::doubleClicked, this, [this] { ExeOne(*this); });
    // A row reached by a click, the keyboard or a drag becomes the current
    // row; a click on the row that is current already is a click all the same.
    connect(m_lvwMain, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (m_lvwMain->PressMovedCurrent())
            FollowViewCurrentRow();
        else if (!m_syncing)
            ItemClick(index.row() + 1);
    });
    connect(m_lvwMain->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MainWindow::FollowViewCurrentRow);
    connect(m_lvwMain->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::onSelectionChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &MainWindow::onListReset);
    connect(&m_list, &FileList::highlightChanged, this, &MainWindow::onHighlightChanged);
    connect(m_cmdClear, &QPushButton::clicked, this, &MainWindow::cmdClearClick);
    connect(m_cmdExe, &QPushButton::clicked, this, &MainWindow::cmdExeClick);
    connect(m_cmdExplorer, &QPushButton::clicked, this, &MainWindow::cmdExplorerClick);
    connect(m_cmdEnd, &QPushButton::clicked, this, &MainWindow::close);

    // The place bar of a file manager or a browser takes the focus on Ctrl+L.
    auto *focusFolder = named(new QAction(this), "mnuFocusFolder");
    focusFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(focusFolder);
    connect(focusFolder, &QAction::triggered, this, [this] {
        m_txtPath->setFocus(Qt::ShortcutFocusReason);
        m_txtPath->selectAll();
    });
    // The toolbar comes first in the Tab order, as on the screen, but the
    // window opens with the folder box to type in.
    m_txtPath->setFocus();
    KeepListKeys(m_cmbRefer);
    KeepListKeys(m_cmbSort);
    DescribeControls();

    m_undoAction = named(new QAction(QStringLiteral("直前の置換を元に戻す"), this), "mnuUndo");
    m_lvwMain->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::UndoLastRun);
    BuildListFeedback();

    m_txtPath->installEventFilter(this);
    m_cmbRefer->installEventFilter(this);
    m_cmbRefer->lineEdit()->installEventFilter(this);
    m_lblCount->installEventFilter(this);
    m_tlbMain->installEventFilter(this);
}

void MainWindow::DescribeControls()
{
    // Each box is named by the caption beside it.
    m_label2->setBuddy(m_txtPath);
    m_label1->setBuddy(m_cmbRefer);
    m_label3->setBuddy(m_cmbSort);
    // The picture button has no caption: it is named by the command it runs.
    m_cmdPath->setAccessibleName(QStringLiteral("フォルダの指定をします"));
    m_lvwMain->setAccessibleName(QStringLiteral("ファイル一覧"));
    DescribeForScreenReaders(this);
}

void MainWindow::SizeWindow()
{
    // Every toolbar button stays visible at the smallest size.
    const QMargins margins = layout()->contentsMargins();
    const int sides = margins.left() + margins.right();
    setMinimumSize(qMax(Twips(MinimumWidth), m_tlbMain->sizeHint().width() + sides), Twips(MinimumHeight));

    // The window opens wide enough for every caption and a readable part of
    // each name, where the fonts need more than the designed size.
    resize(qMax(Twips(DesignedWidth), m_lvwMain->OpeningWidth() + sides), Twips(DesignedHeight));
}

QString MainWindow::ImageKey(const QString &buttonKey) const
{
    return m_tlbMain->ImageKey(buttonKey);
}

void MainWindow::Dispatch(const QString &key)
{
    // No command starts while a run is under way.
    if (m_busy)
        return;
    static constexpr DispatchEntry Table[] = {
        {"IDOPEN", [](MainWindow &w) { w.cmdPathClick(); }},
        {"IDOPT", [](MainWindow &w) { w.ExeOption(); }},
        {"IDUP", [](MainWindow &w) { w.ExeUp(); }},
        {"IDDOWN", [](MainWindow &w) { w.ExeDown(); }},
        {"IDEDIT", [](MainWindow &w) { ExeOne(w); }},
        {"IDDEL", [](MainWindow &w) { w.ExeDel(); }},
        {"IDCHG", [](MainWindow &w) { ExeReplace(w); }},
        {"IDINS", [](MainWindow &w) { ExeInsert(w); }},
        {"IDATT", [](MainWindow &w) { ExeAtt(w); }},
        {"IDNUM", [](MainWindow &w) { ExeNumber(w); }},
        {"IDLS", [](MainWindow &w) { ExeCase(w); }},
        {"IDETC", [](MainWindow &w) { w.CheckEtc(); }},
        {"IDPIC", [](MainWindow &w) { w.CheckPic(); }},
        {"IDEXT", [](MainWindow &w) { w.CheckExt(true); }},
    };
    for (const DispatchEntry &entry : Table) {
        if (key == QLatin1StringView(entry.key)) {
            entry.command(*this);
            return;
        }
    }
}

bool MainWindow::FormLoad(const QString &startFolder)
{
    if (LoadSettings(m_settings) == LoadResult::Refused)
        return false;
    // A folder asked for stands in for the saved one, so that only it is scanned.
    if (!startFolder.isEmpty()) {
        m_settings.CurrentFolder = startFolder;
        StripTrailingSeparators(m_settings.CurrentFolder);
    }
    m_renameDone = false;
    InitList();
    // Filling the folder box runs the first scan.
    m_txtPath->setText(m_settings.CurrentFolder);
    m_caseCycle = 0;
    return true;
}

void MainWindow::OpenFolder(const QString &folder)
{
    // Stripped first, so that leaving the box does not scan a second time.
    QString text = folder;
    StripTrailingSeparators(text);
    m_txtPath->setText(text);
    txtPathLostFocus();
}

void MainWindow::InitList()
{
    m_lvwMain->ResetColumnWidths();
    // Adding the first entry selects it, which sorts the still empty list.
    m_cmbSort->clear();
    m_cmbSort->addItems(SortEntries());
    m_cmbSort->setCurrentIndex(SortNameAscending);
    m_cmbRefer->clear();
    m_cmbRefer->addItems({QStringLiteral("*.*"), QStringLiteral("*.bmp"), QStringLiteral("*.jpg"),
                          QStringLiteral("*.gif"), QStringLiteral("*.mp3"), QStringLiteral("*.wav")});
    m_cmbRefer->setCurrentIndex(0);
}

// --- Command state ---------------------------------------------------------

void MainWindow::ClearCurrentRow()
{
    m_tlbMain->EnableRowCommands(false);
    CheckExt(false);
    int current = m_list.CurrentRow();
    if (current != 0 && m_list.count() > 0) {
        if (current > m_list.count())
            current = m_list.count();
        m_list.setHighlighted(current, false);
    }
    m_list.setCurrentRow(0);
    ShowCurrentRowInView();
}

void MainWindow::EnableRowCommands()
{
    m_tlbMain->EnableRowCommands(true);
    // A row the program points at (the rename run's refused row) is brought
    // into view with the focus; a row the user reached is there already.
    if (!m_lvwMain->HandlingInput())
        ShowCurrentRowInView();
}

void MainWindow::CheckExt(bool toggle)
{
    if (toggle)
        m_settings.ProtectExtension = !m_settings.ProtectExtension;
    m_tlbMain->ShowExtensionProtected(m_settings.ProtectExtension);
}

void MainWindow::SetButtonPressed(const QString &buttonKey, bool pressed)
{
    m_tlbMain->SetButtonPressed(buttonKey, pressed);
}

void MainWindow::FocusList()
{
    m_lvwMain->setFocus();
}

void MainWindow::SetBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::Rescan()
{
    ScanList();
    // Temporary names of a run that was cut short: the repair is offered at
    // once, and once only while the user stays in a folder that declined it.
    if (m_list.Folder() == m_repairDeclinedFolder)
        return;
    switch (OfferRepair(m_list)) {
    case RepairOffer::Repaired:
        ScanList();
        break;
    case RepairOffer::Declined:
        m_repairDeclinedFolder = m_list.Folder();
        break;
    case RepairOffer::NotNeeded:
        break;
    }
}

void MainWindow::ScanList()
{
    const int sortCode = m_cmbSort->currentIndex();
    InputData(m_list, m_settings, sortCode, m_scanProgress.get());
    // A fresh list starts a fresh history; its sort is no step of it.
    m_list.clearHistory();
    ShowListRefilled();
    if (sortCode >= 0 && sortCode < SortUser)
        ClearCurrentRow();
}

void MainWindow::ShowListRefilled()
{
    m_pictures->ListRebuilt();
    m_lblCount->setText(MakeCountText(m_list.count()));
}

ProgressSink *MainWindow::Progress()
{
    return m_runProgress.get();
}

void MainWindow::UndoLastRun()
{
    if (m_busy)
        return;
    bool previews = false;
    for (int row = 1; row <= m_list.count() && !previews; ++row)
        previews = !IsUnchanged(m_list.at(row));
    if (previews &&
        !Messages().AskYesNoDefaultNo(
            QStringLiteral("一覧には，まだ実行していない変換後の名前があります．") + CrLf +
                QStringLiteral("直前の置換を元に戻す一覧に替えると，それは失われます．続けますか？"),
            QStringLiteral("直前の置換を元に戻す"), MessageIcon::Exclamation))
        return;
    ClearCurrentRow();
    PrepareUndo(m_list, [this] {
        // The rows stand in the order of the log; no sort entry applies.
        m_cmbSort->setCurrentIndex(SortUser);
        ShowListRefilled();
        m_lvwMain->scrollToTop();
    });
}

// --- Side windows ----------------------------------------------------------

void MainWindow::ShowFrame()
{
    auto open = [this](SideWindow *window) {
        if (window && !window->IsShown()) {
            DockSideWindow(window);
            window->ShowSide();
        }
    };
    auto close = [](SideWindow *window) {
        if (window && window->IsShown())
            window->CloseSide();
    };
    if (m_settings.EtcWindowOpen) {
        close(m_pictureWindow);
        m_settings.PictureWindowOpen = false;
        open(m_etcWindow);
    } else if (m_settings.PictureWindowOpen) {
        close(m_etcWindow);
        m_settings.EtcWindowOpen = false;
        open(m_pictureWindow);
    } else {
        close(m_etcWindow);
        close(m_pictureWindow);
    }
}

void MainWindow::CheckEtc()
{
    m_settings.EtcWindowOpen = !m_settings.EtcWindowOpen;
    m_settings.PictureWindowOpen = false;
    ShowFrame();
}

void MainWindow::CheckPic()
{
    m_settings.PictureWindowOpen = !m_settings.PictureWindowOpen;
    m_settings.EtcWindowOpen = false;
    ShowFrame();
}

// The side windows stand beside the window wherever it goes: moved,
// resized, maximised or restored.
void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!isMinimized() && isVisible()) {
        ShowFrame();
        DockShownSideWindows();
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!isMinimized())
        ShowFrame();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (!isMinimized())
        DockShownSideWindows();
}

void MainWindow::DockSideWindow(SideWindow *window)
{
    const QRect frame = frameGeometry();
    // A side window not shown yet has no frame of its own: it will get one
    // like the window's.
    const QSize decoration = frame.size() - size();
    const QRect screenRoom = screen() ? screen()->availableGeometry() : frame;
    window->MoveTo(
        SideWindowPosition(screenRoom, frame, window->Size() + decoration, geometry().top() - frame.top()));
}

void MainWindow::DockShownSideWindows()
{
    for (SideWindow *window : {m_etcWindow, m_pictureWindow}) {
        if (window && window->IsShown())
            DockSideWindow(window);
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        for (SideWindow *window : {m_etcWindow, m_pictureWindow}) {
            if (window && window->IsShown())
                window->HideSide();
        }
    } else {
        // A restored window keeps its size, so no resize follows to do this.
        ShowFrame();
        DockShownSideWindows();
    }
}

// --- Events ----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    if (m_closing) {
        event->accept();
        return;
    }
    if (!m_renameDone &&
        !Messages().AskYesNo(QStringLiteral("ファイル名の変更を実行していません．") + CrLf + CrLf +
                                 QStringLiteral("終了してもいいですね？"),
                             QStringLiteral("名前を変えずに終了します"), MessageIcon::Exclamation)) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_settings.CurrentFolder = m_txtPath->text();
    m_settings.FilePattern = m_cmbRefer->currentText();
    SaveSettings(m_settings);
    for (SideWindow *window : {m_etcWindow, m_pictureWindow}) {
        if (window && window->IsShown())
            window->CloseSide();
    }
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FormClick();
    QWidget::mousePressEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_lblCount && type == QEvent::MouseButtonPress) {
        FormClick();
        return true;
    }
    // The toolbar's own background is not the window's.
    if (watched == m_tlbMain && type == QEvent::MouseButtonPress)
        return true;
    if (type == QEvent::FocusIn) {
        if (watched == m_txtPath || watched == m_cmbRefer || watched == m_cmbRefer->lineEdit())
            ClearCurrentRow();
    } else if (type == QEvent::FocusOut && watched == m_txtPath) {
        // Only a move of the focus inside the window counts as leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtPathLostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::FormClick()
{
    m_syncing = true;
    m_list.clearHighlights();
    m_lvwMain->selectionModel()->clearSelection();
    m_syncing = false;
    ClearCurrentRow();
    DockShownSideWindows();
    m_pictures->BackgroundClicked();
}

void MainWindow::txtPathChange(const QString &text)
{
    m_settings.CurrentFolder = text;
    Rescan();
}

void MainWindow::txtPathLostFocus()
{
    StripTrailingSeparators(m_settings.CurrentFolder);
    m_txtPath->setText(m_settings.CurrentFolder);
    WarnSystemFolder(m_settings);
}

void MainWindow::cmdPathClick()
{
    m_settings.CurrentFolder = m_txtPath->text();
    {
        PathDialog dialog(m_settings, this);
        dialog.exec();
    }
    if (flgDlgOK) {
        // A new text rescans by itself; the same folder is read again here.
        const bool sameText = m_txtPath->text() == m_settings.CurrentFolder;
        m_txtPath->setText(m_settings.CurrentFolder);
        WarnSystemFolder(m_settings);
        if (sameText)
            Rescan();
    } else {
        ClearCurrentRow();
    }
}

void MainWindow::cmbReferChange(const QString &text)
{
    m_settings.FilePattern = text;
    Rescan();
}

void MainWindow::cmdClearClick()
{
    Rescan();
}

void MainWindow::cmdExeClick()
{
    if (m_busy)
        return;
    QStringList newNames;
    for (int row = 1; row <= m_list.count(); ++row) {
        if (!IsUnchanged(m_list.at(row)))
            newNames.append(m_list.at(row).Preview);
    }
    if (ExecuteRename(m_list, m_settings, *this)) {
        m_renameDone = true;
        ShowRunSummary(newNames);
    }
    SetBusy(false);
}

void MainWindow::cmdExplorerClick()
{
    ClearCurrentRow();
    RunExternalProgram(m_settings.ExternalProgram, m_list.Folder());
}

void MainWindow::ExeOption()
{
    ShowOptionDialog(m_settings, this);
    Rescan();
}

void MainWindow::ItemClick(int row)
{
    if (row < 1 || row > m_list.count())
        return;
    const int old = m_list.CurrentRow();
    EnableRowCommands();
    m_list.setCurrentRow(row);
    m_pictures->RowClicked(old, row);
}

// --- Sorting ---------------------------------------------------------------

void MainWindow::DataSort()
{
    const int entry = m_cmbSort->currentIndex();
    if (entry < 0 || entry >= SortUser)
        return;
    SortSub(m_list, entry);
    ClearCurrentRow();
    // The order starts at the top of the list.
    m_lvwMain->scrollToTop();
}

void MainWindow::ColumnClick(int column)
{
    const int k = m_cmbSort->currentIndex();
    int n = SortUser;
    switch (column) {
    case 0:
        n = k == SortNameAscending ? SortNameDescending : SortNameAscending;
        break;
    case 1:
        n = k == SortPreviewAscending ? SortPreviewDescending : SortPreviewAscending;
        break;
    case 2:
        n = SortUser;
        break;
    case 3:
        n = k == SortDateAscending ? SortDateDescending : SortDateAscending;
        break;
    case 4:
        n = k == SortSizeAscending ? SortSizeDescending : SortSizeAscending;
        break;
    default:
        return;
    }
    m_cmbSort->setCurrentIndex(n);
    // Entries 0 to 7 were sorted by the selection already; sorting the same
    // column the same way again cannot change the order.
    if (n == SortUser)
        SortSub(m_list, n);
    // The header has flipped its own indicator on the click.
    ShowSortIndicator();
}

void MainWindow::ShowSortIndicator()
{
    static constexpr int Columns[SortUser] = {0, 0, 1, 1, 3, 3, 4, 4};
    const int entry = m_cmbSort->currentIndex();
    QHeaderView *header = m_lvwMain->header();
    if (entry < 0 || entry >= SortUser)
        header->setSortIndicator(-1, Qt::AscendingOrder);
    else
        header->setSortIndicator(Columns[entry], entry % 2 == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// --- Moving and excluding --------------------------------------------------

void MainWindow::SwapRow(int n)
{
    const FileEntry upper = m_list.ReadRow(n);
    m_list.WriteRow(n, m_list.ReadRow(n + 1));
    m_list.WriteRow(n + 1, upper);
}

void MainWindow::ExeUp()
{
    int current = m_list.CurrentRow();
    if (current < 1)
        return;
    const int count = m_list.count();
    const EditStep step(m_list);
    m_syncing = true;
    for (int i = 2; i <= count; ++i) {
        if (m_list.highlighted(i) && !m_list.highlighted(i - 1)) {
            SwapRow(i - 1);
            m_list.setHighlighted(i - 1, true);
            m_list.setHighlighted(i, false);
            if (current == i)
                current = i - 1;
        }
    }
    m_list.setCurrentRow(current);
    m_syncing = false;
    m_cmbSort->setCurrentIndex(SortUser);
    if (current <= m_list.count())
        m_list.setHighlighted(current, true);
    ApplyHighlights();
    m_pictures->RowsMoved();
}

void MainWindow::ExeDown()
{
    int current = m_list.CurrentRow();
    const int count = m_list.count();
    if (current < 1 || current > count)
        return;
    const EditStep step(m_list);
    m_syncing = true;
    for (int i = count - 1; i >= 1; --i) {
        if (m_list.highlighted(i) && !m_list.highlighted(i + 1)) {
            SwapRow(i);
            m_list.setHighlighted(i, false);
            m_list.setHighlighted(i + 1, true);
            if (current == i)
                current = i + 1;
        }
    }
    m_list.setCurrentRow(current);
    m_syncing = false;
    m_cmbSort->setCurrentIndex(SortUser);
    m_list.setHighlighted(current, true);
    ApplyHighlights();
    m_pictures->RowsMoved();
}

void MainWindow::ExeDel()
{
    const int current = m_list.CurrentRow();
    if (current == 0 || m_list.count() == 0)
        return;
    const int n = m_list.highlightedCount();
    if (m_settings.ShowExcludeConfirm) {
        const QString strDelList = n > 1 ? QString::number(n) + QStringLiteral("個のファイル")
                                         : m_list.at(qMin(current, m_list.count())).Name;
        DeleteDialog dialog(strDelList, m_settings, this);
        dialog.exec();
        if (!flgDlgOK)
            return;
    }
    const EditStep step(m_list);
    if (n == 1) {
        int i = 1;
        while (i <= m_list.count()) {
            if (m_list.highlighted(i)) {
                m_list.setHighlighted(i, false);
                m_list.remove(i);
            } else {
                ++i;
            }
        }
    } else if (n > 1) {
        // Many rows go at once, in one pass rather than one by one from the
        // middle of a long list.
        std::vector<int> gone;
        gone.reserve(size_t(n));
        for (int i = 1; i <= m_list.count(); ++i) {
            if (m_list.highlighted(i))
                gone.push_back(i);
        }
        m_list.removeRows(gone);
    }
    m_lblCount->setText(MakeCountText(m_list.count()));
    if (m_list.count() == 0) {
        ClearCurrentRow();
        return;
    }
    if (n == 1) {
        int row = m_list.CurrentRow();
        if (row > m_list.count())
            row = m_list.count();
        m_list.setCurrentRow(row);
        m_list.setHighlighted(row, true);
        ShowCurrentRowInView();
    } else {
        ClearCurrentRow();
    }
}

// --- Highlights and the view's selection -----------------------------------

void MainWindow::onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int count = m_list.count();
    for (const QItemSelectionRange &range : deselected) {
        for (int row = range.top() + 1; row <= range.bottom() + 1 && row <= count; ++row)
            m_list.setHighlighted(row, false);
    }
    for (const QItemSelectionRange &range : selected) {
        for (int row = range.top() + 1; row <= range.bottom() + 1 && row <= count; ++row)
            m_list.setHighlighted(row, true);
    }
    m_syncing = false;
    FollowViewCurrentRow();
}

void MainWindow::onHighlightChanged(int row, bool on)
{
    if (m_syncing || row > m_model->rowCount())
        return;
    m_syncing = true;
    m_lvwMain->selectionModel()->select(m_model->index(row - 1, 0),
                                        (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                            QItemSelectionModel::Rows);
    m_syncing = false;
}

void MainWindow::ApplyHighlights()
{
    m_syncing = true;
    QItemSelection selection;
    const int count = m_list.count();
    const int last = FileListModel::ColumnCount - 1;
    for (int row = 1; row <= count; ++row) {
        if (!m_list.highlighted(row))
            continue;
        int end = row;
        while (end < count && m_list.highlighted(end + 1))
            ++end;
        selection.select(m_model->index(row - 1, 0), m_model->index(end - 1, last));
        row = end;
    }
    m_lvwMain->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
    ShowCurrentRowInView();
}

void MainWindow::ShowCurrentRowInView()
{
    const int current = m_list.CurrentRow();
    const QModelIndex index =
        current >= 1 && current <= m_model->rowCount() ? m_model->index(current - 1, 0) : QModelIndex();
    if (m_lvwMain->selectionModel()->currentIndex() != index) {
        m_syncing = true;
        m_lvwMain->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_syncing = false;
    }
    if (index.isValid())
        m_lvwMain->scrollTo(index);
}

void MainWindow::onListReset()
{
    ApplyHighlights();
    // New rows, or rows in a new order without a current row: from the top.
    if (m_list.CurrentRow() == 0)
        m_lvwMain->scrollToTop();
}

void MainWindow::FollowViewCurrentRow()
{
    if (m_syncing || !m_lvwMain->HandlingInput())
        return;
    QItemSelectionModel *selection = m_lvwMain->selectionModel();
    QModelIndex current = selection->currentIndex();
    if (!current.isValid()) {
        // Rows selected all at once (Ctrl+A) leave the view without a current
        // row: the topmost of them becomes current.
        const QModelIndexList rows = selection->selectedRows();
        if (rows.isEmpty())
            return;
        current = *std::min_element(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) {
            return a.row() < b.row();
        });
        m_syncing = true;
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        m_syncing = false;
    }
    if (current.row() + 1 != m_list.CurrentRow())
        ItemClick(current.row() + 1);
}
