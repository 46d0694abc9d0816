#include "support/renamewindowrecorder.h"

#include "engine/scan.h"

RenameWindowRecorder::RenameWindowRecorder(FileList &list, AppSettings &settings, int sortCode)
    : m_list(list), m_settings(settings), m_sortCode(sortCode)
{}

void RenameWindowRecorder::ClearCurrentRow()
{
    m_calls.append(QStringLiteral("ClearCurrentRow"));
    m_list.setCurrentRow(0);
}

void RenameWindowRecorder::EnableRowCommands()
{
    m_calls.append(QStringLiteral("EnableRowCommands"));
}

void RenameWindowRecorder::FocusList()
{
    m_calls.append(QStringLiteral("FocusList"));
}

void RenameWindowRecorder::SetBusy(bool busy)
{
    m_calls.append(busy ? QStringLiteral("SetBusy(true)") : QStringLiteral("SetBusy(false)"));
    m_busy = busy;
}

void RenameWindowRecorder::Rescan()
{
    m_calls.append(QStringLiteral("Rescan"));
    InputData(m_list, m_settings, m_sortCode);
}
