#pragma once

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// File attribute bits.
enum AttributeBit : int
{
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrFolder = 16,
    AttrArchive = 32,
};

// What an entry is, told apart without following a symbolic link.
enum class EntryType : int
{
    Missing = 0,
    File,
    Folder,
    Link,
    Other, // a named pipe, a socket, a device
};

// Which entry a name stands for: its file system, its inode and its type.
// Two names with equal identities are one entry.
struct EntryIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    EntryType type = EntryType::Missing;

    bool operator==(const EntryIdentity &) const = default;
};

// One entry of a folder listing.
struct FolderEntry
{
    QString name;
    int attributes = 0;        // AttributeBit values; AttrFolder for a folder or a link to one
    qint64 modified = 0;       // seconds since the epoch (of a link's target)
    qint64 size = 0;           // bytes (of a link's target)
    bool hiddenByName = false; // AttrHidden comes from a leading period alone
    EntryIdentity identity;    // the entry itself, its link not followed
};

struct ListOptions
{
    QString pattern;         // wildcard; empty matches every name
    int mask = AttrReadOnly; // hidden, system and folder entries are listed only when their bit is here
    bool details = true;     // read modification time and size too
    // Told now and then how many entries have been read (total 0) and then
    // examined (of total), always on the calling thread.
    std::function<void(qint64 done, qint64 total)> progress;
    // When given, receives the name of every entry of the folder, listed or
    // not, in the order the file system returns them.
    std::vector<QString> *allNames = nullptr;
};

// An exclusive lock on a file or folder, held until the object goes.
class HeldLock
{
public:
    virtual ~HeldLock() = default;
};

// The outcome of LockExclusive: a lock, or why there is none.
struct LockAttempt
{
    std::unique_ptr<HeldLock> lock;
    bool busy = false; // someone else holds it (rather than: it could not be taken)
};

// A folder opened once and kept open: every operation on its entries goes
// through its descriptor, so that a path re-pointed afterwards (a symbolic
// link put in its place) can never send them into another folder. Copies
// share the one descriptor, which closes with the last of them.
class FolderHandle
{
public:
    FolderHandle() = default;
    // Takes over descriptor, an open folder reached through path.
    FolderHandle(int descriptor, QString path, EntryIdentity identity);

    bool isOpen() const { return m_descriptor != nullptr; }
    int descriptor() const { return m_descriptor ? m_descriptor->fd : -1; }
    // The path the folder was opened by, for messages and for the check
    // that it still names this folder.
    const QString &path() const { return m_path; }
    const EntryIdentity &identity() const { return m_identity; }

private:
    struct Descriptor
    {
        int fd;
        ~Descriptor();
    };
    std::shared_ptr<const Descriptor> m_descriptor;
    QString m_path;
    EntryIdentity m_identity;
};

// How far a rename may go to avoid replacing an entry.
enum class RenameMode
{
    // Only a rename that can never replace an entry: renameat2 with
    // RENAME_NOREPLACE, or a hard link and an unlink.
    Atomic,
    // Where the file system allows neither (FAT, exFAT through FUSE), also a
    // check that the target is free followed by a plain rename, which would
    // replace a file that another program creates in between.
    CheckedOnly,
};

enum class RenameResult
{
    Done,
    Failed,
    // The file system refuses every rename that cannot replace; only
    // RenameMode::CheckedOnly could do it. Nothing was changed.
    NeedsCheckedRename,
};

