#include "engine/scan.h"
#include "platform/filesystem.h"
#include "platform/names.h"
#include "settings/paths.h"
#include "support/strings.h"
#include "support/tempfolder.h"

#include <QCollator>
#include <QDir>
#include <QRandomGenerator>
#include <QTest>
#include <atomic>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <thread>
#include <unistd.h>

namespace {

QStringList RowNames(const FileList &list)
{
    QStringList names;
    for (int row = 1; row <= list.count(); ++row)
        names.append(list.at(row).Name);
    return names;
}

// A settings record that lists everything in folder.
AppSettings SettingsFor(const TempFolder &folder, const QString &pattern = QStringLiteral("*.*"))
{
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    settings.FilePattern = pattern;
    return settings;
}

} // namespace

class ScanTest : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void attrTextRoundTrip_data();
    void attrTextRoundTrip();
    void exclusions();
    void pattern_data();
    void pattern();
    void hiddenAndSystem_data();
    void hiddenAndSystem();
    void rowsMirrorTheDisk();
    void unreadableFolders();
    void trailingSeparatorsAndRoot();
    void undecodableNames();
    void sorting();
    void japaneseOrder_data();
    void japaneseOrder();
    void identicalTextsKeepTheirOrder();
    void asciiNamesSortAsTheCollator();
    void localTimeThroughOffsetChanges();
    void dropMissingRows();
    void scanLeavesTheWorkingFolderAlone();
    void relativeFolderIsMadeAbsolute();
    void serchAfterName();
    void moreThanRowLimit();
};

void ScanTest::texts()
{
    QCOMPARE(MakeSizeText(0), QString(11, u' ') + u'0');
    QCOMPARE(MakeSizeText(1234567), QStringLiteral("     1234567"));
    QCOMPARE(MakeSizeText(1234567890123456), QStringLiteral("123456789012"));
    QCOMPARE(MakeCountText(12), QStringLiteral("12 FILES"));
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    QCOMPARE(MakeDateText(when.toSecsSinceEpoch()), QStringLiteral("24/03/05 14:07:09"));
    const QDateTime old(QDate(1999, 12, 31), QTime(0, 0, 0));
    QCOMPARE(MakeDateText(old.toSecsSinceEpoch()), QStringLiteral("99/12/31 00:00:00"));
    QCOMPARE(MakeDateText(std::numeric_limits<qint64>::max()), QStringLiteral("--/--/-- --:--:--"));
}

void ScanTest::attrTextRoundTrip_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << 0 << "- - -";
    QTest::newRow("read-only") << 1 << "R - -";
    QTest::newRow("hidden system") << 6 << "- H S";
    QTest::newRow("all, archive and folder ignored") << (1 | 2 | 4 | 16 | 32) << "R H S";
}

void ScanTest::attrTextRoundTrip()
{
    QFETCH(int, bits);
    QFETCH(QString, text);
    QCOMPARE(MakeAttrText(bits), text);
    QCOMPARE(ParseAttrText(text), bits & 7);
    QCOMPARE(ParseAttrText(text.toLower()), bits & 7);
}

void ScanTest::exclusions()
{
    TempFolder folder;
    for (const char *name : {"README", "link.lnk", "LINK.LNK", "link.lnk.txt", "Desktop.INI",
                             "desktop.ini.bak", "Thumbs.db", "keep.me"})
        folder.addFile(QString::fromLatin1(name));
    folder.addFolder(QStringLiteral("sub.txt"));

    AppSettings settings = SettingsFor(folder);
    settings.ProhibitedNames[1] = QStringLiteral("desktop.ini");
    settings.ProhibitedNames[2] = QStringLiteral("nothing");
    settings.ProhibitedNames[4] = QStringLiteral("Thumbs.db"); // after an empty slot: ignored
    FileList list;
    list.setCurrentRow(3);
    InputData(list, settings, SortNameAscending);
    QCOMPARE(RowNames(list),
             Strings({"desktop.ini.bak", "keep.me", "LINK.LNK", "link.lnk.txt", "README", "Thumbs.db"}));
    QCOMPARE(list.CurrentRow(), 0);

    settings.ShowShortcuts = true;
    InputData(list, settings, SortNameAscending);
    QVERIFY(RowNames(list).contains(QStringLiteral("link.lnk")));
}

