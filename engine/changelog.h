#pragma once

#include "engine/fileentry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The first line of every change log.
QString ChangeLogHeader();

// The log line of a changed row: its name, its temporary name and its preview.
QString ChangeLogLine(const FileEntry &entry, int row);

// The whole change log of a run over rows (row k at index k - 1) in folder:
// the header, the folder and one line per changed row, each ended by CR LF.
// Names keep their exact bytes; the rest is UTF-8.
QByteArray ComposeChangeLog(const QString &folder, const std::vector<FileEntry> &rows);

// The lines of a change log as written by ComposeChangeLog.
QStringList SplitChangeLog(const QByteArray &content);

// The name from before the run of the file that carries tempName, from the
// first row line (after the two header lines) whose temporary name is
// tempName; empty when there is none.
QString FindOldName(const QStringList &lines, const QString &tempName);
