#pragma once

#include "engine/messages.h"

#include <QList>
#include <QStringList>

// Records every message and question, and answers questions from a script.
class RecordingMessageSink final : public MessageSink
{
public:
    struct Message
    {
        QString text;
        QString title;
        MessageIcon icon = MessageIcon::None;
        bool question = false;
        bool defaultNo = false; // a question whose default button is No
    };

    RecordingMessageSink();
    ~RecordingMessageSink() override;

    void ShowMessage(const QString &text, const QString &title, MessageIcon icon) override;
    bool AskYesNo(const QString &text, const QString &title, MessageIcon icon) override;
    bool AskYesNoDefaultNo(const QString &text, const QString &title, MessageIcon icon) override;

    // Answers for the next questions, in order; unscripted questions get No.
    void scriptAnswers(QList<bool> answers) { m_answers = std::move(answers); }

    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QList<bool> m_answers;
    ScopedMessageSink m_installed;
};