void ScanTest::pattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    const QStringList all = {QStringLiteral("A.JPG"), QStringLiteral("b.jpg"), QStringLiteral("c.txt"),
                             QStringLiteral("noext")};
    QTest::newRow("star dot star") << "*.*" << all;
    QTest::newRow("empty") << "" << all;
    QTest::newRow("jpg any case") << "*.jpg"
                                  << QStringList({QStringLiteral("A.JPG"), QStringLiteral("b.jpg")});
    QTest::newRow("question mark") << "?.txt" << QStringList({QStringLiteral("c.txt")});
    QTest::newRow("nothing") << "*.mp3" << QStringList();
    QTest::newRow("only the subfolder") << "sub" << QStringList();
}

void ScanTest::pattern()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    TempFolder folder;
    for (const char *name : {"A.JPG", "b.jpg", "c.txt", "noext"})
        folder.addFile(QString::fromLatin1(name));
    folder.addFolder(QStringLiteral("sub"));
    AppSettings settings = SettingsFor(folder, pattern);
    FileList list;
    InputData(list, settings, SortNameAscending);
    QCOMPARE(RowNames(list), names);
}

void ScanTest::hiddenAndSystem_data()
{
    QTest::addColumn<bool>("showHidden");
    QTest::addColumn<bool>("showSystem");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("neither") << false << false
                             << QStringList({QStringLiteral("plain.txt"), QStringLiteral("readonly.txt")});
    QTest::newRow("hidden only") << true << false
                                 << QStringList({QStringLiteral(".dot"), QStringLiteral("hidden.txt"),
                                                 QStringLiteral("plain.txt"),
                                                 QStringLiteral("readonly.txt")});
    QTest::newRow("system only") << false << true
                                 << QStringList({QStringLiteral("plain.txt"), QStringLiteral("readonly.txt"),
                                                 QStringLiteral("system.txt")});
    QTest::newRow("both") << true << true
                          << QStringList({QStringLiteral(".dot"), QStringLiteral("both.txt"),
                                          QStringLiteral("hidden.txt"), QStringLiteral("plain.txt"),
                                          QStringLiteral("readonly.txt"), QStringLiteral("system.txt")});
}

void ScanTest::hiddenAndSystem()
{
    QFETCH(bool, showHidden);
    QFETCH(bool, showSystem);
    QFETCH(QStringList, names);
    TempFolder folder;
    for (const char *name : {"plain.txt", "readonly.txt", ".dot", "hidden.txt", "system.txt", "both.txt"})
        folder.addFile(QString::fromLatin1(name));
    folder.setReadOnly(QStringLiteral("readonly.txt"), true);
    if (!folder.setDosAttributes(QStringLiteral("hidden.txt"), AttrHidden | AttrArchive) ||
        !folder.setDosAttributes(QStringLiteral("system.txt"), AttrSystem) ||
        !folder.setDosAttributes(QStringLiteral("both.txt"), AttrHidden | AttrSystem))
        QSKIP("this file system keeps no user attributes");

    AppSettings settings = SettingsFor(folder);
    settings.ShowHidden = showHidden;
    settings.ShowSystem = showSystem;
    FileList list;
    InputData(list, settings, SortNameAscending);
    QCOMPARE(RowNames(list), names);

    for (int row = 1; row <= list.count(); ++row) {
        const FileEntry entry = list.ReadRow(row);
        const QString expected = entry.Name == u"readonly.txt" ? QStringLiteral("R - -")
                                 : entry.Name == u"hidden.txt" || entry.Name == u".dot"
                                     ? QStringLiteral("- H -")
                                 : entry.Name == u"system.txt" ? QStringLiteral("- - S")
                                 : entry.Name == u"both.txt"   ? QStringLiteral("- H S")
                                                               : QStringLiteral("- - -");
        QCOMPARE(entry.Attributes, expected);
    }
}

