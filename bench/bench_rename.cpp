// The whole rename run over a full folder, stage by stage, against a raw loop
// that does the same four no-replace renames per file plus one fstatat. The
// run shows its progress window as the program does (offscreen).

#include "engine/messages.h"
#include "engine/rename.h"
#include "engine/scan.h"
#include "platform/names.h"
#include "settings/paths.h"
#include "windows/progresswindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int FileCount = 32766;

class YesSink final : public MessageSink
{
public:
    void ShowMessage(const QString &text, const QString &, MessageIcon) override
    {
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(text));
        ++messages;
    }
    bool AskYesNo(const QString &, const QString &, MessageIcon) override
    {
        ++questions;
        return true;
    }
    int messages = 0;
    int questions = 0;
};

class BenchWindow final : public RenameWindow
{
public:
    BenchWindow(FileList &list, AppSettings &settings) : m_list(list), m_settings(settings) {}
    void ClearCurrentRow() override { m_list.setCurrentRow(0); }
    void EnableRowCommands() override {}
    void FocusList() override {}
    void SetBusy(bool) override {}
    void Rescan() override { InputData(m_list, m_settings, SortNameAscending); }
    ProgressSink *Progress() override { return &m_progress; }

private:
    FileList &m_list;
    AppSettings &m_settings;
    ProgressWindow m_progress{nullptr, ProgressWindow::OtherInput::Dropped};
};

QString Numbered(const char *prefix, int n)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1.dat").arg(n, 5, 10, QChar(u'0'));
}

// What the engine does to the disk, written as plainly as possible: trial
// away and back, phase 1, phase 2 and one fstatat per file. Renames from
// prefix names to toPrefix names.
double RawLoop(const QString &folder, const char *fromPrefix, const char *toPrefix)
{
    std::vector<QByteArray> from, temp, trial, to;
    for (int n = 1; n <= FileCount; ++n) {
        from.push_back(EncodeName(JoinPath(folder, Numbered(fromPrefix, n))));
        const QByteArray t =
            EncodeName(JoinPath(folder, QStringLiteral("__KZM_X_.%1").arg(n, 3, 10, QChar(u'0'))));
        temp.push_back(t);
        trial.push_back(t + 'x');
        to.push_back(EncodeName(JoinPath(folder, Numbered(toPrefix, n))));
    }
    const int dirFd = open(EncodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    QElapsedTimer timer;
    timer.start();
    int failures = 0;
    for (int k = 0; k < FileCount; ++k) {
        failures +=
            renameat2(AT_FDCWD, from[k].constData(), AT_FDCWD, trial[k].constData(), RENAME_NOREPLACE) != 0;
        failures +=
            renameat2(AT_FDCWD, trial[k].constData(), AT_FDCWD, from[k].constData(), RENAME_NOREPLACE) != 0;
    }
    for (int k = 0; k < FileCount; ++k)
        failures +=
            renameat2(AT_FDCWD, from[k].constData(), AT_FDCWD, temp[k].constData(), RENAME_NOREPLACE) != 0;
    for (int k = 0; k < FileCount; ++k) {
        failures +=
            renameat2(AT_FDCWD, temp[k].constData(), AT_FDCWD, to[k].constData(), RENAME_NOREPLACE) != 0;
        struct stat st;
        const QByteArray name = to[k].mid(to[k].lastIndexOf('/') + 1);
        failures += fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0;
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    close(dirFd);
    if (failures)
        std::fprintf(stderr, "raw loop: %d failures\n", failures);
    return ms;
}

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kazami-bench-rename-XXXXXX"));
    QTemporaryDir program(QDir::tempPath() + QStringLiteral("/kazami-bench-log-XXXXXX"));
    if (!folder.isValid() || !program.isValid())
        return 1;
    SetProgramFolderOverride(program.path());
    for (int n = 1; n <= FileCount; ++n) {
        const int fd = open(EncodeName(JoinPath(folder.path(), Numbered("f", n))).constData(),
                            O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return 1;
        close(fd);
    }
    sync();

    const double rawBefore = RawLoop(folder.path(), "f", "g");

    FileList list;
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    settings.FilePattern = QStringLiteral("*.*");
    InputData(list, settings, SortNameAscending);
    if (list.count() != FileCount)
        return 1;
    for (int row = 1; row <= list.count(); ++row) {
        FileEntry entry = list.ReadRow(row);
        entry.Preview = Numbered("h", row);
        list.WriteRow(row, entry);
    }

    // The program has its window up, fonts loaded, before any run starts.
    QLabel shown(QStringLiteral("置換実行 0123456789"));
    shown.show();
    QApplication::processEvents();

    YesSink sink;
    ScopedMessageSink installed(sink);
    BenchWindow window(list, settings);
    RenameTimings timings;
    QElapsedTimer timer;
    timer.start();
    const bool completed = ExecuteRename(list, settings, window, &timings);
    const double whole = double(timer.nsecsElapsed()) / 1e6;
    if (!completed || sink.messages != 0 || list.count() != FileCount ||
        list.at(1).Name != Numbered("h", 1)) {
        std::fprintf(stderr, "the run did not complete\n");
        return 1;
    }

    const double rawAfter = RawLoop(folder.path(), "h", "k");
    const double raw = (rawBefore + rawAfter) / 2;

    std::printf("files=%d\n", FileCount);
    std::printf("validation_ms=%.1f\n", Ms(timings.validation));
    std::printf("duplicate_check_ms=%.1f\n", Ms(timings.duplicates));
    std::printf("log_ms=%.1f\n", Ms(timings.log));
    std::printf("trial_ms=%.1f\n", Ms(timings.trial));
    std::printf("phase1_ms=%.1f\n", Ms(timings.phase1));
    std::printf("phase2_ms=%.1f\n", Ms(timings.phase2));
    std::printf("rescan_ms=%.1f\n", Ms(timings.rescan));
    std::printf("run_ms=%.1f\n", whole);
    std::printf("raw_loop_ms=%.1f (before %.1f, after %.1f)\n", raw, rawBefore, rawAfter);
    std::printf("ratio=%.3f\n", whole / raw);
    return 0;
}
