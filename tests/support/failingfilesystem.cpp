#include "support/failingfilesystem.h"

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

bool FailingFileSystem::ListFolder(const QString &folder, const ListOptions &options,
                                   std::vector<FolderEntry> &out)
{
    return allow(QStringLiteral("ListFolder"), folder) && m_real.ListFolder(folder, options, out);
}

bool FailingFileSystem::ListNames(const QString &folder, std::vector<QString> &out)
{
    return allow(QStringLiteral("ListNames"), folder) && m_real.ListNames(folder, out);
}

bool FailingFileSystem::FileExists(const QString &path)
{
    return allow(QStringLiteral("FileExists"), path) && m_real.FileExists(path);
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

std::optional<int> FailingFileSystem::ReadAttributes(const QString &path)
{
    if (!allow(QStringLiteral("ReadAttributes"), path))
        return std::nullopt;
    return m_real.ReadAttributes(path);
}

bool FailingFileSystem::WriteAttributes(const QString &path, int attributes)
{
    return allow(QStringLiteral("WriteAttributes"), path) && m_real.WriteAttributes(path, attributes);
}

bool FailingFileSystem::CanWriteAttributes(const QString &path, int attributes)
{
    return allow(QStringLiteral("CanWriteAttributes"), path) && m_real.CanWriteAttributes(path, attributes);
}

bool FailingFileSystem::RenameNoReplace(const QString &from, const QString &to)
{
    return allow(QStringLiteral("RenameNoReplace"), from, to) && m_real.RenameNoReplace(from, to);
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
