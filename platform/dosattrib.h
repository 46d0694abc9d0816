#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

// The extended attribute user.DOSATTRIB, shared with Samba and Wine, keeps
// the DOS attribute word of a file in one of two forms:
// - text: "0x" and hexadecimal digits, with or without a final NUL;
// - Samba's binary record in its NDR encoding: a NUL-terminated string,
//   zero padding to an even offset, the 16-bit little-endian version and
//   union level, zero padding to a multiple of four, then the version's
//   structure. Version 1 starts with the attribute word; versions 2 to 5
//   start with a 32-bit flags word and have the attribute word after it, and
//   for versions 3 to 5 the word counts only while bit 0x1 of those flags
//   (valid_flags) is set.

inline constexpr const char *DosAttribName = "user.DOSATTRIB";

// Where the parts of a stored value are.
struct DosAttribLayout
{
    bool text = false;          // the text form
    int version = 0;            // the binary record's version
    qsizetype wordOffset = -1;  // the attribute word in a binary record
    qsizetype validOffset = -1; // valid_flags, for versions 3 to 5
    // The record is as long as its version's structure: only then may it be
    // patched, since a record cut short is not what Samba would read.
    bool complete = false;
};

// The layout of a stored value; nothing when it is neither a readable text
// nor a binary record of version 1 to 5 long enough for its attribute word.
std::optional<DosAttribLayout> ParseDosAttribLayout(const QByteArray &value);

// The attribute word a stored value gives; 0 where a binary record marks its
// word as not valid. Nothing when the value cannot be read.
std::optional<std::uint32_t> ParseDosAttrib(const QByteArray &value);

// The value to store for a new attribute word. A binary record is patched in
// place: its attribute word and, for versions 3 to 5, the valid bit change,
// every other byte stays. No value yet, or the text form, gives the text
// form. Nothing for a value that cannot be read, or a record shorter than
// its version's structure: it belongs to someone else and is left alone.
std::optional<QByteArray> ComposeDosAttrib(const QByteArray &existing, std::uint32_t attributes);
