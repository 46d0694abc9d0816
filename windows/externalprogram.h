#pragma once

class QString;

// Hands folder to the external program: "Explorer" (any letter case) opens
// it in the desktop's file manager, anything else is started with the
// folder and a trailing separator as its one argument. Nothing is checked
// and no message is shown.
void RunExternalProgram(const QString &program, const QString &folder);
