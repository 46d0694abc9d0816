#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// How a name is shown to the user. A byte that is not UTF-8 travels in the
// name as the code point U+10FE00 + byte (see names.h), which no font draws;
// it is shown as "\xFF", set apart from the name's own characters. The name
// itself never changes: only what is drawn does.

struct NameRun
{
    QString text;
    // The run shows escaped bytes, each as "\xFF", rather than characters.
    bool escapedBytes = false;

    bool operator==(const NameRun &) const = default;
};

// The runs of a name in order: its characters, and its escaped bytes. Joined
// they give DisplayName(name).
QList<NameRun> DisplayRuns(QStringView name);

// The name as one text to show: each escaped byte as "\xFF".
QString DisplayName(const QString &name);

// Whether the name holds a byte that is not UTF-8.
bool HasEscapedBytes(QStringView name);
