#pragma once

#include "engine/filelist.h"
#include "engine/progress.h"
#include "settings/appsettings.h"

#include <QString>

class QWidget;

// What a rule's command needs from the main window: the list and the
// settings it works on, a parent for its dialog, its toolbar button's pressed
// look, and the command-state refresh that ends a pass.
class RuleWindow
{
public:
    virtual ~RuleWindow() = default;

    virtual FileList &list() = 0;
    virtual AppSettings &settings() = 0;
    virtual QWidget *DialogParent() = 0;

    // Greys the row commands, shows the protection state on IDEXT and drops
    // the current row (and its highlight).
    virtual void ClearCurrentRow() = 0;
    // Switches the extension protection when toggle is set, then shows it.
    virtual void CheckExt(bool toggle) = 0;
    // Shows a toolbar button pressed while its dialog is open.
    virtual void SetButtonPressed(const QString &buttonKey, bool pressed) = 0;
    // The next step of the case button: 0 upper, 1 lower, 2 proper case.
    virtual int &CaseCycle() = 0;
    // Where a rule's long reading shows how far it has come; none by default.
    virtual ProgressSink *Progress() { return nullptr; }
};
