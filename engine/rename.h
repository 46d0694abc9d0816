#pragma once

#include "engine/filelist.h"
#include "engine/progress.h"
#include "engine/repair.h"
#include "settings/appsettings.h"

#include <QtGlobal>

// What the rename run asks of the main window.
class RenameWindow
{
public:
    virtual ~RenameWindow() = default;

    // Greys the row commands and clears the current row (and its highlight).
    virtual void ClearCurrentRow() = 0;
    // Enables the row commands.
    virtual void EnableRowCommands() = 0;
    // Gives the keyboard focus to the file list.
    virtual void FocusList() = 0;
    // Shows the busy mouse pointer, or the normal one again.
    virtual void SetBusy(bool busy) = 0;
    // Refills the list from the disk as the window does: the folder scan with
    // the sort box's entry, the count label, the picture window.
    virtual void Rescan() = 0;
    // Where a long run shows how far it has come; none by default.
    virtual ProgressSink *Progress() { return nullptr; }
};

// Applies the whole list to the disk, in the folder the list was scanned
// from and through the handle it was opened by: validation, duplicate check,
// confirmation, change log, trial, two renaming phases, attributes, rescan.
// Refuses a folder whose path no longer names the scanned folder. Holds the
// change log's lock and the folder's from start to end, so that no other run
// can overwrite the log of this one or rename in the same folder. From the
// trial on, a long run shows its stage and count; the user may stop it during
// the trial, which ends it like a failed trial. Returns true when the run
// completed (the window then sets RenameDone).
bool ExecuteRename(FileList &list, AppSettings &settings, RenameWindow &window);

// Nanoseconds spent in each stage of one run; a stage not reached stays 0.
struct RenameTimings
{
    qint64 validation = 0;
    qint64 duplicates = 0;
    qint64 log = 0;
    qint64 trial = 0;
    qint64 phase1 = 0;
    qint64 phase2 = 0;
    qint64 rescan = 0;
};

// The same run, filling timings when it is not null (benchmarks).
bool ExecuteRename(FileList &list, AppSettings &settings, RenameWindow &window, RenameTimings *timings);

// Ends a refused or cancelled run and points the user at a row (0 for none).
void AbortRename(FileList &list, RenameWindow &window, int row);
