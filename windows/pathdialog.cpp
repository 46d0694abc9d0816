#include "windows/pathdialog.h"

#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/appsettings.h"
#include "settings/paths.h"
#include "widgets/dialogchrome.h"
#include "widgets/dialogflag.h"
#include "widgets/namedelegate.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole;

// The text the file system layer wants for a folder: the root is empty.
QString ListingPath(const QString &path)
{
    QString folder = path;
    StripTrailingSeparators(folder);
    return folder;
}

// Whether a folder can be listed; an existing folder that can be read and
// searched can, even when it holds nothing.
bool Readable(const QString &path)
{
    return Fs().FolderListable(ListingPath(path));
}

// A folder that cannot be listed is shown, greyed, and cannot be picked.
void EnableIfReadable(QTreeWidgetItem *item)
{
    if (!Readable(item->data(0, PathRole).toString()))
        item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
}

// The folder list: the opened folder's ancestors above it and its
// subfolders below. Folders open on a double-click or Enter, never by
// expanding, so no branch arrows are drawn.
class FolderTree final : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void drawBranches(QPainter *, const QRect &, const QModelIndex &) const override {}
};

void SortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

PathDialog::PathDialog(AppSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_dirDir(new FolderTree(this)),
      m_lstPreview(new QListWidget(this)), m_chkH(new QCheckBox(QStringLiteral("隠しファイル"), this)),
      m_chkS(new QCheckBox(QStringLiteral("システムファイル"), this))
{
    setObjectName(QStringLiteral("frmPath"));
    setWindowTitle(QStringLiteral("フォルダの参照"));
    setModal(true);

    m_dirDir->setObjectName(QStringLiteral("dirDir"));
    m_dirDir->setAccessibleName(QStringLiteral("フォルダ"));
    m_dirDir->setHeaderHidden(true);
    m_dirDir->setColumnCount(1);
    m_dirDir->setIndentation(12);
    m_dirDir->setExpandsOnDoubleClick(false);
    m_dirDir->setItemsExpandable(false);
    m_dirDir->setRootIsDecorated(false);
    m_dirDir->setMinimumSize(240, 260);
    m_dirDir->setItemDelegate(new NameDelegate({0}, m_dirDir));

    auto *label1 = new QLabel(QStringLiteral("プレビュー"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_lstPreview->setObjectName(QStringLiteral("lstPreview"));
    // For looking only: it never keeps a selection.
    m_lstPreview->setSelectionMode(QAbstractItemView::NoSelection);
    m_lstPreview->setFocusPolicy(Qt::NoFocus);
    m_lstPreview->setMinimumWidth(200);
    m_lstPreview->setItemDelegate(new NameDelegate({0}, m_lstPreview));

    auto *frame1 = new QGroupBox(QStringLiteral("表示する"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_chkH->setObjectName(QStringLiteral("chkH"));
    m_chkH->setToolTip(QStringLiteral("隠しファイルをリストに入れます"));
    m_chkS->setObjectName(QStringLiteral("chkS"));
    m_chkS->setToolTip(QStringLiteral("システムファイルをリストに入れます"));
    auto *frameLayout = new QVBoxLayout(frame1);
    frameLayout->addWidget(m_chkH);
    frameLayout->addWidget(m_chkS);

    auto *ok = new QPushButton(QStringLiteral("決定"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *previewColumn = new QVBoxLayout;
    previewColumn->addWidget(label1);
    previewColumn->addWidget(m_lstPreview, 1);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_dirDir, 3);
    lists->addLayout(previewColumn, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(frame1, 1);
    bottom->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    // A click selects a folder and shows its files; a double-click or Enter
    // opens it, and the dialog stays.
    connect(m_dirDir, &QTreeWidget::itemSelectionChanged, this, &PathDialog::RefreshPreview);
    connect(m_dirDir, &QTreeWidget::itemDoubleClicked, this, &PathDialog::onFolderActivated);
    m_dirDir->installEventFilter(this);
    connect(m_chkH, &QCheckBox::toggled, this, &PathDialog::RefreshPreview);
    connect(m_chkS, &QCheckBox::toggled, this, &PathDialog::RefreshPreview);
    connect(ok, &QPushButton::clicked, this, &PathDialog::cmdOKClick);
    connect(cancel, &QPushButton::clicked, this, &PathDialog::cmdCancelClick);

    // Opening: the remembered folder, or its nearest ancestor that can be read.
    const QSignalBlocker blockH(m_chkH);
    const QSignalBlocker blockS(m_chkS);
    m_chkH->setChecked(m_settings.ShowHidden);
    m_chkS->setChecked(m_settings.ShowSystem);
    QString start;
    if (!m_settings.CurrentFolder.isEmpty()) {
        // Stays stripped even when the dialog is cancelled.
        StripTrailingSeparators(m_settings.CurrentFolder);
        QString candidate = m_settings.CurrentFolder;
        for (;;) {
            if (Readable(candidate)) {
                start = candidate.isEmpty() ? QStringLiteral("/") : candidate;
                break;
            }
            if (candidate.isEmpty()) {
                start = GetProgramFolder();
                break;
            }
            CutLastPathPart(candidate);
        }
    } else {
        start = QDir::currentPath();
    }
    if (!SetPath(start) && !SetPath(GetProgramFolder()))
        SetPath(QStringLiteral("/"));
    SetDialogChrome(this, WindowSizing::Resizable);
    resize(520, 420);
    flgDlgOK = false;
}

bool PathDialog::SetPath(const QString &path)
{
    QString absolute = QDir::cleanPath(AbsoluteFolder(path));
    if (!Readable(absolute))
        return false;
    // The browsed folder stays the dialog's own: the working folder belongs
    // to the whole process, and a relative folder text would follow it.
    m_path = absolute.isEmpty() ? QStringLiteral("/") : absolute;
    FillFolders();
    RefreshPreview();
    return true;
}

void PathDialog::FillFolders()
{
    // The preview follows once the list is complete.
    const QSignalBlocker quiet(m_dirDir);
    m_dirDir->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    auto *item = new QTreeWidgetItem(m_dirDir, {QStringLiteral("/")});
    item->setData(0, PathRole, QStringLiteral("/"));
    item->setIcon(0, open);
    QString walked;
    const QStringList parts = m_path.split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        walked += u'/' + part;
        item = new QTreeWidgetItem(item, {part});
        item->setData(0, PathRole, walked);
        item->setIcon(0, open);
        EnableIfReadable(item->parent());
    }
    QTreeWidgetItem *current = item;

    ListOptions options;
    options.mask = AttrReadOnly | AttrHidden | AttrSystem | AttrFolder;
    options.details = false;
    std::vector<FolderEntry> entries;
    Fs().ListFolder(ListingPath(m_path), options, entries);
    QStringList folders;
    for (const FolderEntry &entry : entries) {
        if (entry.attributes & AttrFolder)
            folders.append(entry.name);
    }
    SortNames(folders);
    for (const QString &name : folders) {
        auto *child = new QTreeWidgetItem(current, {name});
        child->setData(0, PathRole, JoinPath(ListingPath(m_path), name));
        child->setIcon(0, closed);
        EnableIfReadable(child);
    }
    m_dirDir->expandAll();
    m_dirDir->setCurrentItem(current);
    m_dirDir->scrollToItem(current);
}

void PathDialog::RefreshPreview()
{
    ListOptions options;
    options.pattern = QStringLiteral("*.*");
    options.mask =
        AttrReadOnly | (m_chkH->isChecked() ? AttrHidden : 0) | (m_chkS->isChecked() ? AttrSystem : 0);
    options.details = false;
    std::vector<FolderEntry> entries;
    m_lstPreview->clear();
    Fs().ListFolder(ListingPath(SelectedPath()), options, entries);
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (const FolderEntry &entry : entries)
        names.append(entry.name);
    SortNames(names);
    m_lstPreview->addItems(names);
}

void PathDialog::onFolderActivated(QTreeWidgetItem *item)
{
    if (item)
        SetPath(item->data(0, PathRole).toString());
}

QString PathDialog::SelectedPath() const
{
    const QList<QTreeWidgetItem *> selected = m_dirDir->selectedItems();
    return selected.isEmpty() ? m_path : selected.first()->data(0, PathRole).toString();
}

bool PathDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dirDir && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Enter opens the folder instead of reaching the default button.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onFolderActivated(m_dirDir->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PathDialog::cmdOKClick()
{
    // A folder that has become unreadable since it was shown is greyed now,
    // and the dialog stays.
    if (!Readable(SelectedPath())) {
        FillFolders();
        RefreshPreview();
        return;
    }
    m_settings.ShowHidden = m_chkH->isChecked();
    m_settings.ShowSystem = m_chkS->isChecked();
    m_settings.CurrentFolder = SelectedPath();
    flgDlgOK = true;
    accept();
}

void PathDialog::cmdCancelClick()
{
    flgDlgOK = false;
    reject();
}
