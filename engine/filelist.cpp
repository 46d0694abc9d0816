#include "engine/filelist.h"

FileList::FileList(QObject *parent) : QObject(parent) {}

void FileList::setFolder(const QString &folder, FolderHandle handle)
{
    m_folder = folder;
    m_handle = handle.isOpen() || folder.isEmpty() ? std::move(handle) : Fs().OpenFolder(folder);
    m_folderNames.clear();
}

FileEntry FileList::ReadRow(int row) const
{
    return m_rows[size_t(row - 1)].entry;
}

void FileList::WriteRow(int row, const FileEntry &entry)
{
    FileEntry &stored = m_rows[size_t(row - 1)].entry;
    if (stored == entry)
        return;
    stored = entry;
    emit rowChanged(row);
}

void FileList::remove(int row)
{
    emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + (row - 1));
    emit rowRemoved(row);
}

void FileList::clear()
{
    m_rows.clear();
    emit listReset();
}

void FileList::append(const QString &name)
{
    Row &row = m_rows.emplace_back();
    row.entry.Name = name;
    emit listReset();
}

void FileList::assign(std::vector<FileEntry> entries)
{
    m_rows.clear();
    m_rows.reserve(entries.size());
    for (FileEntry &entry : entries)
        m_rows.push_back(Row{std::move(entry), false});
    emit listReset();
}

void FileList::setHighlighted(int row, bool on)
{
    bool &flag = m_rows[size_t(row - 1)].highlighted;
    if (flag == on)
        return;
    flag = on;
    emit highlightChanged(row, on);
}

void FileList::clearHighlights()
{
    for (int row = 1; row <= count(); ++row)
        setHighlighted(row, false);
}

int FileList::highlightedCount() const
{
    int n = 0;
    for (const Row &row : m_rows)
        n += row.highlighted;
    return n;
}

void FileList::reorder(const std::vector<int> &order)
{
    std::vector<Row> rows;
    rows.reserve(order.size());
    int current = 0;
    for (int old : order) {
        rows.push_back(std::move(m_rows[size_t(old - 1)]));
        if (old == m_currentRow)
            current = int(rows.size());
    }
    m_currentRow = current;
    m_rows = std::move(rows);
    emit listReset();
}
