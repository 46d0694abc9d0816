#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
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

    // Gives path the read-only, hidden and system bits of attributes,
    // touching only the bits that differ. Never follows a symbolic link.
    virtual bool WriteAttributes(const QString &path, int attributes) = 0;

    // Whether WriteAttributes(path, attributes) would succeed, without
    // changing anything.
    virtual bool CanWriteAttributes(const QString &path, int attributes) = 0;

    // Renames from to to, never replacing an existing entry.
    virtual bool RenameNoReplace(const QString &from, const QString &to) = 0;

    // Writes a whole file, replacing it. When durable, the data is flushed
    // to the disk before this returns true.
    virtual bool WriteFile(const QString &path, const QByteArray &content, bool durable) = 0;

    // Reads a whole file.
    virtual std::optional<QByteArray> ReadFile(const QString &path) = 0;

    // Deletes a file; a missing file is no error.
    virtual bool RemoveFile(const QString &path) = 0;
};

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
