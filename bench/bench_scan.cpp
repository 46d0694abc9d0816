// Times the folder scan of 32,766 files, with the status of every row, against
// a bare readdir + fstatat loop over the same folder.
#include "bench/benchtime.h"
#include "engine/liststatus.h"
#include "engine/scan.h"
#include "platform/filesystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Files = 32766;
constexpr int Runs = 7;

// The least any scan must do: list the names and stat each entry once.
qint64 RawScan(const QByteArray &folder)
{
    DIR *dir = opendir(folder.constData());
    qint64 total = 0;
    while (const dirent *entry = readdir(dir)) {
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            total += st.st_size;
    }
    closedir(dir);
    return total;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // /var/tmp lies on the disk; /tmp may be memory.
    QTemporaryDir dir(QStringLiteral("/var/tmp/kazami-bench-scan-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const QByteArray folder = dir.path().toUtf8();
    for (int i = 0; i < Files; ++i) {
        const QByteArray path =
            folder + "/IMG_" + QByteArray::number(Files - i).rightJustified(5, '0') + ".JPG";
        const int fd = open(path.constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0 || write(fd, "x", 1) != 1) {
            std::fprintf(stderr, "cannot create %s\n", path.constData());
            return 1;
        }
        close(fd);
    }
    // The files' own write-back would otherwise run through the timings.
    sync();

    AppSettings settings;
    settings.CurrentFolder = dir.path();
    FileList list;
    std::vector<double> raw, listing, scan;
    qint64 sink = 0;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        sink += RawScan(folder);
        raw.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        std::vector<FolderEntry> entries;
        Fs().ListFolder(settings.CurrentFolder, ListOptions{}, entries);
        listing.push_back(timer.nsecsElapsed() / 1e6);

        // The scan as the window shows it: every row's status judged too.
        timer.restart();
        InputData(list, settings, SortNameAscending);
        ListStatus status;
        status.judgeAll(list);
        scan.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (list.count() != Files || sink == 0) {
        std::fprintf(stderr, "scan listed %d files\n", list.count());
        return 1;
    }
    const double rawMs = Median(raw);
    const double scanMs = Median(scan);
    std::printf("files=%d runs=%d (medians)\n", Files, Runs);
    std::printf("raw readdir+fstatat: %.1f ms\n", rawMs);
    std::printf("platform listing (names, attributes, time, size): %.1f ms\n", Median(listing));
    std::printf("InputData (sorted by name) and the rows' status: %.1f ms\n", scanMs);
    std::printf("ratio=%.2f\n", scanMs / rawMs);
    return 0;
}
