#include "engine/liststatus.h"

#include "engine/messages.h"
#include "engine/validation.h"
#include "platform/names.h"
#include "platform/sharedwork.h"

namespace {

// One line of the tooltip and the count line's separators.
const QString LineBreak = QStringLiteral("\n");

} // namespace

void ListStatus::judgeAll(const FileList &list)
{
    const bool mapped =
        m_mapped && m_shapeVersion == list.shapeVersion() && int(m_entryOf.size()) == list.count();
    bool anyNew = false;
    for (int row = 1; row <= list.count() && !anyNew; ++row)
        FutureName(list.at(row), anyNew);
    // A list just scanned holds no new name, and each of its rows is an
    // entry of its own: nothing in it can collide. Its rows are found among
    // the folder's names when a name first changes.
    if (!anyNew && !list.FolderNames().empty() && !mapped) {
        m_mapped = false;
        m_partners.clear();
        JudgeRows(list);
        return;
    }
    if (!mapped)
        MapRows(list);
    // Every entry that is no row keeps its name; the rows take their
    // future names, and a key is made again only for a name that changed.
    for (int row = 1; row <= list.count(); ++row) {
        const qsizetype entry = m_entryOf[size_t(row - 1)];
        bool renamed = false;
        const QString &future = FutureName(list.at(row), renamed);
        m_isNew[size_t(entry)] = renamed;
        if (m_names[entry] != future) {
            m_names[entry] = future;
            if (m_keysMade)
                m_keys[entry] = CollisionKey(future);
        }
    }
    // Without a new name, and with every row an entry of its own, every
    // name is one the folder holds already: nothing can collide (a freshly
    // scanned list, which needs no keys then).
    if (!anyNew && m_unseenRows == 0) {
        m_partners.clear();
    } else {
        MakeKeys();
        m_partners = FindCollisions(m_names, m_keys, m_isNew).partners;
    }
    JudgeRows(list);
}

void ListStatus::JudgeRows(const FileList &list)
{
    // The rows' tests are pure: two threads share them.
    m_fates.assign(size_t(list.count()), RowFate::Unchanged);
    RowFate *fates = m_fates.data();
    ShareOut(m_fates.size(), [&](size_t first, size_t last) {
        for (size_t k = first; k < last; ++k)
            fates[k] = judge(list, int(k) + 1);
    });
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    for (const RowFate fate : m_fates)
        ++m_counts[int(fate)];
}

void ListStatus::MapRows(const FileList &list)
{
    FolderFuture future = MakeFolderFuture(list, list.FolderNames());
    m_entryOf.assign(size_t(list.count()), -1);
    for (size_t k = 0; k < future.rows.size(); ++k) {
        const int row = future.rows[k];
        if (row > 0 && m_entryOf[size_t(row - 1)] < 0)
            m_entryOf[size_t(row - 1)] = qsizetype(k);
    }
    // A row the scan did not see (a list made otherwise) still counts.
    m_unseenRows = 0;
    for (int row = 1; row <= list.count(); ++row) {
        if (m_entryOf[size_t(row - 1)] >= 0)
            continue;
        ++m_unseenRows;
        bool renamed = false;
        m_entryOf[size_t(row - 1)] = future.names.size();
        future.names.append(FutureName(list.at(row), renamed));
        future.isNew.push_back(renamed);
        future.rows.push_back(row);
    }
    m_names = std::move(future.names);
    m_isNew = std::move(future.isNew);
    m_rowOf = std::move(future.rows);
    m_keys.clear();
    m_keysMade = false;
    m_shapeVersion = list.shapeVersion();
    m_mapped = true;
}

void ListStatus::MakeKeys()
{
    if (m_keysMade)
        return;
    m_keys = QStringList(m_names.size(), QString());
    QString *keys = m_keys.data();
    const QString *names = m_names.constData();
    ShareOut(size_t(m_names.size()), [keys, names](size_t first, size_t last) {
        for (size_t k = first; k < last; ++k)
            keys[k] = CollisionKey(names[k]);
    });
    m_keysMade = true;
}

