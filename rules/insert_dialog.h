#pragma once

class RuleWindow;

// IDINS: the insert dialog, then every row's preview by InsertName.
void ExeInsert(RuleWindow &window);
