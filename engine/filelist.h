#pragma once

#include "engine/fileentry.h"

#include <QObject>
#include <vector>

// The file list: one row for each listed file, numbered from 1, each with a
// highlight flag, and the current row. Rows are copied in and out; nobody
// keeps a reference to a row. A view follows the list through its signals.
class FileList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)

public:
    explicit FileList(QObject *parent = nullptr);

    int count() const { return int(m_rows.size()); }

    // The absolute folder the rows were listed from; every row's file is this
    // folder joined with its Name. Empty before the first scan.
    const QString &Folder() const { return m_folder; }
    // The folder as it was opened for the scan; the run acts through it.
    const FolderHandle &Handle() const { return m_handle; }
    // Sets the folder and the handle it was opened by; without a handle, the
    // folder is opened now.
    void setFolder(const QString &folder, FolderHandle handle = {});

    // The names of every entry of the folder when it was scanned, listed
    // or not, in the order the file system gave them.
    const std::vector<QString> &FolderNames() const { return m_folderNames; }
    void setFolderNames(std::vector<QString> names) { m_folderNames = std::move(names); }

    FileEntry ReadRow(int row) const;
    void WriteRow(int row, const FileEntry &entry);
    // Direct read access for views and sorting; row counts from 1.
    const FileEntry &at(int row) const { return m_rows[size_t(row - 1)].entry; }

    void remove(int row);
    void clear();
    void append(const QString &name);
    // Replaces every row at once (the folder scan).
    void assign(std::vector<FileEntry> entries);

    bool highlighted(int row) const { return m_rows[size_t(row - 1)].highlighted; }
    void setHighlighted(int row, bool on);
    void clearHighlights();
    int highlightedCount() const;

    // The row last clicked; 0 for none.
    int CurrentRow() const { return m_currentRow; }
    void setCurrentRow(int row) { m_currentRow = row; }

    // Puts the rows in a new order: row k becomes the old row order[k - 1].
    // Each row keeps its highlight, and the current row follows its row.
    void reorder(const std::vector<int> &order);

signals:
    void listReset();
    void rowChanged(int row);
    // Emitted before the row leaves the list, so that a view can follow.
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void highlightChanged(int row, bool on);

private:
    struct Row
    {
        FileEntry entry;
        bool highlighted = false;
    };
    std::vector<Row> m_rows;
    int m_currentRow = 0;
    QString m_folder;
    FolderHandle m_handle;
    std::vector<QString> m_folderNames;
};
