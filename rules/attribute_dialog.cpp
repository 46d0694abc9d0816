#include "rules/attribute_dialog.h"

#include "rules/rulewindow.h"

void ExeAtt(RuleWindow &) {}
