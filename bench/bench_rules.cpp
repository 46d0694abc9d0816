// How long one pass of each text rule takes over the largest list: replace,
// insert and numbering over 32,766 rows, without their dialogs, beside a pass
// that copies every row out and back unchanged. Each figure is the median of
// several passes, each over a fresh list whose previews equal the names. A
// last pass runs with the main window's model following the list, which
// judges every row's fate.
#include "bench/photorows.h"
#include "engine/filelist.h"
#include "mainwindow/filelistmodel.h"
#include "rules/insert.h"
#include "rules/numbering.h"
#include "rules/replace.h"
#include "rules/rulepass.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = PhotoRowCount;
constexpr int Rounds = 9;

// The median time of one pass over a fresh list, in milliseconds.
double PassMilliseconds(FileList &list, const std::function<void()> &pass, int *changed)
{
    const std::vector<FileEntry> photos = PhotoRows();
    std::vector<double> times;
    for (int round = 0; round < Rounds; ++round) {
        list.assign(photos);
        *changed = 0;
        QElapsedTimer timer;
        timer.start();
        pass();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FileList list;
    // A pass announces itself once, however many rows it changes.
    int changed = 0;
    QObject::connect(&list, &FileList::rowChanged, &list, [&changed](int) { ++changed; });
    QObject::connect(&list, &FileList::rowsChanged, &list, [&changed] { ++changed; });

    AppSettings settings;
    settings.ProtectExtension = true;
    settings.ReplaceFrom = u"img"_s;
    settings.ReplaceTo = u"PIC"_s;
    settings.InsertText = u"_2024"_s;
    settings.NumberPattern = u"写真_"_s;
    settings.NumberStart = 1;

    const double copy = PassMilliseconds(
        list, [&] { PassOverRows(list, [](FileEntry &) {}); }, &changed);
    std::printf("rows=%d\n", list.count());
    std::printf("copy_pass_ms=%.2f signals=%d\n", copy, changed);

    double worst = 0;
    auto report = [&](const char *name, const std::function<void(FileEntry &)> &rule) {
        const double ms = PassMilliseconds(
            list, [&] { PassOverRows(list, rule); }, &changed);
        std::printf("%s_ms=%.2f signals=%d ratio_to_copy=%.1f\n", name, ms, changed, ms / copy);
        worst = std::max(worst, ms);
    };

    settings.ReplaceFromTop = true;
    report("replace_first", [&](FileEntry &e) { ReplaceName(e, settings); });
    settings.ReplaceFromTop = false;
    report("replace_last", [&](FileEntry &e) { ReplaceName(e, settings); });
    settings.InsertAtTop = false;
    report("insert_end", [&](FileEntry &e) { InsertName(e, settings); });

    // The run state is set up once per pass, as the command does.
    const double number = PassMilliseconds(
        list,
        [&] {
            NumberingState state = PrepareNumbering(settings, list.count());
            PassOverRows(list, [&](FileEntry &e) { NumberName(e, state, settings); });
        },
        &changed);
    std::printf("number_ms=%.2f signals=%d ratio_to_copy=%.1f\n", number, changed, number / copy);
    worst = std::max(worst, number);

    // The window's model follows the list and judges every row.
    FileListModel model(list);
    settings.ReplaceFromTop = true;
    report("replace_with_model", [&](FileEntry &e) { ReplaceName(e, settings); });
    std::printf("worst_ms=%.2f\n", worst);
    return 0;
}
