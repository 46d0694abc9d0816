#include "support/failingfilesystem.h"

#include "platform/names.h"

FailingFileSystem::FailingFileSystem() : m_installed(*this) {}

FailingFileSystem::~FailingFileSystem() = default;

bool FailingFileSystem::allow(const QString &kind, const QString &path, const QString &target)
{
    const Operation operation{kind, path, target};
    m_operations.append(operation);
    const int number = int(m_operations.size());
    if (beforeOperation)
        beforeOperation(number, operation);
    if (number == m_failAt) {
        m_failedAt = number;
        return false;
    }
    return !(refuse && refuse(operation));
}

namespace {

QString PathIn(const FolderHandle &folder, const QString &name)
{
    return JoinPath(folder.path(), name);
}

} // namespace

FolderHandle FailingFileSystem::OpenFolder(const QString &path)
{
    if (!allow(QStringLiteral("OpenFolder"), path))
        return {};
    return m_real.OpenFolder(path);
}

std::optional<EntryIdentity> FailingFileSystem::IdentifyPath(const QString &path)
{
    if (!allow(QStringLiteral("IdentifyPath"), path))
        return std::nullopt;
    return m_real.IdentifyPath(path);
}

std::optional<EntryIdentity> FailingFileSystem::Identify(const FolderHandle &folder, const QString &name)
{
    if (!allow(QStringLiteral("Identify"), PathIn(folder, name)))
        return std::nullopt;
    return m_real.Identify(folder, name);
}

bool FailingFileSystem::ListFolder(const FolderHandle &folder, const ListOptions &options,
                                   std::vector<FolderEntry> &out)
{
    return allow(QStringLiteral("ListFolder"), folder.path()) && m_real.ListFolder(folder, options, out);
}

bool FailingFileSystem::ListNames(const FolderHandle &folder, std::vector<QString> &out)
{
    return allow(QStringLiteral("ListNames"), folder.path()) && m_real.ListNames(folder, out);
}

bool FailingFileSystem::FileExists(const FolderHandle &folder, const QString &name)
{
    return allow(QStringLiteral("FileExists"), PathIn(folder, name)) && m_real.FileExists(folder, name);
}

bool FailingFileSystem::FolderExists(const QString &path)
{
    return allow(QStringLiteral("FolderExists"), path) && m_real.FolderExists(path);
}

std::optional<qint64> FailingFileSystem::ReadModified(const QString &path)
{
    if (!allow(QStringLiteral("ReadModified"), path))
        return std::nullopt;
    return m_real.ReadModified(path);
}

std::vector<std::optional<qint64>> FailingFileSystem::ReadModifiedTimes(const FolderHandle &folder,
                                                                        const std::vector<QString> &names)
{
    if (!allow(QStringLiteral("ReadModifiedTimes"), folder.path()))
        return std::vector<std::optional<qint64>>(names.size());
    return m_real.ReadModifiedTimes(folder, names);
}

QDate FailingFileSystem::ReadShootingDate(const FolderHandle &folder, const QString &name)
{
    if (!allow(QStringLiteral("ReadShootingDate"), PathIn(folder, name)))
        return {};
    return m_real.ReadShootingDate(folder, name);
}

std::optional<std::vector<QDate>>
FailingFileSystem::ReadShootingDates(const FolderHandle &folder, const std::vector<QString> &names,
                                     const std::function<bool(qint64)> &progress)
{
    if (!allow(QStringLiteral("ReadShootingDates"), folder.path()))
        return std::vector<QDate>(names.size());
    return m_real.ReadShootingDates(folder, names, progress);
}

std::optional<int> FailingFileSystem::ReadAttributes(const FolderHandle &folder, const QString &name)
{
    if (!allow(QStringLiteral("ReadAttributes"), PathIn(folder, name)))
        return std::nullopt;
    return m_real.ReadAttributes(folder, name);
}

bool FailingFileSystem::WriteAttributes(const FolderHandle &folder, const QString &name, int attributes)
{
    return allow(QStringLiteral("WriteAttributes"), PathIn(folder, name)) &&
           m_real.WriteAttributes(folder, name, attributes);
}

