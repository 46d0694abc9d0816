#pragma once

#include "engine/fileentry.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The first line of every change log.
QString ChangeLogHeader();

// The log line of a changed row: its name, its temporary name and its
// preview. A name with CR or LF keeps them in the line form of NameToLine.
QString ChangeLogLine(const FileEntry &entry, int row);

// The whole change log of a run over rows (row k at index k - 1) in folder:
// the header, the folder and one line per changed row, each ended by CR LF.
// Names keep their exact bytes; the rest is UTF-8. The log of a run stopped
// in its trial says so below the folder, so that nobody takes its lines for
// renames that happened.
QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows,
                            bool stoppedInTrial = false);

// The line that marks the log of a run stopped in its trial.
QString StoppedInTrialLine();

// One renamed file of a change log.
struct ChangeLogRow
{
    QString oldName;
    QString tempName;
    QString newName;
};

// What a repair and an undo read from a change log.
struct ChangeLogRecord
{
    QString folder;                   // the folder the run renamed in
    QHash<QString, QString> oldNames; // temporary name → the name before the run
    std::vector<ChangeLogRow> rows;   // every row line, in the order of the log
    bool stoppedInTrial = false;      // the run renamed nothing for good
};

// Reads a change log; nothing when it has no folder line. A row line is
// split by its middle field, " > " + a temporary name + " > ", which no old
// or new name can contain, so either may hold " > " itself. Where two lines
// name the same temporary name, the first counts.
std::optional<ChangeLogRecord> ReadChangeLog(const QByteArray &content);
