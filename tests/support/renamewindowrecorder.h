#pragma once

#include "engine/rename.h"

#include <QStringList>

// Records what the rename run asks of the main window, in order, and does
// what the window would do to the list: clears the current row, rescans.
class RenameWindowRecorder final : public RenameWindow
{
public:
    RenameWindowRecorder(FileList &list, AppSettings &settings, int sortCode = 0);

    void ClearCurrentRow() override;
    void EnableRowCommands() override;
    void FocusList() override;
    void SetBusy(bool busy) override;
    void Rescan() override;
    ProgressSink *Progress() override { return m_progress; }

    // Where the run reports its progress; none unless set.
    void setProgress(ProgressSink *progress) { m_progress = progress; }

    // "ClearCurrentRow", "EnableRowCommands", "FocusList", "SetBusy(true)",
    // "SetBusy(false)", "Rescan".
    const QStringList &calls() const { return m_calls; }
    bool busy() const { return m_busy; }
    void clear() { m_calls.clear(); }

private:
    FileList &m_list;
    AppSettings &m_settings;
    int m_sortCode;
    bool m_busy = false;
    ProgressSink *m_progress = nullptr;
    QStringList m_calls;
};
