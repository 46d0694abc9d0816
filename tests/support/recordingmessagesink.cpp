#include "support/recordingmessagesink.h"

RecordingMessageSink::RecordingMessageSink() : m_installed(*this) {}

RecordingMessageSink::~RecordingMessageSink() = default;

void RecordingMessageSink::ShowMessage(const QString &text, const QString &title, MessageIcon icon)
{
    m_messages.append({text, title, icon, false});
}

bool RecordingMessageSink::AskYesNo(const QString &text, const QString &title, MessageIcon icon)
{
    m_messages.append({text, title, icon, true});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

QStringList RecordingMessageSink::texts() const
{
    QStringList out;
    for (const Message &m : m_messages)
        out.append(m.text);
    return out;
}

bool RecordingMessageSink::AskYesNoDefaultNo(const QString &text, const QString &title, MessageIcon icon)
{
    m_messages.append({text, title, icon, true, true});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}
