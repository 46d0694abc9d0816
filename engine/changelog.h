#pragma once

#include "engine/fileentry.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The first line of every change log.
QString ChangeLogHeader();

// The log line of a row: its name, its temporary name and its preview (the
// name again for an unchanged row). A name with CR or LF keeps them in the
// line form of NameToLine.
QString ChangeLogLine(const FileEntry &entry, int row);

// The whole change log of a run over rows (row k at index k - 1) in folder:
// the header, the folder and one line for every row the run touches (the
// trial renames each of them), each ended by CR LF. Names keep their exact
// bytes; the rest is UTF-8. The log of a run that has not completed says so
// below the folder, so that nobody takes its lines for renames that
// happened: the run writes it so before its trial and drops the mark only
// once every file has its new name.
QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows,
                            bool incomplete = false);

// The line that marks the log of a run that has not completed.
QString IncompleteRunLine();

// One row of a change log.
struct ChangeLogRow
{
    QString oldName;
    QString tempName;
    QString newName;
};

// What a repair and an undo read from a change log.
struct ChangeLogRecord
{
    QString folder;                 // the folder the run renamed in
    std::vector<ChangeLogRow> rows; // every row line, in the order of the log
    // The run did not complete (or was stopped in its trial): some of its
    // renames may never have happened.
    bool incomplete = false;

    // The row whose temporary name is tempName, or whose trial name (the
    // temporary name and "x") it is; the first such line counts.
    const ChangeLogRow *RowOfTemporary(const QString &name) const;

private:
    friend std::optional<ChangeLogRecord> ReadChangeLog(const QByteArray &content);
    QHash<QString, qsizetype> m_byTempName;
};

// Reads a change log, with CR LF or LF line ends and with or without a
// byte order mark; nothing when it has no folder line. A row line is split
// by its middle field, " > " + a temporary name + " > ", which no old or new
// name can contain, so either may hold " > " itself.
std::optional<ChangeLogRecord> ReadChangeLog(const QByteArray &content);
