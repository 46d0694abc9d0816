#include "rules/replace_dialog.h"

#include "rules/rulewindow.h"

void ExeReplace(RuleWindow &) {}
