#include "engine/scan.h"
#include "engine/validation.h"
#include "platform/exif.h"
#include "platform/filesystem.h"
#include "rules/conversion.h"
#include "rules/date.h"
#include "rules/replace.h"
#include "rules/rulepass.h"
#include "settings/settingsfile.h"
#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/taggedpictures.h"
#include "support/tempfolder.h"

#include <QTest>
#include <algorithm>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QDateTime EighthOfJanuary(QDate(2000, 1, 8), QTime(12, 0));

QStringList Previews(const FileList &list)
{
    QStringList previews;
    for (int row = 1; row <= list.count(); ++row)
        previews.append(list.at(row).Preview);
    return previews;
}

QStringList Names(const FileList &list, int column)
{
    QStringList names;
    for (int row = 1; row <= list.count(); ++row)
        names.append(ColumnText(list.at(row), column));
    return names;
}

// Fills list with rows of these names, and previews where given.
void Fill(FileList &list, const QStringList &names, const QStringList &previews = {})
{
    std::vector<FileEntry> rows;
    for (qsizetype k = 0; k < names.size(); ++k)
        rows.push_back(FileEntry{names[k], previews.isEmpty() ? names[k] : previews[k], {}, {}, {}});
    list.assign(std::move(rows));
}

} // namespace

