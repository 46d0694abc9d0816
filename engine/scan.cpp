#include "engine/scan.h"

#include "engine/changelogfile.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "platform/sharedwork.h"
#include "settings/paths.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool IsShortcut(const QString &name)
{
    const qsizetype period = name.lastIndexOf(u'.');
    return period >= 0 && QStringView(name).mid(period) == u".lnk";
}

bool IsProhibited(const QString &name, const AppSettings &settings)
{
    for (int slot = 1; slot <= 10 && !settings.ProhibitedNames[slot].isEmpty(); ++slot) {
        if (name.compare(settings.ProhibitedNames[slot], Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

FileEntry MakeFileEntry(const FolderEntry &file)
{
    FileEntry row;
    row.Name = file.name;
    row.Preview = file.name;
    row.Attributes = MakeAttrText(file.attributes);
    row.Date = MakeDateText(file.modified);
    row.Size = MakeSizeText(file.size);
    row.Modified = file.modified;
    row.Bytes = file.size;
    row.HiddenByName = file.hiddenByName;
    row.Identity = file.identity;
    return row;
}

void InputData(FileList &list, AppSettings &settings, int sortCode, ProgressSink *progress)
{
    ProgressScope shown(progress);
    shown.BeginStage(QStringLiteral("読み込み"), 0);
    list.setCurrentRow(0);
    StripTrailingSeparators(settings.CurrentFolder);
    const QString folder = AbsoluteFolder(settings.CurrentFolder);
    // The folder is opened once; everything done to it until the next scan
    // goes through this handle.
    FolderHandle handle = folder.isEmpty() ? FolderHandle() : Fs().OpenFolder(folder);
    list.setFolder(folder, handle);

    ListOptions options;
    options.pattern = settings.FilePattern;
    options.mask =
        AttrReadOnly | (settings.ShowHidden ? AttrHidden : 0) | (settings.ShowSystem ? AttrSystem : 0);
    qint64 stageTotal = 0;
    if (progress) {
        // Names are counted as they are read, then examined of all there are.
        options.progress = [&](qint64 done, qint64 total) {
            if (total != stageTotal)
                shown.BeginStage(QStringLiteral("読み込み"), stageTotal = total);
            shown.Advance(done);
        };
    }
    std::vector<FolderEntry> found;
    std::vector<QString> allNames;
    options.allNames = &allNames;
    // A folder that cannot be read lists nothing; the user is typing a path.
    if (!handle.isOpen() || !Fs().ListFolder(handle, options, found)) {
        found.clear();
        allNames.clear();
    }

    // Where the change log lies in the folder listed (a portable copy lists
    // its own folder), it is the program's own file, rewritten by every run:
    // no rule may rename it, and a run could never take it through its
    // trial. The duplicate check still sees its name.
    const bool ownLogHere = std::any_of(found.begin(), found.end(),
                                        [](const FolderEntry &file) { return IsChangeLogName(file.name); }) &&
                            Fs().IdentifyPath(GetLogFolder()) == handle.identity();

    std::vector<const FolderEntry *> listed;
    listed.reserve(found.size());
    const bool hideShortcuts = !settings.ShowShortcuts;
    for (const FolderEntry &file : found) {
        if (hideShortcuts && IsShortcut(file.name))
            continue;
        if (ownLogHere && IsChangeLogName(file.name))
            continue;
        if (IsProhibited(file.name, settings))
            continue;
        listed.push_back(&file);
    }
    // The rows' texts (a local time among them) are made on two threads.
    std::vector<FileEntry> rows(listed.size());
    ShareOut(listed.size(), [&](size_t first, size_t last) {
        for (size_t k = first; k < last; ++k)
            rows[k] = MakeFileEntry(*listed[k]);
    });
    // The names first: whoever follows the list judges its rows by them.
    list.setFolderNames(std::move(allNames));
    list.assign(std::move(rows));

    if (sortCode >= 0 && sortCode < SortUser)
        SortSub(list, sortCode);
}

void SortSub(FileList &list, int intMode)
{
    static constexpr int Columns[9] = {0, 0, 1, 1, 3, 3, 4, 4, 2};
    if (intMode < 0 || intMode > SortUser)
        return;
    const bool descending = intMode == SortUser || intMode % 2 == 1;
    SortByColumn(list, Columns[intMode], descending);
}

namespace {

// Puts the rows in the order of keys (one per row), keeping ties in place.
template<typename KeyType, typename Compare>
void SortByKeys(FileList &list, bool descending, const std::vector<KeyType> &keys, Compare compare)
{
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compare(keys[size_t(a - 1)], keys[size_t(b - 1)]);
        return descending ? c > 0 : c < 0;
    });
    list.reorder(order);
}

// Sorts the rows by a key computed once per row.
template<typename Key, typename Compare>
void SortByKey(FileList &list, bool descending, Key key, Compare compare)
{
    using KeyType = decltype(key(list.at(1)));
    std::vector<KeyType> keys;
    keys.reserve(size_t(list.count()));
    for (int row = 1; row <= list.count(); ++row)
        keys.push_back(key(list.at(row)));
    SortByKeys(list, descending, keys, compare);
}

// A text's place in Japanese order, and the text for breaking ties.
struct TextKey
{
    QCollatorSortKey key;
    QString text;
};

// The place of each printable ASCII character in the coarse order, as the
// collator itself ranks them one by one; characters it holds equal (a and A)
// share a place. The collator orders such characters one at a time, each by
// its own weight, so these places order whole texts as it does.
const std::array<quint8, 128> &AsciiRanks()
{
    static const std::array<quint8, 128> ranks = [] {
        QCollator coarse(QLocale(QLocale::Japanese, QLocale::Japan));
        coarse.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QString> chars;
        for (char16_t c = 0x20; c < 0x7f; ++c)
            chars.emplace_back(QChar(c));
        std::stable_sort(chars.begin(), chars.end(),
                         [&](const QString &a, const QString &b) { return coarse.compare(a, b) < 0; });
        std::array<quint8, 128> out{};
        quint8 rank = 0;
        for (size_t k = 0; k < chars.size(); ++k) {
            if (k == 0 || coarse.compare(chars[k - 1], chars[k]) != 0)
                ++rank;
            out[chars[k].at(0).unicode()] = rank;
        }
        return out;
    }();
    return ranks;
}

// Appends the key of an ASCII text to out: each character's place; with
// numeric, a run of digits is the place of the digits, the count of its
// digits without leading zeros, then those digits, so that runs order by
// their value as the collator's numeric mode orders them. False for any
// other text.
bool AppendAsciiKey(const QString &text, bool numeric, std::string &out)
{
    const std::array<quint8, 128> &ranks = AsciiRanks();
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 || c >= 0x7f)
            return false;
        if (!numeric || !isDigit(text.at(i))) {
            out += char(ranks[c]);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < size && isDigit(text.at(end)))
            ++end;
        qsizetype first = i;
        while (first < end - 1 && text.at(first) == u'0')
            ++first;
        if (end - first > 100)
            return false;
        out += char(ranks[u'0']);
        out += char(end - first);
        for (qsizetype k = first; k < end; ++k)
            out += char(text.at(k).unicode());
        i = end;
    }
    return true;
}

// Sorts a column whose every text is printable ASCII by keys of our own,
// held in one buffer; the items sorted hold each key's first bytes, so that
// most comparisons never leave them. False, with nothing done, where a text
// is not ASCII.
bool SortAscii(FileList &list, int column, bool numeric, bool descending,
               const std::function<int(int, int)> &finer)
{
    struct Item
    {
        quint64 prefix;
        int row;
    };
    const size_t n = size_t(list.count());
    std::string keys;
    keys.reserve(n * 16);
    std::vector<quint32> ends(n);
    std::vector<Item> items(n);
    for (size_t k = 0; k < n; ++k) {
        const size_t start = keys.size();
        if (!AppendAsciiKey(ColumnText(list.at(int(k) + 1), column), numeric, keys))
            return false;
        ends[k] = quint32(keys.size());
        quint64 prefix = 0;
        for (size_t b = 0; b < 8; ++b)
            prefix = prefix << 8 | (start + b < keys.size() ? quint8(keys[start + b]) : 0);
        items[k] = Item{prefix, int(k) + 1};
    }
    const auto key = [&](int row) {
        const size_t start = row == 1 ? 0 : ends[size_t(row - 2)];
        return std::string_view(keys).substr(start, ends[size_t(row - 1)] - start);
    };
    std::stable_sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        int c = a.prefix != b.prefix ? (a.prefix < b.prefix ? -1 : 1) : 0;
        if (c == 0) {
            const int bytes = key(a.row).compare(key(b.row));
            c = bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
        }
        if (c == 0)
            c = finer(a.row, b.row);
        return descending ? c > 0 : c < 0;
    });
    std::vector<int> order(n);
    for (size_t k = 0; k < n; ++k)
        order[k] = items[k].row;
    list.reorder(order);
    return true;
}

