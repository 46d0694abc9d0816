#include "mainwindow/filelistmodel.h"

#include "engine/filelist.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>

FileListModel::FileListModel(FileList &list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list), m_rows(list.count())
{
    connect(&list, &FileList::listReset, this, &FileListModel::onListReset);
    connect(&list, &FileList::rowChanged, this, &FileListModel::onRowChanged);
    connect(&list, &FileList::rowAboutToBeRemoved, this, &FileListModel::onRowAboutToBeRemoved);
    connect(&list, &FileList::rowRemoved, this, &FileListModel::onRowRemoved);
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.row() + 1;
    if (!index.isValid() || row > m_list.count() || index.row() >= m_rows)
        return {};
    if (index.column() < 0 || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnText(m_list.at(row), index.column());
    // The whole name, however narrow its column; the preview column shows
    // the whole preview.
    if (role == Qt::ToolTipRole)
        return ColumnText(m_list.at(row), index.column() == 1 ? 1 : 0);
    // The size text is padded with blanks to line up on the right; that needs
    // a font whose blanks are as wide as its digits.
    if (role == Qt::FontRole && index.column() == 4) {
        static const QFont fixed = SizeColumnFont();
        return fixed;
    }
    return {};
}

QFont SizeColumnFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(QGuiApplication::font().pointSizeF());
    return font;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0:
        return QStringLiteral("変換前（現ファイル名）");
    case 1:
        return QStringLiteral("変換後(プレビュー)");
    case 2:
        return QStringLiteral("属性");
    case 3:
        return QStringLiteral("日付");
    case 4:
        return QStringLiteral("サイズ");
    default:
        return {};
    }
}

void FileListModel::onListReset()
{
    beginResetModel();
    m_rows = m_list.count();
    endResetModel();
}

void FileListModel::onRowChanged(int row)
{
    if (row < 1 || row > m_rows)
        return;
    emit dataChanged(index(row - 1, 0), index(row - 1, ColumnCount - 1));
}

void FileListModel::onRowAboutToBeRemoved(int row)
{
    beginRemoveRows({}, row - 1, row - 1);
}

void FileListModel::onRowRemoved(int)
{
    m_rows = m_list.count();
    endRemoveRows();
}

QSize FileListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionViewItem sample = option;
    initStyleOption(&sample, index);
    // A fallback font for kana and kanji can be taller than the list's own
    // font; its lines would lose their underscores at the bottom.
    sample.text = QStringLiteral("写真_あア");
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    size.setHeight(
        qMax(size.height(),
             style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), option.widget).height()));
    return size;
}

void FileListDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() > 1 || option->rect.width() <= 0)
        return;
    // The style draws the text inside a margin on either side.
    const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1;
    option->text = ElideName(option->text, option->fontMetrics, option->rect.width() - 2 * margin);
}

QString ElideName(const QString &name, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(name) <= width)
        return name;
    const qsizetype period = name.lastIndexOf(u'.');
    if (period > 0) {
        const QString tail = name.mid(period);
        const int room = width - metrics.horizontalAdvance(tail);
        if (room >= metrics.horizontalAdvance(QChar(0x2026))) {
            // Too little room for both ends of the rest: keep its start.
            QString base = metrics.elidedText(name.left(period), Qt::ElideMiddle, room);
            if (base.size() <= 1)
                base = metrics.elidedText(name.left(period), Qt::ElideRight, room);
            return base + tail;
        }
    }
    return metrics.elidedText(name, Qt::ElideMiddle, width);
}
