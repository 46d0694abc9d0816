#pragma once

struct AppSettings;
class QWidget;

// frmOption: shows the options dialog modally; on OK it stores the shortcut
// switch, the prohibited names and the external program in settings.
void ShowOptionDialog(AppSettings &settings, QWidget *parent);
