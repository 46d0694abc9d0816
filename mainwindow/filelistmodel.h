#pragma once

#include "engine/liststatus.h"

#include <QAbstractTableModel>

class FileList;
class QFont;

// The size column's font: fixed-width, so that its blanks line up the digits.
QFont SizeColumnFont();

// The file list as a table of five columns for the list view. It reads the
// list directly and follows it through the list's signals; it never changes
// the list itself.
class FileListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileListModel)

public:
    explicit FileListModel(FileList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static constexpr int ColumnCount = 5;

    // The fate of every row, as the run would decide it now.
    const ListStatus &status() const { return m_status; }

signals:
    // The rows' fates may have changed.
    void statusChanged();

private:
    // Judges the row again, or every row for row 0.
    void Judge(int row);
    void onRowsChanged();
    void onListReset();
    void onRowChanged(int row);
    void onRowAboutToBeRemoved(int row);
    void onRowRemoved(int row);

    FileList &m_list;
    ListStatus m_status;
    // The row count the view has been told about; the list may already differ
    // while a change is being announced.
    int m_rows = 0;
};
