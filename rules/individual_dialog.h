#pragma once

class RuleWindow;

// IDEDIT and a double-click on the list: the individual edit of the current row.
void ExeOne(RuleWindow &window);
