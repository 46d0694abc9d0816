// How much the main window adds to a folder scan of the largest list, and
// how long its sorts take: 32,766 files put into the view, sorted by each
// column both ways, and rescanned with the window shown, against the bare
// folder scan measured in the same run. The name and preview sorts use the
// Japanese collation; its cost alone is measured on long mixed names too.
// Every sort is meant to stay under 100 ms.
#include "bench/benchtime.h"
#include "engine/filelist.h"
#include "engine/scan.h"
#include "mainwindow/mainwindow.h"
#include "settings/paths.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int Files = 32766;
constexpr int Rounds = 5;

// Lets the window paint what changed, so that drawing counts too.
void Settle()
{
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir program;
    QTemporaryDir data;
    SetProgramFolderOverride(program.path());
    auto *random = QRandomGenerator::global();
    for (int i = 0; i < Files; ++i) {
        const QString name =
            QStringLiteral("写真_%1_%2.jpg").arg(random->bounded(100000), 5, 10, QChar(u'0')).arg(i);
        QFile file(data.path() + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(random->bounded(5000000))) {
            std::fprintf(stderr, "cannot create test files\n");
            return 1;
        }
    }
    // The files' own write-back would otherwise run through the timings.
    sync();

    AppSettings bare;
    bare.CurrentFolder = data.path();
    FileList list;
    std::vector<double> bareScans;
    for (int round = 0; round < Rounds; ++round)
        bareScans.push_back(Milliseconds([&] { InputData(list, bare, SortUser); }));
    const double bareScan = Median(bareScans);
    std::printf("rows=%d\n", list.count());
    std::printf("bare_scan_ms=%.1f\n", bareScan);

    // The collated sort by itself, on long names that mix kanji, kana of
    // both widths and letters of both widths and cases.
    {
        const QString kinds[] = {
            QStringLiteral("写真_京都旅行_2024年春_清水寺の桜_%1.JPG"), QStringLiteral("ｼｬｼﾝ_ｷｮｳﾄ_%1.jpg"),
            QStringLiteral("しゃしん_きょうと_%1.jpg"), QStringLiteral("ＩＭＧ_Ｋｙｏｔｏ_%1.jpg"),
            QStringLiteral("img_kyoto_%1.JPG")};
        std::vector<FileEntry> rows(Files);
        for (int i = 0; i < Files; ++i) {
            rows[size_t(i)].Name =
                kinds[i % 5].arg(random->bounded(100000), 5, 10, QChar(u'0')) + QString::number(i);
            rows[size_t(i)].Preview = rows[size_t(i)].Name;
        }
        FileList names;
        std::vector<double> up, down;
        for (int round = 0; round < Rounds; ++round) {
            names.assign(rows);
            up.push_back(Milliseconds([&] { SortByColumn(names, 0, false); }));
            down.push_back(Milliseconds([&] { SortByColumn(names, 0, true); }));
        }
        std::printf("collated_sort_long_names_up_ms=%.1f\n", Median(up));
        std::printf("collated_sort_long_names_down_ms=%.1f\n", Median(down));
    }

    {
        AppSettings saved;
        SetDefaultSettings(saved);
        saved.CurrentFolder = data.path();
        SaveSettings(saved);
    }
    AppSettings settings;
    MainWindow window(settings);
    double firstFill = Milliseconds([&] {
        window.FormLoad();
        window.show();
        Settle();
    });
    std::printf("first_fill_sorted_ms=%.1f\n", firstFill);

    auto *sort = window.findChild<QComboBox *>(QStringLiteral("cmbSort"));
    auto *clear = window.findChild<QPushButton *>(QStringLiteral("cmdClear"));
    auto *view = window.findChild<QTreeView *>(QStringLiteral("lvwMain"));

    const char *entries[] = {"name_up", "name_down", "preview_up", "preview_down",
                             "date_up", "date_down", "size_up",    "size_down"};
    double slowestSort = 0;
    for (int entry = 0; entry < 8; ++entry) {
        std::vector<double> times;
        for (int round = 0; round < Rounds; ++round) {
            sort->setCurrentIndex(SortUser);
            times.push_back(Milliseconds([&] {
                sort->setCurrentIndex(entry);
                Settle();
            }));
        }
        const double t = Median(times);
        slowestSort = std::max(slowestSort, t);
        std::printf("sort_%s_ms=%.1f\n", entries[entry], t);
    }
    {
        std::vector<double> times;
        for (int round = 0; round < Rounds; ++round) {
            times.push_back(Milliseconds([&] {
                emit view->header()->sectionClicked(2);
                Settle();
            }));
        }
        const double t = Median(times);
        slowestSort = std::max(slowestSort, t);
        std::printf("sort_attributes_down_ms=%.1f\n", t);
    }
    std::printf("slowest_sort_ms=%.1f\n", slowestSort);
    std::printf("sorts_under_100ms=%s\n", slowestSort < 100 ? "yes" : "no");

    sort->setCurrentIndex(SortUser);
    std::vector<double> windowScans;
    for (int round = 0; round < Rounds; ++round) {
        windowScans.push_back(Milliseconds([&] {
            clear->click();
            Settle();
        }));
    }
    const double windowScan = Median(windowScans);
    std::printf("window_rescan_ms=%.1f\n", windowScan);

    sort->setCurrentIndex(SortNameAscending);
    std::vector<double> sortedScans;
    for (int round = 0; round < Rounds; ++round) {
        sortedScans.push_back(Milliseconds([&] {
            clear->click();
            Settle();
        }));
    }
    std::printf("window_rescan_sorted_ms=%.1f\n", Median(sortedScans));

    window.hide();
    SetProgramFolderOverride(QString());
    std::printf("ratio=%.3f\n", windowScan / bareScan);
    return 0;
}
