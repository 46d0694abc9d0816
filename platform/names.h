#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// File names on disk are bytes; in memory they are QStrings. Bytes that are
// not valid UTF-8 are carried as the private-use code points U+10FE00 + byte,
// so every name survives case mapping and the rename rules and encodes back
// to exactly the bytes it came from.

// Decodes a name as read from the file system.
QString DecodeName(QByteArrayView bytes);

// Encodes a name for a system call; the exact inverse of DecodeName.
QByteArray EncodeName(const QString &name);

// A name as one line of a file of names: CR and LF, which would end the
// line, become "/r" and "/n". No name holds "/", so the form is unambiguous
// and every other name stays as it is.
QString NameToLine(const QString &name);
// The exact inverse of NameToLine.
QString LineToName(const QString &line);

// Splits bytes at CR LF and decodes each line as a name. Only CR LF ends a
// line, since a name may hold a bare LF; a final line needs no end.
QStringList DecodeNameLines(const QByteArray &content);

// Any text as one line of a text file: a backslash, CR and LF are written as
// "\\", "\r" and "\n". For texts that may hold "/" (paths), where the name
// form of NameToLine would not do.
QString EscapeLine(const QString &text);
// The exact inverse of EscapeLine. A backslash before any other character
// stays as it is, so a line written without escapes mostly reads the same.
QString UnescapeLine(const QString &line);

// Splits the bytes of a text file into lines: LF and CR LF both end a line
// (an editor may have saved either), a final line needs no end, and a UTF-8
// byte order mark at the start is dropped.
QList<QByteArray> SplitFileLines(const QByteArray &content);

// Joins a folder and a name with the separator; the root "/" gives "/name".
QString JoinPath(const QString &folder, const QString &name);
