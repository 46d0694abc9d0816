#include "rules/insert_dialog.h"

#include "rules/rulewindow.h"

void ExeInsert(RuleWindow &) {}
