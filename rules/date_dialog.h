#pragma once

class RuleWindow;

// The date dialog, then every row named by its file's date, with letter
// suffixes for duplicates.
void ExeDay(RuleWindow &window);
