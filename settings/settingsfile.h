#pragma once

#include "settings/appsettings.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>

// The settings file: beside the executable, or in the user's configuration
// folder where the program folder cannot be written.
QString SettingsFilePath();

enum class LoadResult
{
    Loaded,   // a complete settings file was read
    FirstRun, // none could be read: the disclaimer was accepted, defaults written
    Refused,  // the disclaimer was refused: the program must end, nothing was written
};

// Shown on the first-run path before anything is written; returns whether
// the user accepted. Until the window installs the disclaimer, it accepts.
void SetFirstRunHook(std::function<bool()> hook);

// Fills settings from the settings file, or runs the first-run path.
LoadResult LoadSettings(AppSettings &settings = Settings());

// Reads settings from the bytes of a settings file; false when they are not a
// complete one. Fields read before the failure keep their new values.
bool ReadSettings(const QByteArray &content, AppSettings &settings);

// Writes all persisted fields to the settings file, replacing it. On failure
// it tells the user once and returns false; nothing else is lost.
bool SaveSettings(const AppSettings &settings = Settings());

// The 34 lines of a settings file, CR LF ended, UTF-8.
QByteArray ComposeSettings(const AppSettings &settings);

void SetDefaultSettings(AppSettings &settings);

QString BoolToText(bool value);
bool TextToBool(const QString &text);

// A number read leniently: leading blanks skipped, sign and digits (and a
// fraction or exponent) up to the first character that cannot continue a
// number, rounded half to even; text without a number gives 0. Nothing when
// the value does not fit a 16-bit integer.
std::optional<qint16> ParseLenientInteger(const QString &text);

// Decodes a text file of ours: strict UTF-8 (a BOM is accepted), else cp932.
QString DecodeTextFile(const QByteArray &content);

// Pushes value onto a three-entry history, most recent first, keeping no
// non-empty value twice.
void PushHistory(const QString &value, QString &current, std::array<QString, 2> &previous);

// The non-empty entries of a history, current value first.
QStringList HistoryEntries(const QString &current, const std::array<QString, 2> &previous);

// Warns when the folder CurrentFolder names, a relative text taken as the
// scan takes it, is a system folder or lies inside one. Advice only: the
// folder stays chosen.
void WarnSystemFolder(const AppSettings &settings = Settings());
