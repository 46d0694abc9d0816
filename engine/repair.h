#pragma once

#include "engine/filelist.h"
#include "engine/folderrenamer.h"

#include <QString>

// The change log: beside the program, or in the user's state folder for an
// installed copy.
QString ChangeLogPath();

// Gives every file of the renamer's folder that carries a temporary name of
// the run the change log at logPath records (a phase name, or a trial name
// ending in "x") a name of that run again: all back to their old names where
// every old name is free, else all on to their new names where every new
// name is free (the run then completes), else each where it can, its old
// name first. A second link that a cut-short rename left beside its file
// goes. A log written for another folder changes nothing: the user is told
// so. Goes on past a file it cannot rename and ends with one message that
// names what stays under a temporary name and why. Returns the number of
// files that stay so.
int RepairFromLog(FolderRenamer &renamer, const QString &logPath = ChangeLogPath());

enum class RepairOffer
{
    NotNeeded, // no temporary names of a run of this folder, or a run is under way
    Repaired,  // the user accepted and the repair ran: the list must be read again
    Declined,
};

// After a scan: where the folder holds temporary names and the change log
// at logPath was written for this folder, asks at once whether to repair,
// naming the count, and repairs on a Yes, holding the folder's lock. Never
// asks while another run holds that lock.
RepairOffer OfferRepair(const FileList &list, const QString &logPath = ChangeLogPath());
