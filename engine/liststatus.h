#pragma once

#include "engine/collisions.h"
#include "engine/filelist.h"

#include <QString>
#include <QStringList>
#include <vector>

// What the run will do with a row, as its own checks decide.
enum class RowFate : quint8
{
    Unchanged, // the preview is the name
    Changes,   // the file gets its preview
    Colliding, // the preview meets another name of the folder
    Refused,   // the preview fails a test of the run's validation
};

// The fate of every row of a list, kept current by the window after each
// change. It judges with the run's own functions (FindPreviewFault,
// MakeFolderFuture, FindCollisions) and the folder's entries as the scan
// found them, so the list shows what the run will decide.
class ListStatus
{
public:
    // Judges every row.
    void judgeAll(const FileList &list);
    // Judges again after the preview of one row changed, and the rows whose
    // names meet its old or new name. False when the list changed otherwise
    // and judgeAll is needed.
    bool judgeRow(const FileList &list, int row);
    // Follows the rows into their new order (row k was row order[k - 1]);
    // nothing about them changed. False when the status was not current.
    bool reorder(const FileList &list, const std::vector<int> &order);

    int count() const { return int(m_fates.size()); }
    RowFate fate(int row) const { return m_fates[size_t(row - 1)]; }
    // Why the row is refused or collides: the run's message, or the names
    // it meets. Empty for the others.
    QString reason(const FileList &list, int row) const;

    int changing() const { return m_counts[int(RowFate::Changes)]; }
    int colliding() const { return m_counts[int(RowFate::Colliding)]; }
    int refused() const { return m_counts[int(RowFate::Refused)]; }

    // The next row after (or before) row that is refused or collides,
    // wrapping around; 0 when there is none.
    int nextProblem(int row, bool forward) const;

private:
    // Finds each row's entry among the folder's names.
    void MapRows(const FileList &list);
    // The keys of every entry's name, made when first needed.
    void MakeKeys();
    // Every row's fate from its tests and the collisions found.
    void JudgeRows(const FileList &list);
    void setFate(int row, RowFate fate);
    RowFate judge(const FileList &list, int row) const;

    QStringList m_names;              // every entry under its future name
    QStringList m_keys;               // CollisionKey of each
    std::vector<bool> m_isNew;        // the name is a changed row's preview
    std::vector<int> m_rowOf;         // the row of each entry, 0 for none
    std::vector<qsizetype> m_entryOf; // the entry of each row, -1 for none
    std::vector<Collisions::Partners> m_partners;
    std::vector<RowFate> m_fates;
    bool m_keysMade = false;
    bool m_mapped = false;                // the rows are found among the folder's names
    int m_unseenRows = 0;                 // rows that are no entry of the folder's names
    quint64 m_shapeVersion = ~quint64(0); // of the list when the rows were mapped
    int m_counts[4] = {};
};

// The count line beside "N FILES": how many rows change, collide and are
// refused; empty when nothing changes.
QString MakeStatusText(const ListStatus &status);
