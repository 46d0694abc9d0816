#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the command line "kazami [FOLDER]" asks of the program.
struct CommandLine
{
    // Set when the program ends at once without a window: it prints text,
    // to the standard output for exit code 0, else to the standard error.
    bool exit = false;
    int exitCode = 0;
    QString text;
    // The folder to start in, absolute; empty when none was named.
    QString folder;
};

// Reads the arguments, the program's name first. FOLDER is a path or a
// file:// URI, as a file manager passes it; its bytes (a URI's after its
// percent-escapes) are kept exactly, as a listed name's are. --help and
// --version are answered whatever else the line holds.
CommandLine ParseCommandLine(const QList<QByteArray> &arguments);

// The arguments as the application leaves them once it has taken its own
// options (-platform NAME, --style=NAME, -reverse ...): what is left is
// ours, and can be judged before the application starts.
QList<QByteArray> WithoutQtOptions(const QList<QByteArray> &arguments);

// The program's version, as --version prints it.
QString ProgramVersion();
