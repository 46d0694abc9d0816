// How long the list's status takes over the largest list: every row judged
// after a rule pass that changes every preview, and one row judged again
// after an individual edit; beside it, the pass itself with the window's
// model connected, and the memory twenty steps of history take. The last
// line is the full judgement in milliseconds.
#include "bench/benchtime.h"
#include "bench/photorows.h"
#include "engine/filelist.h"
#include "engine/liststatus.h"
#include "mainwindow/filelistmodel.h"
#include "rules/rulepass.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = PhotoRowCount;
constexpr int Rounds = 9;

std::vector<QString> FolderNames(const std::vector<FileEntry> &rows)
{
    std::vector<QString> names;
    for (const FileEntry &row : rows)
        names.push_back(row.Name);
    return names;
}

// The resident memory of this process, in kilobytes.
long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<FileEntry> photos = PhotoRows();
    FileList list;
    list.setFolderNames(FolderNames(photos));

    // Every row judged after a pass that changes every preview.
    std::vector<double> full;
    std::vector<double> one;
    ListStatus status;
    for (int round = 0; round < Rounds; ++round) {
        // The list is judged when it comes, as the window's model does.
        list.assign(photos);
        status.judgeAll(list);
        PassOverRows(list, [](FileEntry &e) { e.Preview = u"写真_"_s + e.Name; });
        QElapsedTimer timer;
        timer.start();
        status.judgeAll(list);
        full.push_back(double(timer.nsecsElapsed()) / 1e6);

        FileEntry edited = list.ReadRow(Rows / 2);
        edited.Preview = list.at(Rows / 2 + 1).Preview.toLower(); // a collision
        list.WriteRow(Rows / 2, edited);
        timer.restart();
        status.judgeRow(list, Rows / 2);
        one.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("rows=%d colliding_after_edit=%d\n", Rows, status.colliding());
    std::printf("status_one_edit_ms=%.2f\n", Median(one));

    // The same pass with the window's model following the list: one signal
    // for the pass, and the model's judgement included.
    FileListModel model(list);
    std::vector<double> passes;
    for (int round = 0; round < Rounds; ++round) {
        list.assign(photos);
        QElapsedTimer timer;
        timer.start();
        PassOverRows(list, [](FileEntry &e) { e.Preview = u"写真_"_s + e.Name; });
        passes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("pass_with_model_ms=%.2f\n", Median(passes));

    // Twenty steps of history, each a pass that changes every preview.
    list.assign(photos);
    const long before = ResidentKilobytes();
    for (int step = 0; step < 20; ++step)
        PassOverRows(list, [step](FileEntry &e) { e.Preview = u"%1_"_s.arg(step) + e.Name; });
    const long after = ResidentKilobytes();
    std::printf("history_20_steps_mb=%.1f\n", double(after - before) / 1024.0);
    std::printf("status_ms=%.2f\n", Median(full));
    return 0;
}
