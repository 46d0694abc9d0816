#pragma once

class QMessageBox;
class QPlainTextEdit;
class QWidget;

enum class WindowSizing
{
    Fixed,     // as large as its contents ask, and the user cannot resize it
    Resizable, // the user may make it larger
};

// Gives a dialog or a small window the frame of a desktop application's
// dialog: a title and, where closeButton is set, a close button; never a
// minimise or maximise button. Its controls are described for screen
// readers as they stand now.
void SetDialogChrome(QWidget *window, WindowSizing sizing, bool closeButton = true);

// Makes a read-only text box as large as its lines, so that all of it shows
// without a scroll bar, in whatever fonts its characters are drawn.
void FitToText(QPlainTextEdit *box);

// Makes a message box wide enough for a window manager to show its whole
// title beside the frame's buttons.
void FitTitle(QMessageBox *box);
