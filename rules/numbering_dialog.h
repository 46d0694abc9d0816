#pragma once

class RuleWindow;

// IDNUM: the numbering dialog, then every row numbered from the top.
void ExeNumber(RuleWindow &window);