void ScanTest::rowsMirrorTheDisk()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("写真.jpg"), QByteArray(1234567, 'x'));
    folder.addFile(QStringLiteral("empty"));
    const QDateTime when(QDate(2023, 11, 2), QTime(8, 9, 10));
    folder.setModified(QStringLiteral("写真.jpg"), when);

    AppSettings settings = SettingsFor(folder);
    FileList list;
    InputData(list, settings, SortSizeDescending);
    QCOMPARE(list.count(), 2);
    const FileEntry big = list.ReadRow(1);
    QCOMPARE(big.Name, QStringLiteral("写真.jpg"));
    QCOMPARE(big.Preview, big.Name);
    QCOMPARE(big.Size, QStringLiteral("     1234567"));
    QCOMPARE(big.Date, QStringLiteral("23/11/02 08:09:10"));
    QCOMPARE(list.ReadRow(2).Size, QStringLiteral("           0"));
}

void ScanTest::unreadableFolders()
{
    TempFolder folder;
    const QString file = folder.addFile(QStringLiteral("plain.txt"));
    FileList list;
    for (const QString &path :
         {folder.filePath(QStringLiteral("missing")), file, QStringLiteral("relative/nowhere")}) {
        AppSettings settings;
        settings.CurrentFolder = path;
        list.append(QStringLiteral("stale"));
        InputData(list, settings, SortNameAscending);
        QCOMPARE(list.count(), 0);
    }
}

void ScanTest::trailingSeparatorsAndRoot()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("a.txt"));
    AppSettings settings = SettingsFor(folder);
    settings.CurrentFolder += QStringLiteral("///");
    FileList list;
    InputData(list, settings, SortNameAscending);
    QCOMPARE(settings.CurrentFolder, folder.path());
    QCOMPARE(list.count(), 1);

    // The root keeps its one separator and is scanned; an empty text is no folder.
    settings.CurrentFolder = QStringLiteral("//");
    settings.FilePattern = QStringLiteral("*");
    InputData(list, settings, SortNameAscending);
    QCOMPARE(settings.CurrentFolder, QStringLiteral("/"));
    QCOMPARE(list.Folder(), QStringLiteral("/"));
    QVERIFY(list.count() == 0 || RowFileExists(list, 1));
    settings.CurrentFolder.clear();
    InputData(list, settings, SortNameAscending);
    QCOMPARE(list.count(), 0);
}

void ScanTest::undecodableNames()
{
    TempFolder folder;
    folder.addRawFile(QByteArray("caf\xe9.txt"), "latin");
    AppSettings settings = SettingsFor(folder, QStringLiteral("*.TXT"));
    FileList list;
    InputData(list, settings, SortNameAscending);
    QCOMPARE(list.count(), 1);
    QCOMPARE(EncodeName(list.at(1).Name), QByteArray("caf\xe9.txt"));
    QVERIFY(RowFileExists(list, 1));
}

