#include "mainwindow/filelistmodel.h"

#include "engine/filelist.h"
#include "platform/displayname.h"

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
    if (index.column() < 0 || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnText(m_list.at(row), index.column());
    // The whole name, however narrow its column; the preview column shows
    // the whole preview.
    if (role == Qt::ToolTipRole)
        return DisplayName(ColumnText(m_list.at(row), index.column() == 1 ? 1 : 0));
    // What a screen reader reads: the names as they are drawn, the size
    // without the blanks that line it up.
    if (role == Qt::AccessibleTextRole)
        return DisplayName(ColumnText(m_list.at(row), index.column())).trimmed();
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
    static const QString Captions[ColumnCount] = {
        QStringLiteral("変換前（現ファイル名）"),
        QStringLiteral("変換後(プレビュー)"),
        QStringLiteral("属性"),
        QStringLiteral("日付"),
        QStringLiteral("サイズ"),
    };
    // What a click on the caption does, for the tooltip and a screen reader.
    static const QString Tips[ColumnCount] = {
        QStringLiteral("今のファイル名（クリックで名前順に並べ替え）"),
        QStringLiteral("変換後のファイル名（クリックで名前順に並べ替え）"),
        QStringLiteral("R 読み取り専用　H 隠し　S システム"),
        QStringLiteral("最終更新日時（クリックで日付順に並べ替え）"),
        QStringLiteral("バイト数（クリックでサイズ順に並べ替え）"),
    };
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return Captions[section];
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return Tips[section];
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
