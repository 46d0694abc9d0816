#include "rules/rulepass.h"

void PassOverRows(FileList &list, const std::function<void(FileEntry &)> &rule)
{
    const int count = list.count();
    for (int row = 1; row <= count; ++row) {
        FileEntry entry = list.ReadRow(row);
        rule(entry);
        list.WriteRow(row, entry);
    }
}
