#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// What a rename run in a child process is to do: for each file, the name it
// is to get and its attribute text. Written by a test, read by the child
// (tests/child/run_child.cpp).
struct Planned
{
    QString name;
    QString preview;
    QString attributes = QStringLiteral("- - -");
};

void WritePlan(const QString &path, const std::vector<Planned> &plan);
std::vector<Planned> ReadPlan(const QString &path);

// What the child told of its run.
struct ChildRun
{
    bool killed = false;
    bool completed = false;
    int operations = 0;
    QStringList messages;
};

// Runs the child on folder with plan, keeping its change log in logFolder,
// killing it just before its killAt-th file-system operation (0: never).
// With asUser, as that unprivileged user (root only, through setpriv).
ChildRun RunChild(const QString &folder, const QString &logFolder, const QString &planPath, int killAt,
                  int asUser = -1);
