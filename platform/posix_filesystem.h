#pragma once

#include "platform/filesystem.h"

// The real file system, through POSIX calls. Its parts live in one file per
// concern: listing, attributes, renaming, whole files and picture dates.
class PosixFileSystem final : public FileSystem
{
public:
    using FileSystem::ListFolder;
    using FileSystem::ListNames;

    FolderHandle OpenFolder(const QString &path) override;
    std::optional<EntryIdentity> IdentifyPath(const QString &path) override;
    std::optional<EntryIdentity> Identify(const FolderHandle &folder, const QString &name) override;
    bool ListFolder(const FolderHandle &folder, const ListOptions &options,
                    std::vector<FolderEntry> &out) override;
    bool ListNames(const FolderHandle &folder, std::vector<QString> &out) override;
    bool FileExists(const FolderHandle &folder, const QString &name) override;
    bool FolderExists(const QString &path) override;
    bool FolderListable(const QString &path) override;
    std::optional<int> ReadAttributes(const FolderHandle &folder, const QString &name) override;
    std::optional<qint64> ReadModified(const QString &path) override;
    std::vector<std::optional<qint64>> ReadModifiedTimes(const FolderHandle &folder,
                                                         const std::vector<QString> &names) override;
    // In exif.cpp, beside the metadata library they use.
    QDate ReadShootingDate(const FolderHandle &folder, const QString &name) override;
    std::optional<std::vector<QDate>> ReadShootingDates(const FolderHandle &folder,
                                                        const std::vector<QString> &names,
                                                        const std::function<bool(qint64)> &progress) override;
    bool WriteAttributes(const FolderHandle &folder, const QString &name, int attributes) override;
    bool CanWriteAttributes(const FolderHandle &folder, const QString &name, int attributes,
                            const QString &finalName) override;
    RenameResult RenameNoReplace(const FolderHandle &folder, const QString &from, const QString &to,
                                 RenameMode mode) override;
    bool RemoveSecondLink(const FolderHandle &folder, const QString &name, const QString &keptName) override;
    bool ReplaceFile(const QString &path, const QByteArray &content) override;
    bool MoveFileOver(const QString &from, const QString &to) override;
    std::optional<QString> CreateUniqueFile(const QString &folder, const QString &prefix,
                                            const QString &suffix, const QByteArray &content) override;
    std::optional<QByteArray> ReadFile(const QString &path) override;
    std::unique_ptr<QIODevice> OpenFile(const QString &path) override;
    bool RemoveFile(const QString &path) override;
    bool MakeFolder(const QString &path) override;
    bool PrivateFolder(const QString &path, bool create) override;
    bool FolderWritable(const QString &path) override;
    LockAttempt LockExclusive(const QString &path) override;
    LockAttempt LockFolder(const FolderHandle &folder) override;
};

struct stat;

// The identity of an entry from its lstat result.
EntryIdentity IdentityOf(const struct stat &st);

// A path that reaches an entry of an open folder through the folder's
// descriptor, not its path, for the calls that take no descriptor (the
// extended attributes); the last part, the name, is not followed by the
// calls that do not follow links.
QByteArray EntryPath(const FolderHandle &folder, const QByteArray &name);
QByteArray EntryPath(int folderDescriptor, const QByteArray &name);
