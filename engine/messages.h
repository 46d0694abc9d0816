#pragma once

#include <QString>

enum class MessageIcon
{
    None,
    Information,
    Exclamation,
    Critical
};

// The one way any part of the program speaks to the user: a message box with
// an OK button, or a Yes/No question. The window implements it with message
// boxes; tests install a recorder that plays back scripted answers.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    // A box without a title of its own carries the program's title.
    virtual void ShowMessage(const QString &text, const QString &title = {},
                             MessageIcon icon = MessageIcon::None) = 0;

    // True when the user answered Yes.
    virtual bool AskYesNo(const QString &text, const QString &title = {},
                          MessageIcon icon = MessageIcon::None) = 0;

    // A question whose safe answer is No: No is the default button, so that
    // a hurried Enter never says Yes.
    virtual bool AskYesNoDefaultNo(const QString &text, const QString &title, MessageIcon icon)
    {
        return AskYesNo(text, title, icon);
    }
};

// The installed sink. Before any is installed, messages go to the standard
// error stream and questions are answered No.
MessageSink &Messages();

// Installs a sink for the lifetime of this object.
class ScopedMessageSink final
{
public:
    explicit ScopedMessageSink(MessageSink &sink);
    ~ScopedMessageSink();
    ScopedMessageSink(const ScopedMessageSink &) = delete;
    ScopedMessageSink &operator=(const ScopedMessageSink &) = delete;

private:
    MessageSink *m_previous;
};

inline const QString ProgramTitle = QStringLiteral("Kazami");

// Line break inside message texts.
inline const QString CrLf = QStringLiteral("\r\n");

// A name as a message quotes it: on one line, and cut in its middle when it
// is longer than about 200 characters, so that no box outgrows the screen.
QString QuoteName(const QString &name);
