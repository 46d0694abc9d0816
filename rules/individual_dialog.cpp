#include "rules/individual_dialog.h"

#include "rules/rulewindow.h"

void ExeOne(RuleWindow &) {}
