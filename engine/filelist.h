#pragma once

#include "engine/fileentry.h"

#include <QObject>
#include <optional>
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
    void setFolderNames(std::vector<QString> names)
    {
        m_folderNames = std::move(names);
        ++m_shapeVersion;
    }

    // Changes whenever rows come, go or change places, or the folder's
    // names are set: what depends on which row is which may be kept while
    // it stays the same.
    quint64 shapeVersion() const { return m_shapeVersion; }

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

    // Writes every row at once (a rule pass): one signal for them all.
    void WriteRows(std::vector<FileEntry> entries);
    // Removes the given rows, in ascending order, at once.
    void removeRows(const std::vector<int> &rows);

    // The history of edits: each write, removal and new order is a step of
    // its own, or part of the step between beginStep and endStep. A step
    // keeps only what it changed, and brings back the current row and the
    // highlights as they were. assign and clear start a new history.
    static constexpr size_t MaxHistorySteps = 20;
    void beginStep();
    void endStep();
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undo();
    void redo();
    void clearHistory();

signals:
    void listReset();
    // Many rows changed their fields at once; the rows stay where they are.
    void rowsChanged();
    // A step was recorded, undone or redone, or the history cleared.
    void historyChanged();
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

    // What takes one step back. Its edits are applied last to first, each
    // through the list's own edits, which record what takes it forward
    // again. A preview is the edit nearly every step makes, so previews are
    // packed into one text.
    struct Step
    {
        enum class Kind : quint8
        {
            Preview,
            Whole,
            Insert,
            Remove,
            Reorder
        };
        std::vector<Kind> kinds;
        std::vector<int> previewRows;
        std::vector<int> previewEnds;
        QString previewTexts;
        std::vector<std::pair<int, FileEntry>> wholes;
        std::vector<std::pair<int, Row>> inserts;
        std::vector<int> removes;
        std::vector<std::vector<int>> orders;
        int currentRow = 0;
        std::vector<int> highlights;
    };
    void recordWrite(int row, const FileEntry &before, const FileEntry &after);
    Step *openStep();
    void closeStep();
    void apply(Step &step, std::vector<Step> &opposite);
    void insertRow(int row, Row value);

    std::vector<Row> m_rows;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    std::optional<Step> m_step; // the step being recorded
    int m_stepDepth = 0;
    quint64 m_shapeVersion = 0;
    bool m_replaying = false;
    int m_currentRow = 0;
    QString m_folder;
    FolderHandle m_handle;
    std::vector<QString> m_folderNames;
};

// Makes every edit of the list during its life one step of the history,
// which brings back the current row and the highlights as they were when it
// began.
class EditStep
{
public:
    explicit EditStep(FileList &list) : m_list(list) { m_list.beginStep(); }
    ~EditStep() { m_list.endStep(); }
    Q_DISABLE_COPY_MOVE(EditStep)

private:
    FileList &m_list;
};
