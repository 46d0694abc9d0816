#include "windows/optiondialog.h"

#include "settings/appsettings.h"

void ShowOptionDialog(AppSettings &, QWidget *) {}
