#pragma once

#include "engine/fileentry.h"
#include "platform/filesystem.h"

#include <QString>
#include <vector>

// Whether name is one the change log takes in its folder: the log itself,
// or the previous run's kept aside while a run is under way.
bool IsChangeLogName(const QString &name);

// The change log of one run on disk. It is written before the trial, marked
// as not complete, with the previous run's log kept aside by a rename; a run
// that renames nothing puts that one back by a rename, and a run that
// completes drops the mark. So a log never tells of renames that did not
// happen, and a full disk cannot keep the previous log from coming back.
class ChangeLogFile final
{
public:
    // The log in logFolder, of a run in renamedFolder over rows.
    ChangeLogFile(QString logFolder, QString renamedFolder, const std::vector<FileEntry> &rows);

    const QString &path() const { return m_path; }

    // Keeps the previous log aside and writes this run's. False, after its
    // message, when this run's log is not complete on disk; the previous one
    // is back then.
    bool WriteBeforeTrial();

    // The run renamed nothing: the previous log comes back. Where it cannot,
    // this run's log goes all the same, and the user is told.
    void PutBackPrevious();

    // Renaming has begun: the previous log can no longer come back.
    void DropPrevious();

    // Every file has its new name: the log loses its mark, so that the run
    // can be undone. Tells the user when that cannot be written.
    void MarkComplete();

private:
    QString m_folder;
    QString m_path;
    QString m_asidePath;
    QString m_renamedFolder;
    const std::vector<FileEntry> &m_rows;
    bool m_keptAside = false;
};
