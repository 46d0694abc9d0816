#include "rules/rulepass.h"

void PassOverRows(FileList &list, const std::function<void(FileEntry &)> &rule)
{
    const int count = list.count();
    std::vector<FileEntry> entries;
    entries.reserve(size_t(count));
    for (int row = 1; row <= count; ++row) {
        FileEntry entry = list.ReadRow(row);
        rule(entry);
        entries.push_back(std::move(entry));
    }
    list.WriteRows(std::move(entries));
}
