#pragma once

// The outcome of the last modal dialog: a dialog sets it false when it opens,
// true on its OK path and false when cancelled; its caller reads it after the
// dialog has closed.
inline bool flgDlgOK = false;