// Every disk access of the program goes through this interface, so that
// tests can replace it and inject failures.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Opens a folder (following a symbolic link to it) to keep; a closed
    // handle when path is no folder or cannot be opened.
    virtual FolderHandle OpenFolder(const QString &path) = 0;

    // The identity of what path names now, following symbolic links.
    virtual std::optional<EntryIdentity> IdentifyPath(const QString &path) = 0;

    // The identity of an entry of folder, without following a link.
    virtual std::optional<EntryIdentity> Identify(const FolderHandle &folder, const QString &name) = 0;

    // Lists the entries of an open folder in the order the file system
    // returns them. False when it cannot be read. An entry that vanishes
    // while it is being read is left out.
    virtual bool ListFolder(const FolderHandle &folder, const ListOptions &options,
                            std::vector<FolderEntry> &out) = 0;

    // The names of every entry of a folder, files of any attribute, folders
    // and links alike, in the order the file system returns them, reading
    // nothing else about them. False when the folder cannot be read.
    virtual bool ListNames(const FolderHandle &folder, std::vector<QString> &out);

    // The same two, by path, for folders that are looked at but never renamed in.
    bool ListFolder(const QString &folder, const ListOptions &options, std::vector<FolderEntry> &out);
    bool ListNames(const QString &folder, std::vector<QString> &out);

    // Whether name in folder is a file or a symbolic link (a dangling one
    // too), without following the link; false for a folder, a link to a
    // folder and anything that cannot be read.
    virtual bool FileExists(const FolderHandle &folder, const QString &name) = 0;

    // Whether path names a folder (or a link to one).
    virtual bool FolderExists(const QString &path) = 0;

    // Whether the folder can be listed: opened, and its entries looked at.
    virtual bool FolderListable(const QString &path);

    // The read-only, hidden, system and archive bits of an entry, without
    // following a symbolic link.
    virtual std::optional<int> ReadAttributes(const FolderHandle &folder, const QString &name) = 0;

    // The last-modified time of path in seconds since the epoch, of a
    // symbolic link's target; nothing when it cannot be read.
    virtual std::optional<qint64> ReadModified(const QString &path) = 0;

    // ReadModified for many entries of one folder at once, one time per name.
    virtual std::vector<std::optional<qint64>> ReadModifiedTimes(const FolderHandle &folder,
                                                                 const std::vector<QString> &names);

    // The date the picture name in folder was taken, as its Exif data
    // records it; invalid for a file without one or that cannot be read as a
    // picture.
    virtual QDate ReadShootingDate(const FolderHandle &folder, const QString &name) = 0;

    // ReadShootingDate for many entries of one folder at once, one date per
    // name. progress, where given, is told now and then on the calling
    // thread how many names are done; when it answers false the reading
    // stops and gives nothing.
    virtual std::optional<std::vector<QDate>>
    ReadShootingDates(const FolderHandle &folder, const std::vector<QString> &names,
                      const std::function<bool(qint64 done)> &progress);

    // Gives an entry the read-only, hidden and system bits of attributes,
    // touching only the bits that differ. Never follows a symbolic link.
    virtual bool WriteAttributes(const FolderHandle &folder, const QString &name, int attributes) = 0;

    // Whether WriteAttributes would succeed for the entry once it carries
    // finalName (whose leading period may make a hidden bit unneeded),
    // without changing anything.
    virtual bool CanWriteAttributes(const FolderHandle &folder, const QString &name, int attributes,
                                    const QString &finalName) = 0;

    // Renames from to to inside folder, never replacing an existing entry
    // unless mode allows the checked rename where nothing better exists.
    virtual RenameResult RenameNoReplace(const FolderHandle &folder, const QString &from, const QString &to,
                                         RenameMode mode = RenameMode::Atomic) = 0;

    // Removes name when it is a second hard link of the very file that
    // keptName names (what a rename by link and unlink leaves when it is cut
    // short); anything else stays. True when name is gone that way.
    virtual bool RemoveSecondLink(const FolderHandle &folder, const QString &name,
                                  const QString &keptName) = 0;

    // Replaces a whole file at once: the content goes to a new file in the
    // same folder, reaches the disk, and takes the old file's place by a
    // rename, so that a crash never leaves half a file. A symbolic link at
    // path is written through to its target. False when any step fails; the
    // old file is then untouched.
    virtual bool ReplaceFile(const QString &path, const QByteArray &content) = 0;

    // Renames one of the program's own files over another (the change log
    // and the copy kept aside), replacing it.
    virtual bool MoveFileOver(const QString &from, const QString &to) = 0;

    // Creates a new file in folder named prefix, a unique part and suffix,
    // never through an existing entry or a link, readable by its owner
    // alone. Gives its path.
    virtual std::optional<QString> CreateUniqueFile(const QString &folder, const QString &prefix,
                                                    const QString &suffix, const QByteArray &content) = 0;

    // Reads a whole regular file, however long; nothing for anything else (a
    // named pipe would never answer).
    virtual std::optional<QByteArray> ReadFile(const QString &path) = 0;

    // Opens a regular file to be read as far as it is needed, however large;
    // nothing for anything else (a named pipe would never answer).
    virtual std::unique_ptr<QIODevice> OpenFile(const QString &path);

    // Deletes a file; a missing file is no error.
    virtual bool RemoveFile(const QString &path) = 0;

    // Creates a folder and any missing parents, open to their owner alone;
    // an existing folder is fine.
    virtual bool MakeFolder(const QString &path) = 0;

    // Whether path is a folder (not a link) of this user's own that nobody
    // else may enter, creating it so when create is set and it is missing.
    virtual bool PrivateFolder(const QString &path, bool create) = 0;

    // Whether new files can be made in the folder.
    virtual bool FolderWritable(const QString &path) = 0;

    // Takes an exclusive lock on a file or folder without waiting.
    virtual LockAttempt LockExclusive(const QString &path) = 0;

    // Takes an exclusive lock on an open folder without waiting; every copy
    // of the program that renames in the folder takes the same one.
    virtual LockAttempt LockFolder(const FolderHandle &folder) = 0;
};

// The number of the user the program runs as.
qint64 CurrentUserId();

// The file system the program works on: the real one unless a test has
// installed another.
FileSystem &Fs();

// Installs a file system for the lifetime of this object.
class ScopedFileSystem final
{
public:
    explicit ScopedFileSystem(FileSystem &fs);
    ~ScopedFileSystem();
    ScopedFileSystem(const ScopedFileSystem &) = delete;
    ScopedFileSystem &operator=(const ScopedFileSystem &) = delete;

private:
    FileSystem *m_previous;
};
