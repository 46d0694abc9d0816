#include "mainwindow/fileview.h"

#include "mainwindow/filelistmodel.h"
#include "widgets/namedelegate.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {

// Room each name column asks for at the opening size: about twenty
// characters, half of them full-width.
const QString TwentyCharacters = QStringLiteral("あいうえおかきくけこabcdefghij");

} // namespace

FileView::FileView(FileListModel *model, QWidget *parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("lvwMain"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new NameDelegate({0, 1}, this));
    setModel(model);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionResized, this, &FileView::onSectionResized);
}

void FileView::keyPressEvent(QKeyEvent *event)
{
    const InputScope scope(m_input);
    QTreeView::keyPressEvent(event);
}

void FileView::mousePressEvent(QMouseEvent *event)
{
    const InputScope scope(m_input);
    const QModelIndex before = currentIndex();
    QTreeView::mousePressEvent(event);
    m_pressMovedCurrent = currentIndex() != before;
}

void FileView::mouseMoveEvent(QMouseEvent *event)
{
    const InputScope scope(m_input);
    QTreeView::mouseMoveEvent(event);
}

void FileView::mouseReleaseEvent(QMouseEvent *event)
{
    const InputScope scope(m_input);
    QTreeView::mouseReleaseEvent(event);
}

bool FileView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize)
        FitNameColumns(-1);
    return QTreeView::viewportEvent(event);
}

int FileView::OpeningWidth() const
{
    int width = 2 * NameColumnMinimum();
    for (int column = 2; column < FileListModel::ColumnCount; ++column)
        width += FixedColumnWidth(column);
    return width + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

void FileView::ResetColumnWidths()
{
    m_fittingColumns = true;
    for (int column = 0; column < FileListModel::ColumnCount; ++column) {
        header()->setSectionResizeMode(column, QHeaderView::Interactive);
        if (column >= 2)
            header()->resizeSection(column, FixedColumnWidth(column));
    }
    m_fittingColumns = false;
    m_widthKept[0] = m_widthKept[1] = false;
    FitNameColumns(-1);
}

int FileView::FixedColumnWidth(int column) const
{
    const QFontMetrics text(font());
    const QFontMetrics fixed(SizeColumnFont());
    int content = 0;
    switch (column) {
    case 2:
        content = text.horizontalAdvance(QStringLiteral("R H S"));
        break;
    case 3:
        content = text.horizontalAdvance(QStringLiteral("00/00/00 00:00:00"));
        break;
    case 4:
        content = fixed.horizontalAdvance(QString(12, u'0'));
        break;
    default:
        return 0;
    }
    return qMax(content + CellPadding(), header()->sectionSizeHint(column));
}

int FileView::NameColumnMinimum() const
{
    const QFontMetrics text(font());
    return std::max({text.horizontalAdvance(TwentyCharacters) + CellPadding(), header()->sectionSizeHint(0),
                     header()->sectionSizeHint(1)});
}

int FileView::CellPadding() const
{
    // The style's text margin on either side of a cell, and a little air.
    return 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 6;
}

void FileView::FitNameColumns(int draggedColumn)
{
    int others = 0;
    QList<int> sharing;
    for (int column = 0; column < FileListModel::ColumnCount; ++column) {
        // Columns left of one being dragged keep still, or its border would
        // run away from the mouse.
        if (column <= 1 && !m_widthKept[column] && column > draggedColumn)
            sharing.append(column);
        else
            others += header()->sectionSize(column);
    }
    if (sharing.isEmpty())
        return;
    const int smallest = QFontMetrics(font()).horizontalAdvance(QStringLiteral("あい…")) + CellPadding();
    const int share = qMax(smallest, int((viewport()->width() - others) / sharing.size()));
    m_fittingColumns = true;
    for (int column : sharing)
        header()->resizeSection(column, share);
    m_fittingColumns = false;
}

void FileView::onSectionResized(int column)
{
    if (m_fittingColumns || column > 1)
        return;
    // The user's width stays; the other name column takes up the difference.
    m_widthKept[column] = true;
    FitNameColumns(column);
}
