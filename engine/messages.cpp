#include "engine/messages.h"

#include "platform/names.h"

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

QString QuoteName(const QString &name)
{
    constexpr qsizetype Longest = 200;
    const QString line = NameToLine(name);
    if (line.size() <= Longest)
        return line;
    qsizetype head = Longest / 2;
    qsizetype tail = line.size() - (Longest - head - 1);
    // Never cut a character given by two code units in half.
    if (line.at(head - 1).isHighSurrogate())
        --head;
    if (line.at(tail).isLowSurrogate())
        ++tail;
    return line.left(head) + QStringLiteral("…") + line.sliced(tail);
}
