#pragma once

#include "engine/filelist.h"
#include "engine/progress.h"
#include "settings/appsettings.h"

// Sort codes, the index of the sort box entry.
enum SortCode : int
{
    SortNameAscending = 0,
    SortNameDescending = 1,
    SortPreviewAscending = 2,
    SortPreviewDescending = 3,
    SortDateAscending = 4,
    SortDateDescending = 5,
    SortSizeAscending = 6,
    SortSizeDescending = 7,
    SortUser = 8, // no sort from the sort box; attributes descending from the header
};

struct FolderEntry;

// The row of a listed file, its preview equal to its name.
FileEntry MakeFileEntry(const FolderEntry &file);

// The folder scan: refills the list with the files of CurrentFolder that
// match FilePattern under the hidden and system switches, leaving out
// shortcuts and prohibited names, then sorts by sortCode (0 to 7; any other
// code keeps the order of the enumeration). Every preview equals its name
// afterwards and there is no current row. CurrentFolder loses its trailing
// separators; the list keeps the absolute folder it was listed from. An
// empty folder text, or a folder that cannot be read, gives an empty list.
// A long scan shows its count through progress, when there is one.
void InputData(FileList &list, AppSettings &settings, int sortCode, ProgressSink *progress = nullptr);

// Sorts the rows by one column for a sort code 0 to 8.
void SortSub(FileList &list, int intMode);

// Sorts by one column: 0 name, 1 preview, 2 attributes by their text in
// Japanese order (letter case, width and kana type count only between texts
// otherwise equal; in names, runs of digits of either width by their value),
// 3 date by the time, 4 size by the byte count. Rows that compare equal keep
// their order.
void SortByColumn(FileList &list, int column, bool descending);

// Whether the row's file (or symbolic link, even a dangling one) is still in
// the list's folder; false for a folder of that name.
bool RowFileExists(const FileList &list, int row);

// Removes every row whose file is no longer in the list's folder, keeping
// the order of the rest.
void DropMissingRows(FileList &list);

// Turns name into the name it will have after the rename run: the preview
// of the first row of that exact name, unless that preview is empty.
void SerchAfterName(const FileList &list, QString &name);
