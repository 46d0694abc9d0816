#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The names a folder will hold after a run, judged as the file system of a
// case-folding copy would see them: names equal without regard to letter
// case form a group. Names that already stand side by side (README and
// readme) are no collision; a group collides only between two exactly equal
// names, or between a new name (one the run creates) and any other member,
// so a run never makes a pair that differs only in case.
//
// The run feeds this with the lines of its duplicate-check file, the list's
// status with the names in memory: both judge alike.
struct Collisions
{
    // At most this many partners are kept per name: a rule that gives every
    // preview the same name would otherwise keep every pair.
    static constexpr qsizetype MaxPartners = 10;

    struct Partners
    {
        std::vector<qsizetype> first; // the first MaxPartners indexes, in order
        qsizetype total = 0;          // how many names it collides with
    };
    // For each name, the names it collides with; none for most.
    std::vector<Partners> partners;

    bool collides(qsizetype index) const { return partners[size_t(index)].total > 0; }
    // How many names collide with at least one other.
    qsizetype count() const;
};

// isNew[k] tells that names[k] is a name the run creates: a changed row's
// preview. Both have the same size.
Collisions FindCollisions(const QStringList &names, const std::vector<bool> &isNew);
// The same, with each name's group key (the name in lower case) given.
Collisions FindCollisions(const QStringList &names, const QStringList &keys, const std::vector<bool> &isNew);

// The key that groups names equal without regard to letter case.
inline QString CollisionKey(const QString &name)
{
    return name.toLower();
}
