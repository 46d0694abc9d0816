// Date naming of a full folder whose files were all modified on one day, the
// case where every row after the first needs a suffix, and each conversion
// pass over a full list. The last line gives the date naming figure.

#include "bench/benchtime.h"
#include "engine/scan.h"
#include "platform/names.h"
#include "rules/conversion.h"
#include "rules/date.h"
#include "rules/rulepass.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int FileCount = 32766;

constexpr int Runs = 5;

double ElapsedMilliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Elapsed and processor time from its making.
class Measure final
{
public:
    Measure() : m_cpu(std::clock()) { m_timer.start(); }
    double elapsed() const { return ElapsedMilliseconds(m_timer); }
    double cpu() const { return double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC; }
    double Report(const char *what, int run) const
    {
        const double ms = elapsed();
        std::printf("%s %d: %.1f ms (processor %.1f ms)\n", what, run, ms, cpu());
        return ms;
    }

private:
    QElapsedTimer m_timer;
    std::clock_t m_cpu;
};

// Previews a user could have after a numbering, in every script the
// conversions touch.
void FillPreviews(FileList &list)
{
    static const QString stems[] = {
        QStringLiteral("Photo 2024 summer"),          QStringLiteral("ﾃﾞｼﾞｶﾒ ｶﾞｿﾞｳ"),
        QStringLiteral("しゃしん ふぉるだ"),          QStringLiteral("カタカナ ガイド"),
        QStringLiteral("ＦＵＬＬ　ＷＩＤＴＨ　０１"), QStringLiteral("漢字 mixed ﾐｯｸｽ"),
    };
    for (int row = 1; row <= list.count(); ++row) {
        FileEntry entry = list.ReadRow(row);
        entry.Preview = stems[row % 6] + QStringLiteral(" %1.jpg").arg(row, 5, 10, QChar(u'0'));
        list.WriteRow(row, entry);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/var/tmp/kazami-bench-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder under /var/tmp\n");
        return 1;
    }
    const QDateTime day(QDate(2024, 3, 5), QTime(10, 0));
    QElapsedTimer timer;
    timer.start();
    for (int n = 1; n <= FileCount; ++n) {
        QFile file(JoinPath(dir.path(), QStringLiteral("IMG_%1.jpg").arg(n, 5, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly) ||
            !file.setFileTime(day.addSecs(n % 3600), QFile::FileModificationTime)) {
            std::fprintf(stderr, "cannot make file %d\n", n);
            return 1;
        }
    }
    std::printf("made %d files modified on one day: %.1f ms\n", FileCount, ElapsedMilliseconds(timer));

    AppSettings settings;
    settings.CurrentFolder = dir.path();
    FileList list;
    InputData(list, settings, SortDateAscending);
    if (list.count() != FileCount) {
        std::fprintf(stderr, "listed %d files\n", list.count());
        return 1;
    }

    // The machine may be shared: each measurement runs five times, and the
    // processor time is shown beside the elapsed time.
    settings.DatePrefix = QStringLiteral("D");
    settings.DateType = 0;
    // The drop of missing rows comes before the dialog opens, the naming
    // after it is confirmed: two waits, measured apart.
    std::vector<double> drops, namings;
    for (int run = 1; run <= Runs; ++run) {
        PassOverRows(list, [](FileEntry &entry) { entry.Preview = entry.Name; });
        const Measure drop;
        DropMissingRows(list);
        drops.push_back(drop.Report("dropping missing rows before the date dialog, run", run));
        const Measure naming;
        DateNameRows(list, settings);
        namings.push_back(naming.Report("date naming of every row, run", run));
    }
    std::printf("date naming: last preview %lld characters\n",
                qlonglong(list.at(list.count()).Preview.size()));

    struct Pass
    {
        const char *name;
        std::function<void(FileEntry &)> rule;
    };
    const Pass passes[] = {
        {"upper case", [](FileEntry &e) { CaseStepName(e, 0, true); }},
        {"lower case", [](FileEntry &e) { CaseStepName(e, 1, true); }},
        {"proper case", [](FileEntry &e) { CaseStepName(e, 2, true); }},
        {"half to full width", [](FileEntry &e) { ConvertName(e, ConvertToFullWidth, false); }},
        {"full to half width", [](FileEntry &e) { ConvertName(e, ConvertToHalfWidth, false); }},
        {"hiragana to katakana", [](FileEntry &e) { ConvertName(e, ConvertToKatakana, true); }},
        {"katakana to hiragana", [](FileEntry &e) { ConvertName(e, ConvertToHiragana, true); }},
        {"period shift", [](FileEntry &e) { ConvertName(e, ConvertShiftPeriod, false); }},
    };
    for (const Pass &pass : passes) {
        std::vector<double> times;
        for (int run = 1; run <= Runs; ++run) {
            FillPreviews(list);
            const Measure measure;
            PassOverRows(list, pass.rule);
            times.push_back(measure.elapsed());
        }
        std::printf("%s, %d rows: median %.1f ms, fastest %.1f ms\n", pass.name, list.count(), Median(times),
                    *std::min_element(times.begin(), times.end()));
    }
    std::printf("dropping missing rows, %d rows: median %.1f ms, fastest %.1f ms\n", list.count(),
                Median(drops), *std::min_element(drops.begin(), drops.end()));
    std::printf("date naming, %d rows of one day: median %.1f ms, fastest %.1f ms\n", list.count(),
                Median(namings), *std::min_element(namings.begin(), namings.end()));
    std::printf("date_ms=%.1f\n", Median(namings));
    return 0;
}
