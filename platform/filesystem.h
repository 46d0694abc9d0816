#pragma once

#include <QByteArray>
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

// One entry of a folder listing.
struct FolderEntry
{
    QString name;
    int attributes = 0;        // AttributeBit values; AttrFolder for a folder or a link to one
    qint64 modified = 0;       // seconds since the epoch (of a link's target)
    qint64 size = 0;           // bytes (of a link's target)
    bool hiddenByName = false; // AttrHidden comes from a leading period alone
};

struct ListOptions
{
    QString pattern;         // wildcard; empty matches every name
    int mask = AttrReadOnly; // hidden, system and folder entries are listed only when their bit is here
    bool details = true;     // read modification time and size too
    // Told now and then how many entries have been read (total 0) and then
    // examined (of total), always on the calling thread.
    std::function<void(qint64 done, qint64 total)> progress;
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

// Every disk access of the program goes through this interface, so that
// tests can replace it and inject failures.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Lists the entries of a folder in the order the file system returns
    // them. False when the folder cannot be opened or read. An entry that
    // vanishes while it is being read is left out.
    virtual bool ListFolder(const QString &folder, const ListOptions &options,
                            std::vector<FolderEntry> &out) = 0;

    // The names of every entry of a folder, files of any attribute, folders
    // and links alike, in the order the file system returns them, reading
    // nothing else about them. False when the folder cannot be read.
    virtual bool ListNames(const QString &folder, std::vector<QString> &out);

    // Whether path names a file or a symbolic link (a dangling one too),
    // without following the link; false for a folder, a link to a folder and
    // anything that cannot be read.
    virtual bool FileExists(const QString &path) = 0;

    // Whether path names a folder (or a link to one).
    virtual bool FolderExists(const QString &path) = 0;

    // The read-only, hidden, system and archive bits of path, without
    // following a symbolic link.
    virtual std::optional<int> ReadAttributes(const QString &path) = 0;

    // The last-modified time of path in seconds since the epoch, of a
    // symbolic link's target; nothing when it cannot be read.
    virtual std::optional<qint64> ReadModified(const QString &path) = 0;

    // ReadModified for many names of one folder at once, one time per name.
    virtual std::vector<std::optional<qint64>> ReadModifiedTimes(const QString &folder,
                                                                 const std::vector<QString> &names);

    // Gives path the read-only, hidden and system bits of attributes,
    // touching only the bits that differ. Never follows a symbolic link.
    virtual bool WriteAttributes(const QString &path, int attributes) = 0;

    // Whether WriteAttributes(path, attributes) would succeed, without
    // changing anything.
    virtual bool CanWriteAttributes(const QString &path, int attributes) = 0;

    // Renames from to to, never replacing an existing entry.
    virtual bool RenameNoReplace(const QString &from, const QString &to) = 0;

    // Replaces a whole file at once: the content goes to a new file in the
    // same folder, reaches the disk, and takes the old file's place by a
    // rename, so that a crash never leaves half a file. A symbolic link at
    // path is written through to its target. False when any step fails; the
    // old file is then untouched.
    virtual bool ReplaceFile(const QString &path, const QByteArray &content) = 0;

    // Creates a new file in folder named prefix, a unique part and suffix,
    // never through an existing entry or a link, readable by its owner
    // alone. Gives its path.
    virtual std::optional<QString> CreateUniqueFile(const QString &folder, const QString &prefix,
                                                    const QString &suffix, const QByteArray &content) = 0;

    // Reads a whole regular file; nothing for anything else (a named pipe
    // would never answer).
    virtual std::optional<QByteArray> ReadFile(const QString &path) = 0;

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