bool ListStatus::judgeRow(const FileList &list, int row)
{
    if (int(m_fates.size()) != list.count() || row < 1 || row > list.count())
        return false;
    if (!m_mapped || m_shapeVersion != list.shapeVersion())
        return false;
    MakeKeys();
    if (m_partners.empty())
        m_partners.resize(size_t(m_names.size()));
    const qsizetype entry = m_entryOf[size_t(row - 1)];
    bool renamed = false;
    const QString &future = FutureName(list.at(row), renamed);
    const QString oldKey = m_keys[entry];
    m_names[entry] = future;
    m_keys[entry] = CollisionKey(future);
    m_isNew[size_t(entry)] = renamed;

    // Only the groups of the old and the new name can change; they are
    // judged again on their own, as the whole folder would judge them.
    const QString &newKey = m_keys[entry];
    std::vector<qsizetype> members;
    QStringList names;
    QStringList keys;
    std::vector<bool> isNew;
    for (qsizetype k = 0; k < m_keys.size(); ++k) {
        if (m_keys[k] != oldKey && m_keys[k] != newKey)
            continue;
        members.push_back(k);
        names.append(m_names[k]);
        keys.append(m_keys[k]);
        isNew.push_back(m_isNew[size_t(k)]);
    }
    const Collisions group = FindCollisions(names, keys, isNew);
    for (size_t m = 0; m < members.size(); ++m) {
        Collisions::Partners with = group.partners[m];
        for (qsizetype &other : with.first)
            other = members[size_t(other)];
        m_partners[size_t(members[m])] = std::move(with);
    }
    for (const qsizetype k : members) {
        if (const int memberRow = m_rowOf[size_t(k)]; memberRow > 0)
            setFate(memberRow, judge(list, memberRow));
    }
    return true;
}

bool ListStatus::reorder(const FileList &list, const std::vector<int> &order)
{
    if (m_fates.size() != order.size() || int(order.size()) != list.count())
        return false;
    std::vector<RowFate> fates(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        fates[k] = m_fates[size_t(order[k] - 1)];
    m_fates = std::move(fates);
    // Rows not yet found among the folder's names are found when needed.
    if (!m_mapped || m_entryOf.size() != order.size())
        return true;
    std::vector<qsizetype> entryOf(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        entryOf[k] = m_entryOf[size_t(order[k] - 1)];
        m_rowOf[size_t(entryOf[k])] = int(k) + 1;
    }
    m_entryOf = std::move(entryOf);
    m_shapeVersion = list.shapeVersion();
    return true;
}

QString ListStatus::reason(const FileList &list, int row) const
{
    const FileEntry &file = list.at(row);
    switch (fate(row)) {
    case RowFate::Refused: {
        const std::optional<PreviewFault> fault = FindPreviewFault(file.Preview, file.Name, file.LoggedName);
        return fault ? QString(fault->text).replace(CrLf, LineBreak) : QString();
    }
    case RowFate::Colliding: {
        const Collisions::Partners &with = m_partners[size_t(m_entryOf[size_t(row - 1)])];
        QStringList lines{QStringLiteral("次の名前と重複します")};
        for (const qsizetype other : with.first)
            lines.append(NameToLine(m_names[other]) +
                         (m_rowOf[size_t(other)] > 0 ? QString() : QStringLiteral("（一覧にない項目）")));
        if (with.total > qsizetype(with.first.size()))
            lines.append(QStringLiteral("ほかに %1 個").arg(with.total - qsizetype(with.first.size())));
        return lines.join(LineBreak);
    }
    case RowFate::Unchanged:
    case RowFate::Changes:
        break;
    }
    return {};
}

int ListStatus::nextProblem(int row, bool forward) const
{
    const int total = count();
    // Without a current row, the search starts above the first row or below the last.
    const int start = row == 0 && !forward ? total + 1 : row;
    for (int step = 1; step <= total; ++step) {
        const int candidate = ((start - 1 + (forward ? step : -step)) % total + total) % total + 1;
        const RowFate f = fate(candidate);
        if (f == RowFate::Colliding || f == RowFate::Refused)
            return candidate;
    }
    return 0;
}

void ListStatus::setFate(int row, RowFate fate)
{
    RowFate &now = m_fates[size_t(row - 1)];
    --m_counts[int(now)];
    now = fate;
    ++m_counts[int(now)];
}

RowFate ListStatus::judge(const FileList &list, int row) const
{
    const FileEntry &file = list.at(row);
    if (FindPreviewFault(file.Preview, file.Name, file.LoggedName))
        return RowFate::Refused;
    if (!m_partners.empty() && m_partners[size_t(m_entryOf[size_t(row - 1)])].total > 0)
        return RowFate::Colliding;
    return IsUnchanged(file) ? RowFate::Unchanged : RowFate::Changes;
}

QString MakeStatusText(const ListStatus &status)
{
    QStringList parts;
    if (status.changing() > 0)
        parts.append(QStringLiteral("変更 %1 件").arg(status.changing()));
    if (status.colliding() > 0)
        parts.append(QStringLiteral("重複 %1 件").arg(status.colliding()));
    if (status.refused() > 0)
        parts.append(QStringLiteral("変換不可 %1 件").arg(status.refused()));
    return parts.join(QStringLiteral("，"));
}
