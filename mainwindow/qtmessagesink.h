#pragma once

#include "engine/messages.h"

class QWidget;

// Shows the program's messages in modal message boxes over a parent window.
class QtMessageSink final : public MessageSink
{
public:
    explicit QtMessageSink(QWidget *parent = nullptr);

    void setParent(QWidget *parent) { m_parent = parent; }

    void ShowMessage(const QString &text, const QString &title, MessageIcon icon) override;
    bool AskYesNo(const QString &text, const QString &title, MessageIcon icon) override;
    bool AskYesNoDefaultNo(const QString &text, const QString &title, MessageIcon icon) override;

private:
    QWidget *m_parent;
};
