#pragma once

#include "engine/fileentry.h"

#include <QString>
#include <QStringView>

// The conversions of the other-conversions window and the third step of the
// case button.
enum ConvertKind : int
{
    ConvertProperCase = 0,
    ConvertToFullWidth = 1,
    ConvertToHalfWidth = 2,
    ConvertToKatakana = 3,
    ConvertToHiragana = 4,
    ConvertShiftPeriod = 7,
    ConvertJoinMarks = 8,
};

// Upper or lower case of the preview, or of the current name where the
// preview is empty; with protection the extension stays as it is.
void CaseName(FileEntry &entry, bool upper, bool protectExtension);

// One press of the case button at step 0 (upper case), 1 (lower case) or 2
// (proper case).
void CaseStepName(FileEntry &entry, int step, bool protectExtension);

// Converts the preview as kind says; with protection the extension stays as
// it is. The period shift works from the current name instead. Any other
// kind leaves the row alone.
void ConvertName(FileEntry &entry, int kind, bool protectExtension);

// Words separated by spaces (U+0020) only: each word's first character in
// title case, the rest in lower case.
QString ProperCase(QStringView text);

// ASCII, the space and half-width katakana and punctuation to their
// full-width forms; a half-width kana followed by its voiced or semi-voiced
// mark becomes one character.
QString ToFullWidth(QStringView text);

// The reverse of ToFullWidth; a voiced kana becomes the kana and its mark.
QString ToHalfWidth(QStringView text);

// Hiragana to the katakana of the same sound, and back.
QString ToKatakana(QStringView text);
QString ToHiragana(QStringView text);

// Every character written as a base and combining marks joined into one
// where Unicode has one (NFC): か and the combining voiced mark U+3099, as
// names from some systems arrive, become が. Spacing marks (゛ U+309B) stay.
QString JoinMarks(QStringView text);
