#pragma once

#include "platform/filesystem.h"
#include "platform/posix_filesystem.h"

#include <QHash>
#include <QList>
#include <functional>

// The real file system with a count of every operation, failing the k-th on
// demand (without doing it) or any operation a predicate refuses. Installs
// itself for its lifetime.
class FailingFileSystem final : public FileSystem
{
public:
    struct Operation
    {
        QString kind; // the FileSystem method's name
        QString path;
        QString target; // RenameNoReplace, RemoveSecondLink and MoveFileOver only
    };

    FailingFileSystem();
    ~FailingFileSystem() override;

    // Makes the k-th operation from now fail (counting from 1); 0 for none.
    void failAt(int k) { m_failAt = k > 0 ? operationCount() + k : 0; }
    // Operations for which this gives true fail as well.
    std::function<bool(const Operation &)> refuse;
    // Runs before each operation, with its number, e.g. to let another
    // program create a file at the worst moment.
    std::function<void(int number, const Operation &)> beforeOperation;

    int operationCount() const { return int(m_operations.size()); }
    const QList<Operation> &operations() const { return m_operations; }
    // The number of the operation made to fail, 0 while none has.
    int failedAt() const { return m_failedAt; }
    // The content last written to each path.
    const QHash<QString, QByteArray> &written() const { return m_written; }
    // The content last written to a path that begins with prefix.
    QByteArray writtenTo(const QString &prefix) const;

    // Emulates a file system without an atomic rename that never replaces
    // (FAT, exFAT through FUSE): an atomic rename is refused as the real one
    // refuses it, and the checked rename is done with the real one.
    bool noAtomicRename = false;

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
    std::optional<int> ReadAttributes(const FolderHandle &folder, const QString &name) override;
    std::optional<qint64> ReadModified(const QString &path) override;
    std::vector<std::optional<qint64>> ReadModifiedTimes(const FolderHandle &folder,
                                                         const std::vector<QString> &names) override;
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

private:
    // Counts an operation; false when it is to fail.
    bool allow(const QString &kind, const QString &path, const QString &target = {});

    PosixFileSystem m_real;
    QList<Operation> m_operations;
    QHash<QString, QByteArray> m_written;
    int m_failAt = 0;
    int m_failedAt = 0;
    ScopedFileSystem m_installed;
};
