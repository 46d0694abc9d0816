#include "platform/posix_attributes.h"

#include "platform/dosattrib.h"
#include "platform/names.h"
#include "platform/posix_filesystem.h"

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr int DosBits = AttrHidden | AttrSystem | AttrArchive;

// What WriteAttributes has to do for one file.
struct AttributePlan
{
    struct stat st
    {
    };
    bool possible = true;
    bool changeMode = false;
    mode_t mode = 0;
    bool changeDos = false;
    StoredDosAttrib stored;
    QByteArray newValue;
};

std::optional<AttributePlan> PlanAttributes(const QByteArray &path, int attributes)
{
    AttributePlan plan;
    if (lstat(path.constData(), &plan.st) != 0)
        return std::nullopt;
    const bool isLink = S_ISLNK(plan.st.st_mode);
    const bool readOnlyNow = !isLink && !(plan.st.st_mode & S_IWUSR);
    const bool readOnlyWanted = attributes & AttrReadOnly;
    if (readOnlyNow != readOnlyWanted) {
        plan.changeMode = true;
        plan.mode = readOnlyWanted ? (plan.st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH))
                                   : (plan.st.st_mode | S_IWUSR);
        plan.mode &= 07777;
    }
    if (!isLink)
        plan.stored = ReadDosAttrib(path.constData());
    const std::uint32_t word = plan.stored.word;
    std::uint32_t wanted = word & ~std::uint32_t(AttrHidden | AttrSystem);
    wanted |= std::uint32_t(attributes & AttrSystem);
    // A period name is hidden whatever the stored word says; its hidden bit
    // is only ever cleared, never needed.
    if (attributes & AttrHidden) {
        if (!IsPeriodName(path.constData()))
            wanted |= AttrHidden;
        else
            wanted |= word & AttrHidden;
    }
    if (wanted == word)
        return plan;
    plan.changeDos = true;
    // A record we cannot read belongs to someone else: it is never overwritten.
    const std::optional<QByteArray> value =
        plan.stored.unreadable ? std::nullopt : ComposeDosAttrib(plan.stored.raw, wanted);
    if (value)
        plan.newValue = *value;
    else
        plan.possible = false;
    return plan;
}

bool OwnsOrPrivileged(const struct stat &st)
{
    const uid_t me = geteuid();
    return me == 0 || me == st.st_uid;
}

bool ReadOnlyFileSystem(const char *path)
{
    struct statvfs vfs;
    return statvfs(path, &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

} // namespace

StoredDosAttrib ReadDosAttrib(const char *path)
{
    StoredDosAttrib stored;
    // Most values are a few bytes: one call with a small buffer, and a
    // second round only for a larger record.
    QByteArray buffer(256, Qt::Uninitialized);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t n = lgetxattr(path, DosAttribName, buffer.data(), size_t(buffer.size()));
        if (n >= 0) {
            buffer.truncate(n);
            stored.present = true;
            stored.raw = buffer;
            if (const auto word = ParseDosAttrib(buffer))
                stored.word = *word;
            else
                stored.unreadable = true;
            return stored;
        }
        if (errno == ENODATA || errno == ENOTSUP)
            return stored;
        if (errno != ERANGE)
            break;
        const ssize_t size = lgetxattr(path, DosAttribName, nullptr, 0);
        if (size < 0)
            break;
        buffer.resize(size + 1);
    }
    stored.unreadable = true;
    return stored;
}

bool IsPeriodName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const char *name = slash ? slash + 1 : path;
    return name[0] == '.';
}

int AttributesOf(const char *path, const struct stat &st, bool *hiddenByName)
{
    int attributes = 0;
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        attributes |= AttrReadOnly;
    if (!S_ISLNK(st.st_mode))
        attributes |= int(ReadDosAttrib(path).word) & DosBits;
    if (IsPeriodName(path)) {
        if (hiddenByName)
            *hiddenByName = !(attributes & AttrHidden);
        attributes |= AttrHidden;
    }
    if (S_ISDIR(st.st_mode))
        attributes |= AttrFolder;
    return attributes;
}

std::optional<int> PosixFileSystem::ReadAttributes(const QString &path)
{
    const QByteArray encoded = EncodeName(path);
    struct stat st;
    if (lstat(encoded.constData(), &st) != 0)
        return std::nullopt;
    return AttributesOf(encoded.constData(), st);
}

bool PosixFileSystem::WriteAttributes(const QString &path, int attributes)
{
    const QByteArray encoded = EncodeName(path);
    const auto plan = PlanAttributes(encoded, attributes);
    if (!plan)
        return false;
    if (!plan->changeMode && !plan->changeDos)
        return true;
    if (!plan->possible || S_ISLNK(plan->st.st_mode))
        return false;
    const char *p = encoded.constData();
    const mode_t finalMode = plan->changeMode ? plan->mode : (plan->st.st_mode & 07777);
    if (plan->changeDos) {
        // User attributes need write permission: lift read-only for the write.
        const bool lift = !(plan->st.st_mode & S_IWUSR);
        if (lift && chmod(p, (plan->st.st_mode & 07777) | S_IWUSR) != 0)
            return false;
        const bool written =
            lsetxattr(p, DosAttribName, plan->newValue.constData(), size_t(plan->newValue.size()), 0) == 0;
        if (!written) {
            if (lift)
                (void)chmod(p, plan->st.st_mode & 07777);
            return false;
        }
        if (lift || plan->changeMode)
            return chmod(p, finalMode) == 0;
        return true;
    }
    return chmod(p, finalMode) == 0;
}

bool PosixFileSystem::CanWriteAttributes(const QString &path, int attributes)
{
    const QByteArray encoded = EncodeName(path);
    const auto plan = PlanAttributes(encoded, attributes);
    if (!plan)
        return false;
    if (!plan->changeMode && !plan->changeDos)
        return true;
    const char *p = encoded.constData();
    if (!plan->possible || S_ISLNK(plan->st.st_mode) || ReadOnlyFileSystem(p))
        return false;
    if (plan->changeMode && !OwnsOrPrivileged(plan->st))
        return false;
    if (plan->changeDos) {
        if (!(plan->st.st_mode & S_IWUSR) && !OwnsOrPrivileged(plan->st))
            return false;
        if (access(p, W_OK) == 0) {
            // Store the present value again (or create and remove one) to
            // learn whether this file system keeps user attributes at all.
            if (plan->stored.present)
                return lsetxattr(p, DosAttribName, plan->stored.raw.constData(),
                                 size_t(plan->stored.raw.size()), XATTR_REPLACE) == 0;
            if (lsetxattr(p, DosAttribName, "0x0", 3, XATTR_CREATE) != 0)
                return false;
            return lremovexattr(p, DosAttribName) == 0;
        }
        char probe;
        if (lgetxattr(p, DosAttribName, &probe, 0) < 0 && errno == ENOTSUP)
            return false;
    }
    return true;
}
