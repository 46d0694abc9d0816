#pragma once

#include "engine/collisions.h"
#include "engine/fileentry.h"
#include "engine/filelist.h"
#include "engine/folderrenamer.h"
#include "settings/appsettings.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

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

// The message a refused preview gets: its text, and its title where it has
// its own.
struct PreviewFault
{
    QString text;
    QString title = {};
};

// The first of the tests every preview must pass before a rename run, in
// their order, that the preview fails; nothing when it passes them all.
// currentName is the row's name now: a name may keep what Linux allows and
// Windows forbids (a leading or final period, the characters \ : * ? " < >
// |, a line break) where it has it already, but not gain it. loggedName is
// the name the change log recorded for an undo row, which may come back
// with its leading period.
std::optional<PreviewFault> FindPreviewFault(const QString &preview, const QString &currentName,
                                             const QString &loggedName = {});

// FindPreviewFault, showing the fault's message; true when there is none.
bool CheckPreview(const QString &preview, const QString &currentName, const QString &loggedName = {});

// The names a folder will hold after a run: every entry, a listed file under
// its preview. rows gives each entry's row (0 for an entry not listed), and
// isNew tells the names the run creates.
struct FolderFuture
{
    QStringList names;
    std::vector<bool> isNew;
    std::vector<int> rows;
};
FolderFuture MakeFolderFuture(const FileList &list, const std::vector<QString> &entries);
// The name a listed file will have after the run: its preview, or its name
// where the preview is empty or the same. renamed tells which.
const QString &FutureName(const FileEntry &entry, bool &renamed);

// How many colliding names the duplicate check's message lists.
inline constexpr qsizetype MaxDuplicatesShown = 10;

// Writes every entry of the list's folder under its future name to a
// temporary file of this run's own, reads it back and judges the lines with
// FindCollisions; reserved names are refused too. Shows one message for all
// reserved names and one for all collisions (the first names and how many
// more); the rows whose names collide go to collidingRows. CurrentFolder
// loses its trailing separators.
bool CheckDuplicates(const FileList &list, AppSettings &settings, std::vector<int> *collidingRows = nullptr);

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
