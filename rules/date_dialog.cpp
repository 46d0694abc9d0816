#include "rules/date_dialog.h"

#include "rules/rulewindow.h"

void ExeDay(RuleWindow &) {}