class RulesPowerTest : public QObject
{
    Q_OBJECT

private slots:
    void shootingDate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("preview");
        const QString taken = u"2021:07:15 10:20:30"_s, digitized = u"2019:03:04 05:06:07"_s;
        const QByteArray jpeg = TaggedPicture(u"jpeg"_s, taken, digitized);
        const QByteArray tiff = TaggedPicture(u"tiff"_s, taken);
        QTest::newRow("jpeg/original before digitized") << u"p.jpg"_s << jpeg << 1 << u"D210715.jpg"_s;
        QTest::newRow("jpeg/digitized without original")
            << u"p.jpg"_s << TaggedPicture(u"jpeg"_s, {}, digitized) << 1 << u"D190304.jpg"_s;
        QTest::newRow("jpeg/modification time chosen") << u"p.jpg"_s << jpeg << 0 << u"D000108.jpg"_s;
        QTest::newRow("jpeg/no date falls back")
            << u"p.jpg"_s << TaggedPicture(u"jpeg"_s, {}) << 1 << u"D000108.jpg"_s;
        QTest::newRow("jpeg/zero date falls back")
            << u"p.jpg"_s << TaggedPicture(u"jpeg"_s, u"0000:00:00 00:00:00"_s) << 1 << u"D000108.jpg"_s;
        QTest::newRow("jpeg/cut short falls back") << u"p.jpg"_s << jpeg.first(40) << 1 << u"D000108.jpg"_s;
        QTest::newRow("tiff") << u"p.tif"_s << tiff << 1 << u"D210715.tif"_s;
        // Nikon, Sony and Adobe raw files are TIFF files to the library.
        QTest::newRow("raw/nef") << u"DSC_0001.NEF"_s << tiff << 1 << u"D210715.NEF"_s;
        QTest::newRow("raw/arw") << u"DSC00001.ARW"_s << tiff << 1 << u"D210715.ARW"_s;
        QTest::newRow("raw/dng") << u"IMG_0001.DNG"_s << tiff << 1 << u"D210715.DNG"_s;
        QTest::newRow("raw/cr2") << u"IMG_0001.CR2"_s << TaggedPicture(u"cr2"_s, taken) << 1
                                 << u"D210715.CR2"_s;
        QTest::newRow("raw/orf") << u"P0001.ORF"_s << TaggedPicture(u"orf"_s, taken) << 1 << u"D210715.ORF"_s;
        QTest::newRow("raw/rw2") << u"P0001.RW2"_s << TaggedPicture(u"rw2"_s, taken) << 1 << u"D210715.RW2"_s;
        QTest::newRow("not a picture/tiff header only")
            << u"a.tif"_s << tiff.first(8) << 1 << u"D000108.tif"_s;
        QTest::newRow("not a picture/text")
            << u"a.jpg"_s << "Exif DateTimeOriginal"_ba << 1 << u"D000108.jpg"_s;
        QTest::newRow("not a picture/empty") << u"a.jpg"_s << QByteArray() << 1 << u"D000108.jpg"_s;
    }

    void shootingDate()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, source);
        QFETCH(QString, preview);
        TempFolder folder;
        folder.addFile(name, content);
        folder.setModified(name, EighthOfJanuary);
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        settings.DatePrefix = u"D"_s;
        settings.DateSource = qint16(source);
        FileList list;
        InputData(list, settings, SortNameAscending);
        QVERIFY(DateNameRows(list, settings));
        QCOMPARE(list.at(1).Preview, preview);
    }

    void shootingDatesOfAFullFolder()
    {
        // Enough files for two threads: pictures of many days, files without
        // a date, a named pipe that must not hold the reading up.
        TempFolder folder;
        QStringList expected;
        for (int i = 0; i < 4200; ++i) {
            const QString name = u"p%1.jpg"_s.arg(i, 4, 10, QChar(u'0'));
            const int day = i % 28 + 1;
            const bool dated = i % 7 != 0;
            folder.addFile(
                name, dated ? TaggedPicture(u"jpeg"_s, u"2022:02:%1 00:00:00"_s.arg(day, 2, 10, QChar(u'0')))
                            : QByteArray("no picture"));
            folder.setModified(name, EighthOfJanuary);
            expected.append(
                u"p%1%2.jpg"_s.arg(i, 4, 10, QChar(u'0')).arg(dated ? 200 + day : 108, 4, 10, QChar(u'0')));
        }
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath(u"q.jpg"_s)).constData(), 0600), 0);
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        settings.DateSource = DateFromShooting;
        settings.DateType = 2;
        settings.DateInsertOnly = true;
        FileList list;
        InputData(list, settings, SortNameAscending);
        QVERIFY(DateNameRows(list, settings));
        QCOMPARE(Previews(list).first(expected.size()), expected);
        // The pipe has its modification time.
        QCOMPARE(list.at(list.count()).Preview.size(), 9);
    }

    void exifDateText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("standard") << "2021:07:15 10:20:30"_ba << QDate(2021, 7, 15);
        QTest::newRow("date only") << "2021:07:15"_ba << QDate(2021, 7, 15);
        QTest::newRow("dashes") << "2021-07-15T10:20:30"_ba << QDate(2021, 7, 15);
        QTest::newRow("blank") << "    :  :     :  :  "_ba << QDate();
        QTest::newRow("zeros") << "0000:00:00 00:00:00"_ba << QDate();
        QTest::newRow("no such day") << "2021:02:30 00:00:00"_ba << QDate();
        QTest::newRow("short") << "2021:07"_ba << QDate();
    }

    void exifDateText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QDate, date);
        QCOMPARE(ParseExifDate(std::string_view(text.constData(), size_t(text.size()))), date);
    }

    void replace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("options"); // R regex, A all, L last, C case, U unprotected
        QTest::addColumn<QString>("preview");
        QTest::newRow("regex/groups")
            << u"IMG_1234.jpg"_s << u"(\\w+?)_(\\d+)"_s << u"$2-$1"_s << u"R"_s << u"1234-IMG.jpg"_s;
        QTest::newRow("regex/whole match") << u"abc.txt"_s << u"b"_s << u"[$0]"_s << u"R"_s << u"a[b]c.txt"_s;
        QTest::newRow("regex/japanese")
            << u"写真_京都.jpg"_s << u"写真_(.+)"_s << u"$1の写真"_s << u"R"_s << u"京都の写真.jpg"_s;
        QTest::newRow("regex/full-width digits")
            << u"写真１２.jpg"_s << u"\\d+"_s << u"N"_s << u"R"_s << u"写真N.jpg"_s;
        QTest::newRow("regex/case ignored") << u"ABC.txt"_s << u"b+"_s << u"x"_s << u"R"_s << u"AxC.txt"_s;
        QTest::newRow("regex/case kept") << u"ABC.txt"_s << u"b+"_s << u"x"_s << u"RC"_s << u"ABC.txt"_s;
        QTest::newRow("regex/extension protected")
            << u"a.b.txt"_s << u"b"_s << u"x"_s << u"R"_s << u"a.b.txt"_s;
        QTest::newRow("regex/extension open") << u"a.b.txt"_s << u"b"_s << u"x"_s << u"RU"_s << u"a.x.txt"_s;
        QTest::newRow("regex/anchors see the base")
            << u"ab.txt"_s << u"b$"_s << u"x"_s << u"R"_s << u"ax.txt"_s;
        QTest::newRow("regex/last of the scan")
            << u"ab123cd45.txt"_s << u"\\d+"_s << u"#"_s << u"RL"_s << u"ab123cd#.txt"_s;
        QTest::newRow("regex/all") << u"a1b22c333.txt"_s << u"\\d+"_s << u"#"_s << u"RA"_s << u"a#b#c#.txt"_s;
        QTest::newRow("regex/all ignores last") << u"a1b2"_s << u"\\d"_s << u"#"_s << u"RAL"_s << u"a#b#"_s;
        QTest::newRow("regex/empty match first") << u"abc"_s << u"x*"_s << u"-"_s << u"R"_s << u"-abc"_s;
        QTest::newRow("regex/empty match last") << u"abc"_s << u"x*"_s << u"-"_s << u"RL"_s << u"abc-"_s;
        QTest::newRow("regex/empty matches all") << u"abc"_s << u"x*"_s << u"-"_s << u"RA"_s << u"-a-b-c-"_s;
        QTest::newRow("regex/empty matches keep pairs whole")
            << u"𠮷a"_s << u"x*"_s << u"-"_s << u"RA"_s << u"-𠮷-a-"_s;
        QTest::newRow("regex/missing groups are empty")
            << u"abc"_s << u"(b)"_s << u"$1$2$9x"_s << u"R"_s << u"abxc"_s;
        QTest::newRow("regex/other dollars stay")
            << u"abc"_s << u"b"_s << u"$x$１$"_s << u"R"_s << u"a$x$１$c"_s;
        QTest::newRow("regex/invalid changes nothing")
            << u"a(b.txt"_s << u"("_s << u"x"_s << u"RA"_s << u"a(b.txt"_s;
        QTest::newRow("text/all") << u"aaa.txt"_s << u"a"_s << u"x"_s << u"A"_s << u"xxx.txt"_s;
        QTest::newRow("text/all ignoring case") << u"AaA.txt"_s << u"a"_s << u"b"_s << u"A"_s << u"bbb.txt"_s;
        QTest::newRow("text/all with case") << u"AaA.txt"_s << u"a"_s << u"b"_s << u"AC"_s << u"AbA.txt"_s;
        QTest::newRow("text/no dollar groups") << u"abc"_s << u"b"_s << u"$0"_s << u""_s << u"a$0c"_s;
        QTest::newRow("text/symbols are plain")
            << u"a(1).txt"_s << u"(1)"_s << u"2"_s << u""_s << u"a2.txt"_s;
        QTest::newRow("text/last") << u"aaaa"_s << u"aa"_s << u"b"_s << u"L"_s << u"aab"_s;
    }

    void replace()
    {
        QFETCH(QString, name);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, options);
        QFETCH(QString, preview);
        AppSettings settings;
        settings.ReplaceFrom = from;
        settings.ReplaceTo = to;
        settings.ReplaceRegex = options.contains(u'R');
        settings.ReplaceAll = options.contains(u'A');
        settings.ReplaceFromTop = !options.contains(u'L');
        settings.ReplaceCaseSensitive = options.contains(u'C');
        settings.ProtectExtension = !options.contains(u'U');
        FileEntry entry{name, u"old"_s, {}, {}, {}};
        ReplaceName(entry, settings);
        QCOMPARE(entry.Preview, preview);
    }

    void naturalOrder_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("numbers by value") << Strings({"写真10.jpg", "写真2.jpg", "写真1.jpg"})
                                          << Strings({"写真1.jpg", "写真2.jpg", "写真10.jpg"});
        QTest::newRow("widths mixed") << Strings({"写真１０.jpg", "写真2.jpg", "写真９.jpg", "写真11.jpg"})
                                      << Strings({"写真2.jpg", "写真９.jpg", "写真１０.jpg", "写真11.jpg"});
        QTest::newRow("several runs") << Strings({"v1.10.txt", "v1.9.txt", "v1.2.txt"})
                                      << Strings({"v1.2.txt", "v1.9.txt", "v1.10.txt"});
        QTest::newRow("text before number") << Strings({"b1", "a20", "a3"}) << Strings({"a3", "a20", "b1"});
        QTest::newRow("long numbers") << Strings({"x123456789012345678901", "x99999999999999999999"})
                                      << Strings({"x99999999999999999999", "x123456789012345678901"});
    }

    void naturalOrder()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        FileList list;
        Fill(list, names);
        SortByColumn(list, 0, false);
        QCOMPARE(Names(list, 0), sorted);
        SortByColumn(list, 1, true);
        std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(Names(list, 1), sorted);
    }

    void naturalOrderTies()
    {
        // Previews equal by value fall back on the finer text order, and
        // equal previews keep their rows' order, in both directions.
        FileList list;
        Fill(list, Strings({"1", "2", "3", "4"}), Strings({"x2", "x02", "x2", "Ｘ2"}));
        SortByColumn(list, 1, false);
        QCOMPARE(Names(list, 0), Strings({"2", "1", "3", "4"}));
        SortByColumn(list, 1, true);
        QCOMPARE(Names(list, 0), Strings({"4", "1", "3", "2"}));
    }

    void joinMarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("joined");
        QTest::newRow("voiced") << u"か\u3099き\u3099"_s << u"がぎ"_s;
        QTest::newRow("semi-voiced katakana") << u"ハ\u309Aン"_s << u"パン"_s;
        QTest::newRow("latin accent") << u"cafe\u0301"_s << u"café"_s;
        QTest::newRow("spacing marks stay") << u"か゛は゜"_s << u"か゛は゜"_s;
        QTest::newRow("composed stays") << u"がぱ漢字ｶﾞ"_s << u"がぱ漢字ｶﾞ"_s;
        QTest::newRow("escaped byte stays")
            << QString::fromUcs4(U"\U0010FEE9\u3099") << QString::fromUcs4(U"\U0010FEE9\u3099");
    }

    void joinMarks()
    {
        QFETCH(QString, text);
        QFETCH(QString, joined);
        QCOMPARE(JoinMarks(text), joined);
    }

    void joinedTwinsCollide()
    {
        TempFolder folder;
        folder.addFile(u"か\u3099っこう.txt"_s);
        folder.addFile(u"がっこう.txt"_s);
        folder.addFile(u"ほか\u3099.txt"_s);
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        FileList list;
        InputData(list, settings, SortNameAscending);
        QCOMPARE(list.count(), 3);
        {
            RecordingMessageSink sink;
            QVERIFY(CheckDuplicates(list, settings));
        }
        PassOverRows(list, [](FileEntry &entry) { ConvertName(entry, ConvertJoinMarks, true); });
        QVERIFY(Previews(list).contains(u"ほが.txt"_s));
        RecordingMessageSink sink;
        QVERIFY(!CheckDuplicates(list, settings));
        // One box names both, the joined twin and the name that was made.
        QCOMPARE(sink.texts(), QStringList{u"がっこう.txtが重複します\r\nがっこう.txtが重複します"_s});
    }

    void storedChoices_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("regex");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("older file") << QStringList() << 0 << false << false
                                    << Strings({" 0", "False", "False"});
        QTest::newRow("all lines") << Strings({" 1", "True", "True"}) << 1 << true << true
                                   << Strings({" 1", "True", "True"});
        QTest::newRow("source only") << Strings({" 1"}) << 1 << false << false
                                     << Strings({" 1", "False", "False"});
        QTest::newRow("unreadable number")
            << Strings({"99999", "True"}) << 0 << true << false << Strings({" 0", "True", "False"});
        QTest::newRow("more lines ignored") << Strings({" 0", "False", "True", "x"}) << 0 << false << true
                                            << Strings({" 0", "False", "True"});
    }

    void storedChoices()
    {
        QFETCH(QStringList, added);
        QFETCH(int, source);
        QFETCH(bool, regex);
        QFETCH(bool, all);
        QFETCH(QStringList, written);
        AppSettings original;
        original.CurrentFolder = u"/home/user/写真"_s;
        original.ProhibitedNames[1] = u"desktop.ini"_s;
        const QByteArray older = ComposeSettings(original).split('\n').mid(0, 31).join('\n') + '\n';
        QByteArray content = older;
        for (const QString &line : added)
            content += line.toUtf8() + "\r\n";
        AppSettings settings;
        settings.DateSource = 5;
        settings.ReplaceRegex = !regex;
        settings.ReplaceAll = !all;
        QVERIFY(ReadSettings(content, settings));
        QCOMPARE(settings.CurrentFolder, original.CurrentFolder);
        QCOMPARE(settings.ProhibitedNames[1], original.ProhibitedNames[1]);
        QCOMPARE(settings.DateSource, qint16(source));
        QCOMPARE(settings.ReplaceRegex, regex);
        QCOMPARE(settings.ReplaceAll, all);
        QByteArray expected = older;
        for (const QString &line : written)
            expected += line.toUtf8() + "\r\n";
        QCOMPARE(ComposeSettings(settings), expected);
    }
};

QTEST_GUILESS_MAIN(RulesPowerTest)
#include "rules_power_test.moc"