bool FailingFileSystem::CanWriteAttributes(const FolderHandle &folder, const QString &name, int attributes,
                                           const QString &finalName)
{
    return allow(QStringLiteral("CanWriteAttributes"), PathIn(folder, name)) &&
           m_real.CanWriteAttributes(folder, name, attributes, finalName);
}

RenameResult FailingFileSystem::RenameNoReplace(const FolderHandle &folder, const QString &from,
                                                const QString &to, RenameMode mode)
{
    if (!allow(QStringLiteral("RenameNoReplace"), PathIn(folder, from), PathIn(folder, to)))
        return RenameResult::Failed;
    if (noAtomicRename && mode == RenameMode::Atomic)
        return RenameResult::NeedsCheckedRename;
    return m_real.RenameNoReplace(folder, from, to, RenameMode::Atomic);
}

bool FailingFileSystem::RemoveSecondLink(const FolderHandle &folder, const QString &name,
                                         const QString &keptName)
{
    return allow(QStringLiteral("RemoveSecondLink"), PathIn(folder, name), PathIn(folder, keptName)) &&
           m_real.RemoveSecondLink(folder, name, keptName);
}

bool FailingFileSystem::MoveFileOver(const QString &from, const QString &to)
{
    return allow(QStringLiteral("MoveFileOver"), from, to) && m_real.MoveFileOver(from, to);
}

bool FailingFileSystem::ReplaceFile(const QString &path, const QByteArray &content)
{
    if (!allow(QStringLiteral("ReplaceFile"), path))
        return false;
    m_written.insert(path, content);
    return m_real.ReplaceFile(path, content);
}

std::optional<QString> FailingFileSystem::CreateUniqueFile(const QString &folder, const QString &prefix,
                                                           const QString &suffix, const QByteArray &content)
{
    if (!allow(QStringLiteral("CreateUniqueFile"), folder + prefix))
        return std::nullopt;
    const std::optional<QString> path = m_real.CreateUniqueFile(folder, prefix, suffix, content);
    if (path)
        m_written.insert(*path, content);
    return path;
}

QByteArray FailingFileSystem::writtenTo(const QString &prefix) const
{
    for (auto it = m_written.cbegin(); it != m_written.cend(); ++it) {
        if (it.key().startsWith(prefix))
            return it.value();
    }
    return {};
}

std::optional<QByteArray> FailingFileSystem::ReadFile(const QString &path)
{
    if (!allow(QStringLiteral("ReadFile"), path))
        return std::nullopt;
    return m_real.ReadFile(path);
}

std::unique_ptr<QIODevice> FailingFileSystem::OpenFile(const QString &path)
{
    if (!allow(QStringLiteral("OpenFile"), path))
        return nullptr;
    return m_real.OpenFile(path);
}

bool FailingFileSystem::RemoveFile(const QString &path)
{
    return allow(QStringLiteral("RemoveFile"), path) && m_real.RemoveFile(path);
}

bool FailingFileSystem::MakeFolder(const QString &path)
{
    return allow(QStringLiteral("MakeFolder"), path) && m_real.MakeFolder(path);
}

bool FailingFileSystem::PrivateFolder(const QString &path, bool create)
{
    return allow(QStringLiteral("PrivateFolder"), path) && m_real.PrivateFolder(path, create);
}

bool FailingFileSystem::FolderWritable(const QString &path)
{
    return allow(QStringLiteral("FolderWritable"), path) && m_real.FolderWritable(path);
}

LockAttempt FailingFileSystem::LockExclusive(const QString &path)
{
    if (!allow(QStringLiteral("LockExclusive"), path))
        return {};
    return m_real.LockExclusive(path);
}

LockAttempt FailingFileSystem::LockFolder(const FolderHandle &folder)
{
    if (!allow(QStringLiteral("LockFolder"), folder.path()))
        return {};
    return m_real.LockFolder(folder);
}
