#pragma once

#include <QString>
#include <array>

// The program-wide record of options, remembered inputs and window flags.
// Lines 2 to 34 of the settings file hold the persisted fields, in the order
// they are declared here.
struct AppSettings
{
    // Persisted.
    QString CurrentFolder;
    bool ProtectExtension = true;
    bool ShowShortcuts = false;
    bool ReservedFlag = true;
    // A hidden file on Linux is almost always a dot-file that configures
    // something: a first run leaves them out.
    bool ShowHidden = false;
    bool ShowSystem = true;
    bool NumberZeroPad = true;
    bool NumberAutoDigits = true;
    qint16 NumberDigits = 2;
    qint16 NumberStart = 0;
    QString NumberPattern;
    QString ReplaceFrom;
    QString ReplaceTo;
    QString InsertText;
    QString DatePrefix;
    bool ReplaceCaseSensitive = false;
    bool PictureShowNeighbours = false;
    QString ExternalProgram = QStringLiteral("Explorer");
    bool PictureWindowOpen = false;
    bool EtcWindowOpen = false;
    // Slots 1 to 10 hold the names and are persisted; slots 0 and 11 are never used.
    std::array<QString, 12> ProhibitedNames;
    // Choices added later, on lines of their own after the names: a file
    // without them loads with these values.
    qint16 DateSource = 0; // 0 the last-modified time, 1 the shooting date (Exif)
    bool ReplaceRegex = false;
    bool ReplaceAll = false;

    // Set afresh at every start.
    QString FilePattern = QStringLiteral("*.*");
    bool ReplaceFromTop = true;
    std::array<QString, 2> ReplaceFromHistory;
    std::array<QString, 2> ReplaceToHistory;
    std::array<QString, 2> InsertTextHistory;
    std::array<QString, 2> DatePrefixHistory;
    std::array<QString, 2> NumberPatternHistory;
    bool ShowExcludeConfirm = true;
    bool DateInsertOnly = false;
    bool InsertAtTop = false;
    qint16 DateType = 0;
    QString AttributeChoice;
};

// The one instance every window and module reads and writes.
AppSettings &Settings();
