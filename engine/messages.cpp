#include "engine/messages.h"

#include <cstdio>

namespace {

class StderrSink final : public MessageSink
{
public:
    void ShowMessage(const QString &text, const QString &title, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title.isEmpty() ? ProgramTitle : title),
                     qUtf8Printable(text));
    }
    bool AskYesNo(const QString &text, const QString &title, MessageIcon icon) override
    {
        ShowMessage(text, title, icon);
        return false;
    }
};

MessageSink *&Current()
{
    static StderrSink fallback;
    static MessageSink *current = &fallback;
    return current;
}

} // namespace

MessageSink &Messages()
{
    return *Current();
}

ScopedMessageSink::ScopedMessageSink(MessageSink &sink) : m_previous(Current())
{
    Current() = &sink;
}

ScopedMessageSink::~ScopedMessageSink()
{
    Current() = m_previous;
}
