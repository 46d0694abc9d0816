// A rename run in a process of its own, for the tests that kill it or run
// it as another user: scans a folder, gives the rows the plan's previews and
// attributes, confirms, runs. Dies just before its k-th file-system
// operation when asked. Prints "operations N completed 0|1", and every
// message on the standard error stream, each followed by a line "--".
//   run_child FOLDER LOG-FOLDER PLAN KILL-AT
#include "engine/rename.h"
#include "engine/scan.h"
#include "settings/paths.h"
#include "support/failingfilesystem.h"
#include "support/recordingmessagesink.h"
#include "support/renamewindowrecorder.h"
#include "support/runplan.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    SetProgramFolderOverride(QString::fromLocal8Bit(argv[2]));
    const std::vector<Planned> plan = ReadPlan(QString::fromLocal8Bit(argv[3]));
    const int killAt = QByteArray(argv[4]).toInt();

    FailingFileSystem fs;
    if (killAt > 0) {
        fs.beforeOperation = [killAt](int number, const FailingFileSystem::Operation &) {
            if (number == killAt)
                std::raise(SIGKILL);
        };
    }
    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder;
    settings.FilePattern = QStringLiteral("*");
    settings.ShowHidden = true;
    RenameWindowRecorder window(list, settings, SortNameAscending);
    InputData(list, settings, SortUser);
    for (int row = 1; row <= list.count(); ++row) {
        FileEntry entry = list.ReadRow(row);
        for (const Planned &p : plan) {
            if (p.name == entry.Name) {
                // Attributes the plan sets differently were set by hand, as the
                // attribute rule sets them.
                if (p.attributes != entry.Attributes)
                    entry.HiddenByName = false;
                entry.Preview = p.preview;
                entry.Attributes = p.attributes;
            }
        }
        list.WriteRow(row, entry);
    }
    const bool completed = ExecuteRename(list, settings, window);
    std::printf("operations %d completed %d\n", fs.operationCount(), int(completed));
    for (const QString &text : sink.texts())
        std::fprintf(stderr, "%s\n--\n", qUtf8Printable(text));
    return 0;
}
