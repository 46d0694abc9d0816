#include "engine/filelist.h"

FileList::FileList(QObject *parent) : QObject(parent) {}

void FileList::setFolder(const QString &folder, FolderHandle handle)
{
    ++m_shapeVersion;
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
    openStep();
    recordWrite(row, stored, entry);
    stored = entry;
    closeStep();
    if (!m_replaying)
        emit rowChanged(row);
}

void FileList::WriteRows(std::vector<FileEntry> entries)
{
    Q_ASSERT(entries.size() == m_rows.size());
    bool changed = false;
    for (size_t k = 0; k < entries.size(); ++k) {
        FileEntry &stored = m_rows[k].entry;
        if (stored == entries[k])
            continue;
        openStep();
        recordWrite(int(k) + 1, stored, entries[k]);
        stored = std::move(entries[k]);
        changed = true;
    }
    closeStep();
    if (changed && !m_replaying)
        emit rowsChanged();
}

void FileList::remove(int row)
{
    ++m_shapeVersion;
    if (!m_replaying)
        emit rowAboutToBeRemoved(row);
    Step *step = openStep();
    step->kinds.push_back(Step::Kind::Insert);
    step->inserts.emplace_back(row, std::move(m_rows[size_t(row - 1)]));
    m_rows.erase(m_rows.begin() + (row - 1));
    closeStep();
    if (!m_replaying)
        emit rowRemoved(row);
}

void FileList::removeRows(const std::vector<int> &rows)
{
    ++m_shapeVersion;
    if (rows.empty())
        return;
    Step *step = openStep();
    // From the last, so that the numbers of the others hold.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        step->kinds.push_back(Step::Kind::Insert);
        step->inserts.emplace_back(*it, std::move(m_rows[size_t(*it - 1)]));
        m_rows.erase(m_rows.begin() + (*it - 1));
    }
    if (m_currentRow > count())
        m_currentRow = 0;
    closeStep();
    if (!m_replaying)
        emit listReset();
}

void FileList::insertRow(int row, Row value)
{
    ++m_shapeVersion;
    Step *step = openStep();
    step->kinds.push_back(Step::Kind::Remove);
    step->removes.push_back(row);
    m_rows.insert(m_rows.begin() + (row - 1), std::move(value));
    closeStep();
}

void FileList::clear()
{
    ++m_shapeVersion;
    m_rows.clear();
    clearHistory();
    emit listReset();
}

void FileList::append(const QString &name)
{
    ++m_shapeVersion;
    Row &row = m_rows.emplace_back();
    row.entry.Name = name;
    clearHistory();
    emit listReset();
}

void FileList::assign(std::vector<FileEntry> entries)
{
    ++m_shapeVersion;
    clearHistory();
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
    ++m_shapeVersion;
    // What puts the rows back: old row order[k] is now row k + 1.
    std::vector<int> back(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        back[size_t(order[k] - 1)] = int(k) + 1;
    Step *step = openStep();
    step->kinds.push_back(Step::Kind::Reorder);
    step->orders.push_back(std::move(back));

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
    closeStep();
    if (!m_replaying)
        emit listReset();
}

void FileList::recordWrite(int row, const FileEntry &before, const FileEntry &after)
{
    Step &step = *m_step;
    FileEntry probe = before;
    probe.Preview = after.Preview;
    if (probe == after) {
        step.kinds.push_back(Step::Kind::Preview);
        step.previewRows.push_back(row);
        step.previewTexts += before.Preview;
        step.previewEnds.push_back(int(step.previewTexts.size()));
    } else {
        step.kinds.push_back(Step::Kind::Whole);
        step.wholes.emplace_back(row, before);
    }
}

FileList::Step *FileList::openStep()
{
    if (!m_step) {
        Step &step = m_step.emplace();
        step.currentRow = m_currentRow;
        for (int row = 1; row <= count(); ++row) {
            if (highlighted(row))
                step.highlights.push_back(row);
        }
    }
    return &*m_step;
}

void FileList::closeStep()
{
    if (m_stepDepth > 0 || m_replaying || !m_step)
        return;
    if (!m_step->kinds.empty()) {
        m_undo.push_back(std::move(*m_step));
        if (m_undo.size() > MaxHistorySteps)
            m_undo.erase(m_undo.begin());
        m_redo.clear();
        m_step.reset();
        emit historyChanged();
    }
    m_step.reset();
}

void FileList::beginStep()
{
    if (m_stepDepth++ == 0 && !m_replaying)
        openStep();
}

void FileList::endStep()
{
    if (m_stepDepth > 0 && --m_stepDepth == 0)
        closeStep();
}

void FileList::undo()
{
    if (m_undo.empty() || m_stepDepth > 0)
        return;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    apply(step, m_redo);
}

void FileList::redo()
{
    if (m_redo.empty() || m_stepDepth > 0)
        return;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    apply(step, m_undo);
}

void FileList::clearHistory()
{
    const bool had = !m_undo.empty() || !m_redo.empty();
    m_undo.clear();
    m_redo.clear();
    m_step.reset();
    if (had)
        emit historyChanged();
}

void FileList::apply(Step &step, std::vector<Step> &opposite)
{
    m_replaying = true;
    m_step.reset();
    openStep();
    size_t nPreview = step.previewRows.size();
    size_t nWhole = step.wholes.size();
    size_t nInsert = step.inserts.size();
    size_t nRemove = step.removes.size();
    size_t nOrder = step.orders.size();
    for (auto kind = step.kinds.rbegin(); kind != step.kinds.rend(); ++kind) {
        switch (*kind) {
        case Step::Kind::Preview: {
            --nPreview;
            const int start = nPreview == 0 ? 0 : step.previewEnds[nPreview - 1];
            FileEntry entry = at(step.previewRows[nPreview]);
            entry.Preview = step.previewTexts.sliced(start, step.previewEnds[nPreview] - start);
            WriteRow(step.previewRows[nPreview], entry);
            break;
        }
        case Step::Kind::Whole:
            --nWhole;
            WriteRow(step.wholes[nWhole].first, step.wholes[nWhole].second);
            break;
        case Step::Kind::Insert:
            --nInsert;
            insertRow(step.inserts[nInsert].first, std::move(step.inserts[nInsert].second));
            break;
        case Step::Kind::Remove:
            --nRemove;
            remove(step.removes[nRemove]);
            break;
        case Step::Kind::Reorder:
            --nOrder;
            reorder(step.orders[nOrder]);
            break;
        }
    }
    // The current row and the highlights as they were before the step.
    m_currentRow = step.currentRow;
    for (Row &row : m_rows)
        row.highlighted = false;
    for (const int row : step.highlights)
        m_rows[size_t(row - 1)].highlighted = true;
    opposite.push_back(std::move(*m_step));
    m_step.reset();
    m_replaying = false;
    emit listReset();
    emit historyChanged();
}
