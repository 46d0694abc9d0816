#include "rules/date.h"

#include "platform/filesystem.h"
#include "platform/names.h"
#include "rules/nameparts.h"
#include "rules/rulepass.h"

#include <algorithm>

namespace {

// Writes into preview the date name with its suffix after the given number
// of matches: each 26 matches add one 'z' to the base, the rest pick the
// letter ("" for none). preview keeps its storage from call to call.
void WithSuffix(const QString &dateName, int matches, QString &preview)
{
    const qsizetype period = dateName.lastIndexOf(u'.');
    const qsizetype baseLength = period < 0 ? dateName.size() : period;
    const qsizetype zs = matches / 26;
    const int letter = matches % 26;
    preview.resize(dateName.size() + zs + (letter > 0));
    QChar *out = preview.data();
    const QChar *in = dateName.constData();
    out = std::copy(in, in + baseLength, out);
    out = std::fill_n(out, zs, QChar(u'z'));
    if (letter > 0)
        *out++ = QChar(u'a' + letter - 1);
    std::copy(in + baseLength, in + dateName.size(), out);
}

} // namespace

QString DateText(const std::array<int, 6> &local, int dateType)
{
    const int year = local[0], month = local[1], day = local[2];
    int fields[3] = {year, month, day};
    int count = 3;
    if (dateType == 1) {
        count = 2;
    } else if (dateType == 2) {
        fields[0] = month;
        fields[1] = day;
        count = 2;
    }
    QChar text[6];
    for (int f = 0; f < count; ++f) {
        text[2 * f] = QChar(u'0' + fields[f] / 10);
        text[2 * f + 1] = QChar(u'0' + fields[f] % 10);
    }
    return QString(text, 2 * count);
}

bool DateName(FileEntry &entry, const AppSettings &settings, std::optional<qint64> modified)
{
    const std::optional<std::array<int, 6>> local = modified ? LocalTimeFields(*modified) : std::nullopt;
    if (!local) {
        entry.Preview = entry.Name;
        return false;
    }
    // The extension from the first period always stays, whatever the
    // protection says.
    entry.Preview = ProtectedRewrite(entry.Name, true, [&](const QString &base) -> QString {
        return (settings.DateInsertOnly ? base : settings.DatePrefix) + DateText(*local, settings.DateType);
    });
    return true;
}

int DateSuffixer::Rows::FirstAfter(int row) const
{
    if (first > row)
        return first;
    const auto next = std::upper_bound(more.begin(), more.end(), row);
    return next == more.end() ? 0 : *next;
}

QString DateSuffixer::Next(const QString &dateName)
{
    // Carry on the scan for this date name from where its last row left it:
    // only rows written since then can hold the next match. The candidates
    // are built in one buffer; only the preview itself gets storage of its own.
    Progress &progress = m_progress[dateName];
    for (;;) {
        WithSuffix(dateName, progress.matches, m_candidate);
        const auto rows = m_rowsOf.constFind(m_candidate);
        const int row = rows == m_rowsOf.cend() ? 0 : rows->FirstAfter(progress.lastRow);
        if (row == 0)
            break;
        progress.lastRow = row;
        ++progress.matches;
    }
    const QString preview(m_candidate.constData(), m_candidate.size());
    Record(preview);
    return preview;
}

void DateSuffixer::Record(const QString &preview)
{
    Rows &rows = m_rowsOf[preview];
    ++m_rows;
    if (rows.first == 0)
        rows.first = m_rows;
    else
        rows.more.push_back(m_rows);
}

void DateNameRows(FileList &list, const AppSettings &settings)
{
    // Every file's time is read in one go, before the pass.
    std::vector<QString> names;
    names.reserve(size_t(list.count()));
    for (int row = 1; row <= list.count(); ++row)
        names.push_back(list.at(row).Name);
    const std::vector<std::optional<qint64>> times = Fs().ReadModifiedTimes(list.Handle(), names);
    DateSuffixer suffixer;
    size_t next = 0;
    PassOverRows(list, [&](FileEntry &entry) {
        if (DateName(entry, settings, times[next++]))
            entry.Preview = suffixer.Next(entry.Preview);
        else
            suffixer.Record(entry.Preview);
    });
}
