#include "engine/collisions.h"

#include <QHash>

qsizetype Collisions::count() const
{
    qsizetype colliding = 0;
    for (const Partners &with : partners)
        colliding += with.total > 0 ? 1 : 0;
    return colliding;
}

namespace {

// Judges one group of names equal without regard to case.
void JudgeGroup(const std::vector<qsizetype> &members, const QStringList &names,
                const std::vector<bool> &isNew, Collisions &result)
{
    qsizetype newCount = 0;
    QHash<QString, qsizetype> exactCount;
    for (const qsizetype k : members) {
        if (isNew[size_t(k)])
            ++newCount;
        else
            ++exactCount[names[k]];
    }
    const qsizetype size = qsizetype(members.size());
    for (const qsizetype k : members) {
        Collisions::Partners &with = result.partners[size_t(k)];
        const bool fresh = isNew[size_t(k)];
        // A new name meets every other member; an old one meets the new
        // names and its exact twins.
        with.total = fresh ? size - 1 : newCount + exactCount.value(names[k]) - 1;
        if (with.total == 0)
            continue;
        for (const qsizetype other : members) {
            if (qsizetype(with.first.size()) == Collisions::MaxPartners)
                break;
            if (other != k && (fresh || isNew[size_t(other)] || names[other] == names[k]))
                with.first.push_back(other);
        }
    }
}

} // namespace

Collisions FindCollisions(const QStringList &names, const std::vector<bool> &isNew)
{
    QStringList keys;
    keys.reserve(names.size());
    for (const QString &name : names)
        keys.append(CollisionKey(name));
    return FindCollisions(names, keys, isNew);
}

Collisions FindCollisions(const QStringList &names, const QStringList &keys, const std::vector<bool> &isNew)
{
    const qsizetype total = names.size();
    Collisions result;
    result.partners.resize(size_t(total));

    // Members of a group are chained from its first name; most groups have
    // one member, so no list is made for them.
    QHash<QString, qsizetype> first;
    first.reserve(total);
    std::vector<qsizetype> next(size_t(total), -1);
    std::vector<qsizetype> last(size_t(total), -1);
    std::vector<qsizetype> heads;
    for (qsizetype k = 0; k < total; ++k) {
        const auto found = first.constFind(keys[k]);
        if (found == first.cend()) {
            first.insert(keys[k], k);
            last[size_t(k)] = k;
            continue;
        }
        const qsizetype head = *found;
        if (next[size_t(head)] < 0)
            heads.push_back(head);
        next[size_t(last[size_t(head)])] = k;
        last[size_t(head)] = k;
    }

    std::vector<qsizetype> members;
    for (const qsizetype head : heads) {
        members.clear();
        for (qsizetype k = head; k >= 0; k = next[size_t(k)])
            members.push_back(k);
        JudgeGroup(members, names, isNew, result);
    }
    return result;
}
