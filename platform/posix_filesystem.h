#pragma once

#include "platform/filesystem.h"

// The real file system, through POSIX calls. Its parts live in one file per
// concern: listing, attributes, renaming and whole files.
class PosixFileSystem final : public FileSystem
{
public:
    bool ListFolder(const QString &folder, const ListOptions &options,
                    std::vector<FolderEntry> &out) override;
    bool ListNames(const QString &folder, std::vector<QString> &out) override;
    bool FileExists(const QString &path) override;
    bool FolderExists(const QString &path) override;
    std::optional<int> ReadAttributes(const QString &path) override;
    std::optional<qint64> ReadModified(const QString &path) override;
    std::vector<std::optional<qint64>> ReadModifiedTimes(const QString &folder,
                                                         const std::vector<QString> &names) override;
    bool WriteAttributes(const QString &path, int attributes) override;
    bool CanWriteAttributes(const QString &path, int attributes) override;
    bool RenameNoReplace(const QString &from, const QString &to) override;
    bool ReplaceFile(const QString &path, const QByteArray &content) override;
    std::optional<QString> CreateUniqueFile(const QString &folder, const QString &prefix,
                                            const QString &suffix, const QByteArray &content) override;
    std::optional<QByteArray> ReadFile(const QString &path) override;
    bool RemoveFile(const QString &path) override;
    bool MakeFolder(const QString &path) override;
    bool PrivateFolder(const QString &path, bool create) override;
    bool FolderWritable(const QString &path) override;
    LockAttempt LockExclusive(const QString &path) override;
};
