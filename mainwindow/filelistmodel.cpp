#include "mainwindow/filelistmodel.h"

#include "engine/filelist.h"

#include <QFontDatabase>
#include <QGuiApplication>

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
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        if (index.column() < 0 || index.column() >= ColumnCount)
            return {};
        return ColumnText(m_list.at(row), index.column());
    }
    // The size text is padded with blanks to line up on the right; that needs
    // a font whose blanks are as wide as its digits.
    if (role == Qt::FontRole && index.column() == 4) {
        static const QFont fixed = [] {
            QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            font.setPointSizeF(QGuiApplication::font().pointSizeF());
            return font;
        }();
        return fixed;
    }
    return {};
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
