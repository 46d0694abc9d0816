// Reading the shooting dates of a folder of 10,000 JPEGs, each with
// its DateTimeOriginal, against reading their modification times in the same
// run, and the date rule's whole pass with the shooting date. The last line
// gives the reading figure, meant to stay under 2000 ms.
#include "bench/benchtime.h"
#include "engine/scan.h"
#include "platform/filesystem.h"
#include "rules/date.h"
#include "support/taggedpictures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Files = 10000;
constexpr int Rounds = 5;
// As large as a camera's JPEG. The picture's own bytes come first; the rest
// is a hole in the file, so that a reading which went past the metadata
// would show in the figures without filling the disk.
constexpr qint64 FileBytes = 6 << 20;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    const QByteArray picture = TaggedPicture(QStringLiteral("jpeg"), QStringLiteral("2021:07:15 10:20:30"));
    if (picture.isEmpty()) {
        std::fprintf(stderr, "cannot make the picture\n");
        return 1;
    }
    std::vector<QString> names;
    for (int i = 0; i < Files; ++i) {
        names.push_back(QStringLiteral("DSC%1.JPG").arg(i, 5, 10, QChar(u'0')));
        QFile file(data.path() + u'/' + names.back());
        if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size() ||
            !file.resize(FileBytes)) {
            std::fprintf(stderr, "cannot create test files\n");
            return 1;
        }
    }
    std::printf("files=%d picture_bytes=%lld file_bytes=%lld\n", Files, qint64(picture.size()), FileBytes);

    const FolderHandle folder = Fs().OpenFolder(data.path());
    std::vector<double> modified, shot;
    for (int round = 0; round < Rounds; ++round) {
        modified.push_back(Milliseconds([&] { Fs().ReadModifiedTimes(folder, names); }));
        std::optional<std::vector<QDate>> dates;
        shot.push_back(Milliseconds([&] { dates = Fs().ReadShootingDates(folder, names, {}); }));
        if (!dates || std::count(dates->begin(), dates->end(), QDate(2021, 7, 15)) != Files) {
            std::fprintf(stderr, "a shooting date was misread\n");
            return 1;
        }
    }
    const double modifiedMs = Median(modified), shotMs = Median(shot);
    std::printf("modified_times_ms=%.1f\n", modifiedMs);
    std::printf("shooting_dates_ms=%.1f\n", shotMs);

    AppSettings settings;
    settings.CurrentFolder = data.path();
    settings.DatePrefix = QStringLiteral("IMG");
    settings.DateSource = DateFromShooting;
    FileList list;
    InputData(list, settings, SortUser);
    std::vector<double> pass;
    for (int round = 0; round < Rounds; ++round)
        pass.push_back(Milliseconds([&] { DateNameRows(list, settings); }));
    std::printf("date_rule_shooting_ms=%.1f (%s)\n", Median(pass), qPrintable(list.at(2).Preview));
    std::printf("ratio=%.3f\n", shotMs / modifiedMs);
    std::printf("exif_ms=%.1f\n", shotMs);
    return 0;
}
