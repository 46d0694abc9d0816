#pragma once

class RuleWindow;

// IDCHG: the replace dialog, then every row's preview by ReplaceName.
void ExeReplace(RuleWindow &window);
