#pragma once

class RuleWindow;

// IDATT: the attribute dialog, then every row's attribute text.
void ExeAtt(RuleWindow &window);
