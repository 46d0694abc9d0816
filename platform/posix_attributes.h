#pragma once

#include <QByteArray>
#include <cstdint>
#include <sys/stat.h>

// The attribute reads shared by the listing and the attribute writer.

// user.DOSATTRIB of a file as stored.
struct StoredDosAttrib
{
    bool present = false;    // the file has the attribute
    bool unreadable = false; // it could not be read, or is of a form we do not know
    QByteArray raw;
    std::uint32_t word = 0; // the attribute word; 0 when absent or unreadable
};

// Reads user.DOSATTRIB of path whole, without following a link at its end
// unless follow is set (for a descriptor's path that stands for the file).
StoredDosAttrib ReadDosAttrib(const char *path, bool follow = false);

// Whether the last part of path begins with a period.
bool IsPeriodName(const char *path);

// The attribute bits of the entry at path with the given lstat result.
// hiddenByName, when given, tells whether the hidden bit comes from the
// name's leading period alone.
int AttributesOf(const char *path, const struct stat &st, bool *hiddenByName = nullptr);
