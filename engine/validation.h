#pragma once

#include "engine/fileentry.h"
#include "engine/filelist.h"
#include "engine/folderrenamer.h"
#include "settings/appsettings.h"

#include <QString>
#include <functional>

// The prefix of the rename run's temporary names; no preview and no entry of
// the folder may contain it, in any letter case.
inline const QString ReservedToken = QStringLiteral("__KZM_X_.");

// The longest name, in bytes once encoded, that Linux file systems hold.
inline constexpr int MaxNameBytes = 255;

// Whether text is free of the characters no file name may hold; the question
// mark is refused only when forbidQuestionMark. Shows the character message
// when it returns false.
bool CheckNameChars(const QString &text, bool forbidQuestionMark);

// Whether name is not empty once leading and trailing spaces (U+0020) are gone.
bool NotBlank(const QString &name);

// Whether name holds the reserved token in any letter case.
bool ContainsReservedToken(const QString &name);

// The tests every preview must pass before a rename run, in their order; the
// first failure shows its message and gives false. currentName is the row's
// name now: a dot-file may keep its leading period.
bool CheckPreview(const QString &preview, const QString &currentName);

// Writes every entry of the list's folder under its future name to a
// temporary file of this run's own, reads it back and looks for names that
// occur twice without regard to letter case, and for reserved names. Shows
// one message per finding. CurrentFolder loses its trailing separators.
bool CheckDuplicates(const FileList &list, AppSettings &settings);

// The fixed part of the duplicate check's temporary file names, which each
// run makes unique.
inline const QString DuplicateCheckFilePrefix = QStringLiteral("~KZM_Tmp.");

// Whether the row's preview equals its name exactly (case counts).
bool IsUnchanged(const FileEntry &entry);

// The temporary name of row: the token and the row number with at least
// three digits.
QString TempName(int row);

// How the trial rename of one row went.
enum class TrialRename
{
    Done,     // away and back, and whileAway was content
    Refused,  // the file could not be renamed away, or whileAway refused it; it has its name
    Stuck,    // the file went away but could not come back: it carries its trial name
    Declined, // the user declined the checked rename: nothing was renamed
};

// Renames the row's file to its trial name (TempName + "x") and back,
// without a message. whileAway, when given, runs while the file carries the
// trial name; its false refuses the row (the file still goes back).
TrialRename TryRename(const FileEntry &entry, int row, FolderRenamer &renamer,
                      const std::function<bool(const QString &trialName)> &whileAway = {});

// The read-only, hidden and system bits a row asks of its file: those of its
// attribute text, except a hidden mark that came from the name's leading
// period alone, which belongs to the name.
int WantedAttributes(const FileEntry &entry);

// Gives the entry name of folder the bits the row asks for, keeping its
// other attributes. False when that fails.
bool ApplyAttributes(const FolderHandle &folder, const QString &name, const FileEntry &entry);