// Collation keys for one column of every row; numeric keys order runs of
// digits by their value. A long list shares the work with a second thread,
// each with a collator of its own.
std::vector<TextKey> CollationKeys(const FileList &list, int column, const QLocale &locale, bool numeric)
{
    const size_t n = size_t(list.count());
    std::vector<std::optional<TextKey>> keys(n);
    auto make = [&](size_t first, size_t last) {
        QCollator coarse(locale);
        coarse.setCaseSensitivity(Qt::CaseInsensitive);
        coarse.setNumericMode(numeric);
        for (size_t i = first; i < last; ++i) {
            const QString &text = ColumnText(list.at(int(i + 1)), column);
            keys[i].emplace(TextKey{coarse.sortKey(text), text});
        }
    };
    ShareOut(n, make);
    std::vector<TextKey> out;
    out.reserve(n);
    for (std::optional<TextKey> &key : keys)
        out.push_back(std::move(*key));
    return out;
}

int CompareNumbers(qint64 a, qint64 b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

void SortByColumn(FileList &list, int column, bool descending)
{
    if (list.count() == 0)
        return;
    if (column == 3) {
        SortByKey(
            list, descending, [](const FileEntry &e) { return e.Modified; }, CompareNumbers);
    } else if (column == 4) {
        SortByKey(
            list, descending, [](const FileEntry &e) { return e.Bytes; }, CompareNumbers);
    } else {
        // Japanese order: letter case, width and kana type are ignored first
        // (ｶﾀｶﾅ with カタカナ and かたかな, Ａ with A and a); texts equal that
        // way are then told apart by them, and only identical texts keep
        // their order. Ties are rare, so the finer comparison runs on demand.
        // Names count as people do: 写真2 before 写真10, in either width.
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        const bool names = column == 0 || column == 1;
        // Opening a Japanese collator takes longer than sorting most lists:
        // it is opened for the first tie only.
        std::optional<QCollator> fine;
        const auto finer = [&](const QString &a, const QString &b) {
            if (!fine)
                fine.emplace(japanese);
            return fine->compare(a, b);
        };
        // Where every text is printable ASCII, keys of our own order the
        // texts as the collator's would, many times faster.
        if (SortAscii(list, column, names, descending, [&](int a, int b) {
                return finer(ColumnText(list.at(a), column), ColumnText(list.at(b), column));
            }))
            return;
        SortByKeys(list, descending, CollationKeys(list, column, japanese, names),
                   [&](const TextKey &a, const TextKey &b) {
                       const int c = a.key.compare(b.key);
                       return c != 0 ? c : finer(a.text, b.text);
                   });
    }
}

bool RowFileExists(const FileList &list, int row)
{
    return list.Handle().isOpen() && Fs().FileExists(list.Handle(), list.at(row).Name);
}

void DropMissingRows(FileList &list)
{
    int row = 1;
    while (row <= list.count()) {
        if (RowFileExists(list, row))
            ++row;
        else
            list.remove(row);
    }
}

void SerchAfterName(const FileList &list, QString &name)
{
    for (int row = 1; row <= list.count(); ++row) {
        const FileEntry &entry = list.at(row);
        if (entry.Name == name) {
            if (!entry.Preview.isEmpty())
                name = entry.Preview;
            return;
        }
    }
}
