#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

// The extended attribute user.DOSATTRIB, shared with Samba and Wine, keeps
// the DOS attribute word of a file. It comes in two forms: the text "0x…"
// (with or without a final NUL) and Samba's binary record, a NUL-terminated
// hex string followed by version and level (16-bit little-endian) and the
// attribute word (32-bit little-endian).

inline constexpr const char *DosAttribName = "user.DOSATTRIB";

// The attribute word of a stored value, or nothing when it is unreadable.
std::optional<std::uint32_t> ParseDosAttrib(const QByteArray &value);

// The value to store for a new attribute word: an existing binary record is
// patched in place, keeping its other fields; otherwise the text form.
QByteArray ComposeDosAttrib(const QByteArray &existing, std::uint32_t attributes);
