#pragma once

#include "platform/filesystem.h"

// The real file system, through POSIX calls.
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
    bool WriteAttributes(const QString &path, int attributes) override;
    bool CanWriteAttributes(const QString &path, int attributes) override;
    bool RenameNoReplace(const QString &from, const QString &to) override;
    bool WriteFile(const QString &path, const QByteArray &content, bool durable) override;
    std::optional<QByteArray> ReadFile(const QString &path) override;
    bool RemoveFile(const QString &path) override;
};
