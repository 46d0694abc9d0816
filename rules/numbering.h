#pragma once

#include "engine/fileentry.h"
#include "settings/appsettings.h"

#include <QString>
#include <optional>

// One numbering run, from its PrepareNumbering to the last row's NumberName.
struct NumberingState
{
    int NumberCounter = 0;               // the number the next row receives
    int NumberWidth = 1;                 // the fewest digits written, zeros in front
    QString NumberPrefix;                // the pattern before its first "?"
    QString NumberSuffix;                // the pattern after its first "?"
    bool NumberPatternHasPeriod = false; // the pattern names the extension itself
};

// The largest number a run may give: the counter is a 16-bit value.
inline constexpr int MaxNumber = 32767;

// Sets up a run over rowCount rows from NumberPattern, NumberStart and the
// digit options. With automatic digits the width is that of the last number.
NumberingState PrepareNumbering(const AppSettings &settings, int rowCount);

// Sets the preview to the pattern with the next number at its first "?" (at
// its end without one), followed by the name's own extension unless the
// pattern brings a period while ProtectExtension is clear. Advances the
// counter; call once per row, from the top.
void NumberName(FileEntry &entry, NumberingState &state, const AppSettings &settings);

// The value of a text that reads as a number, leniently: blanks around it, a
// sign, a decimal part and an exponent are accepted. Nothing for an empty or
// other text.
std::optional<double> NumericValue(const QString &text);
