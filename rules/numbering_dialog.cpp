#include "rules/numbering_dialog.h"

#include "rules/rulewindow.h"

void ExeNumber(RuleWindow &) {}
