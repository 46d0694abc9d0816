#include "mainwindow/filelistmodel.h"

#include "engine/filelist.h"
#include "platform/displayname.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QStyle>

namespace {

// The mark at the start of a preview cell: what the run will do with the row.
// A blank mark keeps unchanged rows in line with the others.
QIcon FateMark(RowFate fate)
{
    const QStyle *style = QApplication::style();
    switch (fate) {
    case RowFate::Changes:
        return style->standardIcon(QStyle::SP_ArrowRight);
    case RowFate::Colliding:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case RowFate::Refused:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case RowFate::Unchanged:
        break;
    }
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace

FileListModel::FileListModel(FileList &list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list), m_rows(list.count())
{
    connect(&list, &FileList::listReset, this, &FileListModel::onListReset);
    connect(&list, &FileList::rowChanged, this, &FileListModel::onRowChanged);
    connect(&list, &FileList::rowAboutToBeRemoved, this, &FileListModel::onRowAboutToBeRemoved);
    connect(&list, &FileList::rowRemoved, this, &FileListModel::onRowRemoved);
    connect(&list, &FileList::rowsChanged, this, &FileListModel::onRowsChanged);
    m_status.judgeAll(list);
}

void FileListModel::Judge(int row)
{
    if (row > 0 && m_status.judgeRow(m_list, row))
        return;
    m_status.judgeAll(m_list);
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
    if (index.column() == 1 && row <= m_status.count()) {
        const RowFate fate = m_status.fate(row);
        const bool problem = fate == RowFate::Colliding || fate == RowFate::Refused;
        switch (role) {
        case Qt::DecorationRole: {
            static const QIcon marks[4] = {FateMark(RowFate::Unchanged), FateMark(RowFate::Changes),
                                           FateMark(RowFate::Colliding), FateMark(RowFate::Refused)};
            return marks[int(fate)];
        }
        // An unchanged name is quiet; a problem is bold as well as marked.
        case Qt::ForegroundRole:
            if (fate == RowFate::Unchanged)
                return QGuiApplication::palette().brush(QPalette::PlaceholderText);
            return {};
        case Qt::FontRole:
            if (problem) {
                QFont font = QGuiApplication::font();
                font.setBold(true);
                return font;
            }
            return {};
        case Qt::ToolTipRole:
            if (problem)
                return m_status.reason(m_list, row);
            break;
        default:
            break;
        }
    }
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

void FileListModel::onRowsChanged()
{
    Judge(0);
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
    emit statusChanged();
}

void FileListModel::onListReset()
{
    Judge(0);
    beginResetModel();
    m_rows = m_list.count();
    endResetModel();
    emit statusChanged();
}

void FileListModel::onRowChanged(int row)
{
    if (row < 1 || row > m_rows)
        return;
    Judge(row);
    emit dataChanged(index(row - 1, 0), index(row - 1, ColumnCount - 1));
    // Rows whose names met the old or the new preview may have changed fate.
    emit dataChanged(index(0, 1), index(m_rows - 1, 1));
    emit statusChanged();
}

void FileListModel::onRowAboutToBeRemoved(int row)
{
    beginRemoveRows({}, row - 1, row - 1);
}

void FileListModel::onRowRemoved(int)
{
    m_rows = m_list.count();
    endRemoveRows();
    Judge(0);
    if (m_rows > 0)
        emit dataChanged(index(0, 1), index(m_rows - 1, 1));
    emit statusChanged();
}
