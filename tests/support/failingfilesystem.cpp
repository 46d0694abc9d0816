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

bool FailingFileSystem::WriteFile(const QString &path, const QByteArray &content, bool durable)
{
    if (!allow(QStringLiteral("WriteFile"), path))
        return false;
    m_written.insert(path, content);
    return m_real.WriteFile(path, content, durable);
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