void ScanTest::sorting()
{
    FileList list;
    std::vector<FileEntry> rows(3);
    rows[0] = {QStringLiteral("b.txt"), QStringLiteral("z"), QStringLiteral("- - -"),
               QStringLiteral("99/01/01 00:00:00"), MakeSizeText(9)};
    rows[1] = {QStringLiteral("A.txt"), QStringLiteral("y"), QStringLiteral("R - -"),
               QStringLiteral("24/01/01 00:00:00"), MakeSizeText(1000)};
    rows[2] = {QStringLiteral("c.txt"), QStringLiteral("X"), QStringLiteral("- H -"),
               QStringLiteral("24/01/02 00:00:00"), MakeSizeText(10)};
    // 1999, 2024-01-01 and 2024-01-02; the sizes as their texts say.
    const qint64 times[3] = {915148800, 1704067200, 1704153600};
    const qint64 sizes[3] = {9, 1000, 10};
    for (int k = 0; k < 3; ++k) {
        rows[size_t(k)].Modified = times[k];
        rows[size_t(k)].Bytes = sizes[k];
    }
    list.assign(rows);
    list.setHighlighted(1, true);
    list.setCurrentRow(1);

    SortSub(list, SortNameAscending);
    QCOMPARE(RowNames(list),
             QStringList({QStringLiteral("A.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
    QVERIFY(list.highlighted(2)); // the highlight and the current row follow their row
    QCOMPARE(list.CurrentRow(), 2);
    SortSub(list, SortNameDescending);
    QCOMPARE(RowNames(list),
             QStringList({QStringLiteral("c.txt"), QStringLiteral("b.txt"), QStringLiteral("A.txt")}));
    SortSub(list, SortPreviewAscending);
    QCOMPARE(list.at(1).Preview, QStringLiteral("X"));
    SortSub(list, SortSizeAscending);
    QCOMPARE(RowNames(list),
             QStringList({QStringLiteral("b.txt"), QStringLiteral("c.txt"), QStringLiteral("A.txt")}));
    // The time itself decides, not its two-digit year: 1999 comes first.
    SortSub(list, SortDateAscending);
    QCOMPARE(list.at(1).Name, QStringLiteral("b.txt"));
    SortSub(list, SortDateDescending);
    QCOMPARE(list.at(3).Name, QStringLiteral("b.txt"));
    SortSub(list, SortUser);
    QCOMPARE(RowNames(list),
             QStringList({QStringLiteral("A.txt"), QStringLiteral("c.txt"), QStringLiteral("b.txt")}));
}

void ScanTest::japaneseOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("kana/width and kana type ignored first")
        << Strings({"ｶﾀｶﾅ_b.txt", "かたかな_c.txt", "カタカナ_a.txt"})
        << Strings({"カタカナ_a.txt", "ｶﾀｶﾅ_b.txt", "かたかな_c.txt"});
    QTest::newRow("latin/width and case ignored first")
        << Strings({"ｂ_2.txt", "ａ_4.txt", "Ｂ_1.txt", "A_3.txt"})
        << Strings({"A_3.txt", "ａ_4.txt", "Ｂ_1.txt", "ｂ_2.txt"});
    QTest::newRow("kana/half-width katakana among the kana, before kanji")
        << Strings({"漢字.txt", "ｳ.txt", "写真.txt", "い.txt", "ア.txt"})
        << Strings({"ア.txt", "い.txt", "ｳ.txt", "漢字.txt", "写真.txt"});
    QTest::newRow("mixed/digits, letters, kana, kanji")
        << Strings({"か.txt", "山.txt", "b.txt", "２.txt", "1.txt", "Ａ.txt", "ﾀ.txt"})
        << Strings({"1.txt", "２.txt", "Ａ.txt", "b.txt", "か.txt", "ﾀ.txt", "山.txt"});
    QTest::newRow("kana/voiced after unvoiced")
        << Strings({"がっこう", "カッコウ", "かっこ"}) << Strings({"かっこ", "カッコウ", "がっこう"});
    QTest::newRow("ties/case decides only between otherwise equal names, either way in")
        << Strings({"A.txt", "b.txt", "a.txt"}) << Strings({"a.txt", "A.txt", "b.txt"});
    QTest::newRow("ties/the same names given the other way round")
        << Strings({"a.txt", "b.txt", "A.txt"}) << Strings({"a.txt", "A.txt", "b.txt"});
}

void ScanTest::japaneseOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, ascending);
    FileList list;
    std::vector<FileEntry> rows;
    for (const QString &name : names)
        rows.push_back({name, name, QStringLiteral("- - -"), QString(), MakeSizeText(0)});
    list.assign(rows);
    SortByColumn(list, 0, false);
    QCOMPARE(RowNames(list), ascending);
    SortByColumn(list, 1, true);
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(RowNames(list), ascending);
}

void ScanTest::identicalTextsKeepTheirOrder()
{
    FileList list;
    list.assign({{QStringLiteral("1"), QStringLiteral("同じ.txt"), {}, {}, {}},
                 {QStringLiteral("2"), QStringLiteral("別.txt"), {}, {}, {}},
                 {QStringLiteral("3"), QStringLiteral("同じ.txt"), {}, {}, {}}});
    SortByColumn(list, 1, false);
    QCOMPARE(RowNames(list), Strings({"1", "3", "2"}));
    SortByColumn(list, 1, true);
    QCOMPARE(RowNames(list), Strings({"2", "1", "3"}));
}

void ScanTest::dropMissingRows()
{
    TempFolder folder;
    for (const char *name : {"1.txt", "2.txt", "3.txt", "4.txt"})
        folder.addFile(QString::fromLatin1(name));
    folder.addFolder(QStringLiteral("5.txt"));
    AppSettings settings = SettingsFor(folder);
    FileList list;
    InputData(list, settings, SortNameAscending);
    list.append(QStringLiteral("5.txt")); // a folder by that name is not the file
    QFile::remove(folder.filePath(QStringLiteral("2.txt")));
    QFile::remove(folder.filePath(QStringLiteral("3.txt")));
    // A dangling link is still an entry of the folder: it stays listed.
    QCOMPARE(::symlink("nowhere", QByteArray(folder.encodedPath() + "/6.lnk.txt").constData()), 0);
    list.append(QStringLiteral("6.lnk.txt"));
    DropMissingRows(list);
    QCOMPARE(RowNames(list),
             QStringList({QStringLiteral("1.txt"), QStringLiteral("4.txt"), QStringLiteral("6.lnk.txt")}));
}

void ScanTest::scanLeavesTheWorkingFolderAlone()
{
    // Another thread opens a relative name all the while: it must never find
    // the scanned folder's file, which only a change of working folder shows.
    TempFolder folder;
    for (int i = 0; i < 300; ++i)
        folder.addFile(QStringLiteral("f%1.txt").arg(i));
    folder.addFile(QStringLiteral("kazami-probe"));
    const QByteArray before = QDir::currentPath().toUtf8();
    std::atomic<bool> done = false;
    std::atomic<int> seen = 0;
    std::thread probe([&] {
        while (!done) {
            const int fd = ::open("kazami-probe", O_RDONLY);
            if (fd >= 0) {
                ++seen;
                ::close(fd);
            }
        }
    });
    AppSettings settings = SettingsFor(folder);
    FileList list;
    for (int run = 0; run < 20; ++run)
        InputData(list, settings, SortUser);
    done = true;
    probe.join();
    QCOMPARE(seen.load(), 0);
    QCOMPARE(QDir::currentPath().toUtf8(), before);
    QCOMPARE(list.count(), 301);
}

void ScanTest::relativeFolderIsMadeAbsolute()
{
    TempFolder folder;
    folder.addFile(QStringLiteral("x.txt"));
    AppSettings settings;
    settings.CurrentFolder = QDir::current().relativeFilePath(folder.path());
    QVERIFY(!settings.CurrentFolder.startsWith(u'/'));
    FileList list;
    InputData(list, settings, SortNameAscending);
    // Taken against the working folder as it is, without resolving "..".
    QCOMPARE(list.Folder(), QDir::currentPath() + u'/' + settings.CurrentFolder);
    QCOMPARE(RowNames(list), QStringList{QStringLiteral("x.txt")});
}

void ScanTest::serchAfterName()
{
    FileList list;
    list.assign({{QStringLiteral("a.txt"), QStringLiteral("b.txt"), {}, {}, {}},
                 {QStringLiteral("e.txt"), QString(), {}, {}, {}},
                 {QStringLiteral("a.txt"), QStringLiteral("second.txt"), {}, {}, {}}});
    QString name = QStringLiteral("a.txt");
    SerchAfterName(list, name);
    QCOMPARE(name, QStringLiteral("b.txt"));
    name = QStringLiteral("e.txt");
    SerchAfterName(list, name);
    QCOMPARE(name, QStringLiteral("e.txt"));
    name = QStringLiteral("A.TXT");
    SerchAfterName(list, name);
    QCOMPARE(name, QStringLiteral("A.TXT"));
}

void ScanTest::moreThanRowLimit()
{
    // Past 32,766 files every file is still listed: row numbers are not
    // limited to 16 bits here.
    TempFolder folder;
    constexpr int Files = 32800;
    for (int i = 0; i < Files; ++i)
        folder.addFile(QString::number(i));
    AppSettings settings = SettingsFor(folder);
    FileList list;
    InputData(list, settings, SortNameDescending);
    QCOMPARE(list.count(), Files);
    QCOMPARE(list.at(1).Name, QStringLiteral("32799"));
}

void ScanTest::asciiNamesSortAsTheCollator()
{
    // ASCII names sort by keys of the program's own; they must order every
    // list exactly as the collator's keys would, in both directions, with
    // digit runs by value.
    static const QString Alphabet = QStringLiteral("aAbBzZ0019 ._-~!#(+=@[^`{$,;'&%");
    QRandomGenerator random(20261207);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QCollator coarse(japanese);
    coarse.setCaseSensitivity(Qt::CaseInsensitive);
    coarse.setNumericMode(true);
    const QCollator fine(japanese);
    for (int round = 0; round < 6; ++round) {
        FileList list;
        QStringList names;
        for (int k = 0; k < 300; ++k) {
            QString name;
            const int length = 1 + int(random.bounded(7));
            for (int c = 0; c < length; ++c)
                name += Alphabet.at(random.bounded(Alphabet.size()));
            names.append(name);
            list.append(name);
        }
        for (const bool descending : {false, true}) {
            QStringList expected = names;
            std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
                int c = coarse.compare(a, b);
                if (c == 0)
                    c = fine.compare(a, b);
                return descending ? c > 0 : c < 0;
            });
            SortByColumn(list, 0, descending);
            QStringList sorted;
            for (int row = 1; row <= list.count(); ++row)
                sorted.append(list.at(row).Name);
            // Equal texts may stand in either order; compare the texts.
            QCOMPARE(sorted, expected);
            list.clear();
            for (const QString &name : names)
                list.append(name);
        }
    }
}

