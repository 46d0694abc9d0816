#include "rules/nameparts.h"

namespace {

// The slot that carries an extension from a split to the restore of the same
// row. Rules run one row at a time; each thread has a slot of its own.
thread_local QString SavedExtension;

} // namespace

QString ExtensionOf(const QString &name)
{
    const qsizetype period = name.indexOf(u'.');
    return period < 0 ? QString() : name.mid(period);
}

void SplitExtension(QString &name)
{
    const qsizetype period = name.indexOf(u'.');
    if (period < 0) {
        SavedExtension.clear();
        return;
    }
    SavedExtension = name.mid(period);
    name.truncate(period);
}

void RestoreExtension(QString &name)
{
    name += SavedExtension;
    SavedExtension.clear();
}

void ShiftPeriodLeft(FileEntry &entry)
{
    const QString &name = entry.Name;
    const qsizetype period = name.lastIndexOf(u'.');
    // Fewer than four characters before the last period, or no period.
    if (period < 4) {
        entry.Preview = name;
        return;
    }
    const QStringView base = QStringView(name).first(period);
    entry.Preview = base.first(period - 3) + u'.' + base.last(3);
}
