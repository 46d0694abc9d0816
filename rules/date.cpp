#include "rules/date.h"

#include "platform/filesystem.h"
#include "platform/names.h"
#include "rules/nameparts.h"
#include "rules/rulepass.h"

#include <algorithm>

namespace {

// The date name with its suffix after the given number of matches: each 26
// matches add one 'z' to the base, the rest pick the letter ("" for none).
QString WithSuffix(const QString &dateName, int matches)
{
    const qsizetype period = dateName.lastIndexOf(u'.');
    const qsizetype baseLength = period < 0 ? dateName.size() : period;
    const qsizetype zs = matches / 26;
    const int letter = matches % 26;
    // Sized exactly: a long run of duplicates makes long names.
    QString preview(dateName.size() + zs + (letter > 0), Qt::Uninitialized);
    QChar *out = preview.data();
    const QChar *in = dateName.constData();
    out = std::copy(in, in + baseLength, out);
    out = std::fill_n(out, zs, QChar(u'z'));
    if (letter > 0)
        *out++ = QChar(u'a' + letter - 1);
    std::copy(in + baseLength, in + dateName.size(), out);
    return preview;
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

std::array<int, 6> DateFields(QDate date)
{
    return {date.year() % 100, date.month(), date.day(), 0, 0, 0};
}

bool DateName(FileEntry &entry, const AppSettings &settings, std::optional<qint64> modified)
{
    return DateNameAt(entry, settings, modified ? LocalTimeFields(*modified) : std::nullopt);
}

bool DateNameAt(FileEntry &entry, const AppSettings &settings, const std::optional<std::array<int, 6>> &local)
{
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

DateSuffixer::Form DateSuffixer::FormOf(const QString &folded)
{
    const qsizetype period = folded.lastIndexOf(u'.');
    qsizetype end = period < 0 ? folded.size() : period;
    Form form;
    form.ext = folded.sliced(end);
    if (end > 0 && folded.at(end - 1) >= u'a' && folded.at(end - 1) <= u'y')
        form.letter = folded.at(--end).unicode();
    qsizetype start = end;
    while (start > 0 && folded.at(start - 1) == u'z')
        --start;
    form.zs = end - start;
    form.stem = folded.first(start);
    return form;
}

size_t qHash(const DateSuffixer::Form &form, size_t seed)
{
    return qHashMulti(seed, form.stem, form.zs, form.letter, form.ext);
}

DateSuffixer::Form DateSuffixer::Progress::Candidate() const
{
    if (matches == 0)
        return bare;
    const int letter = matches % 26;
    return Form{stem, zs + matches / 26, char16_t(letter > 0 ? u'a' + letter - 1 : 0), bare.ext};
}

QString DateSuffixer::Next(const QString &dateName)
{
    // Carry on the scan for this date name from where its last row left it:
    // only rows written since then can hold the next match. Names that differ
    // only in case share one scan.
    const QString folded = dateName.toLower();
    auto found = m_progress.find(folded);
    if (found == m_progress.end()) {
        Progress start;
        start.bare = FormOf(folded);
        // Suffixes go after the whole base: its own last letter included,
        // its 'z's counted with theirs.
        start.stem = start.bare.stem;
        start.zs = start.bare.zs;
        if (start.bare.letter != 0) {
            start.stem += QString(start.bare.zs, u'z') + QChar(start.bare.letter);
            start.zs = 0;
        }
        found = m_progress.insert(folded, start);
    }
    Progress &progress = *found;
    for (;;) {
        const auto rows = m_rowsOf.constFind(progress.Candidate());
        const int row = rows == m_rowsOf.cend() ? 0 : rows->FirstAfter(progress.lastRow);
        if (row == 0)
            break;
        progress.lastRow = row;
        ++progress.matches;
    }
    RecordForm(progress.Candidate());
    return WithSuffix(dateName, progress.matches);
}

void DateSuffixer::Record(const QString &preview)
{
    RecordForm(FormOf(preview.toLower()));
}

void DateSuffixer::RecordForm(const Form &form)
{
    Rows &rows = m_rowsOf[form];
    ++m_rows;
    if (rows.first == 0)
        rows.first = m_rows;
    else
        rows.more.push_back(m_rows);
}

bool DateNameRows(FileList &list, const AppSettings &settings, ProgressSink *progress)
{
    // Every file's date is read in one go, before the pass.
    std::vector<QString> names;
    names.reserve(size_t(list.count()));
    for (int row = 1; row <= list.count(); ++row)
        names.push_back(list.at(row).Name);
    const std::vector<std::optional<qint64>> times = Fs().ReadModifiedTimes(list.Handle(), names);
    std::vector<QDate> shot;
    if (settings.DateSource == DateFromShooting) {
        ProgressScope shown(progress);
        shown.BeginStage(QStringLiteral("撮影日時の読み込み"), qint64(names.size()), true);
        std::optional<std::vector<QDate>> dates =
            Fs().ReadShootingDates(list.Handle(), names, [&](qint64 done) { return shown.Advance(done); });
        if (!dates)
            return false;
        shot = std::move(*dates);
    }
    DateSuffixer suffixer;
    size_t next = 0;
    PassOverRows(list, [&](FileEntry &entry) {
        const size_t row = next++;
        const bool named = row < shot.size() && shot[row].isValid()
                               ? DateNameAt(entry, settings, DateFields(shot[row]))
                               : DateName(entry, settings, times[row]);
        if (named)
            entry.Preview = suffixer.Next(entry.Preview);
        else
            suffixer.Record(entry.Preview);
    });
    return true;
}