void ScanTest::localTimeThroughOffsetChanges()
{
    // Times an hour apart and within one hour, around the changes of
    // summer time (Lord Howe's is half an hour), must read as localtime_r
    // reads them, however the hours were met before; a new zone counts.
    const QByteArray before = qgetenv("TZ");
    for (const char *zone : {"Europe/Berlin", "Australia/Lord_Howe", "UTC", "Asia/Tokyo"}) {
        qputenv("TZ", zone);
        tzset();
        for (const qint64 change :
             {qint64(1774746000), qint64(1792890000), qint64(1775314800), qint64(1791041400)}) {
            for (qint64 t = change - 7300; t < change + 7300; t += 599) {
                for (const qint64 at : {t, t + 1, t + 1799}) {
                    const std::time_t raw = std::time_t(at);
                    std::tm local{};
                    QVERIFY(localtime_r(&raw, &local));
                    const std::array<int, 6> expected = {local.tm_year % 100, local.tm_mon + 1, local.tm_mday,
                                                         local.tm_hour,       local.tm_min,     local.tm_sec};
                    QVERIFY2(LocalTimeFields(at) == expected,
                             qPrintable(QStringLiteral("%1 at %2").arg(QLatin1StringView(zone)).arg(at)));
                }
            }
        }
    }
    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
    tzset();
}

QTEST_GUILESS_MAIN(ScanTest)
#include "scan_test.moc"
