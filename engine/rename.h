#pragma once

#include "engine/filelist.h"
#include "settings/appsettings.h"

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
};

// Applies the whole list to the disk: validation, duplicate check,
// confirmation, change log, trial, two renaming phases, attributes, rescan.
// Returns true when the run completed (the window then sets RenameDone).
bool ExecuteRename(FileList &list, AppSettings &settings, RenameWindow &window);

// Ends a refused or cancelled run and points the user at a row (0 for none).
void AbortRename(FileList &list, RenameWindow &window, int row);
