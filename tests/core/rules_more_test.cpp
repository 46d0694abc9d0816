#include "engine/scan.h"
#include "rules/attribute.h"
#include "rules/conversion.h"
#include "rules/date.h"
#include "support/strings.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QDateTime EighthOfJanuary(QDate(2000, 1, 8), QTime(12, 0));

// The suffix search as a plain scan of every row above, the way it reads
// when written out: the reference the lookup must agree with.
QStringList ScanSuffixes(const QStringList &dateNames, const QList<bool> &searched)
{
    QStringList previews;
    for (qsizetype i = 0; i < dateNames.size(); ++i) {
        if (!searched[i]) {
            previews.append(dateNames[i]);
            continue;
        }
        const QString &name = dateNames[i];
        const qsizetype period = name.lastIndexOf(u'.');
        QString base = period < 0 ? name : name.first(period);
        const QString ext = period < 0 ? QString() : name.sliced(period);
        QString suffix;
        int n = 0;
        for (const QString &above : std::as_const(previews)) {
            if (above == base + suffix + ext) {
                suffix = QChar(u'a' + n);
                ++n;
                if (suffix == u"z") {
                    base += u'z';
                    suffix.clear();
                    n = 0;
                }
            }
        }
        previews.append(base + suffix + ext);
    }
    return previews;
}

QStringList Suffixed(const QStringList &dateNames)
{
    DateSuffixer suffixer;
    QStringList previews;
    for (const QString &name : dateNames)
        previews.append(suffixer.Next(name));
    return previews;
}

QStringList Repeat(const char *name, int times)
{
    return QStringList(times, QString::fromUtf8(name));
}

FileEntry Row(const QString &name, const QString &preview)
{
    FileEntry entry;
    entry.Name = name;
    entry.Preview = preview;
    return entry;
}

} // namespace

class RulesMoreTest : public QObject
{
    Q_OBJECT

private slots:
    void dateName_data();
    void dateName();
    void vanishedFileKeepsItsName();
    void suffixes_data();
    void suffixes();
    void suffixesMatchTheScan();
    void caseCycle_data();
    void caseCycle();
    void emptyPreview();
    void properCase_data();
    void properCase();
    void widthPairs_data();
    void widthPairs();
    void widthWithoutCounterpart_data();
    void widthWithoutCounterpart();
    void kana_data();
    void kana();
    void convertName_data();
    void convertName();
    void attributeTexts();
};

void RulesMoreTest::dateName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("insertOnly");
    QTest::addColumn<QString>("preview");
    QTest::newRow("format/year month day") << "p.jpg"
                                           << "IMG" << 0 << false << "IMG000108.jpg";
    QTest::newRow("format/year month") << "p.jpg"
                                       << "IMG" << 1 << false << "IMG0001.jpg";
    QTest::newRow("format/month day") << "p.jpg"
                                      << "IMG" << 2 << false << "IMG0108.jpg";
    QTest::newRow("format/other type is year month day") << "p.jpg"
                                                         << "IMG" << 7 << false << "IMG000108.jpg";
    QTest::newRow("prefix/several periods keep the whole extension") << "a.b.txt"
                                                                     << "D" << 0 << false << "D000108.b.txt";
    QTest::newRow("prefix/empty, no period") << "README"
                                             << "" << 2 << false << "0108";
    QTest::newRow("insert only/one period") << "p.jpg"
                                            << "IMG" << 0 << true << "p000108.jpg";
    QTest::newRow("insert only/before the first period") << "a.b.txt"
                                                         << "IMG" << 0 << true << "a000108.b.txt";
    QTest::newRow("insert only/dot file") << ".bashrc"
                                          << "IMG" << 1 << true << "0001.bashrc";
}

void RulesMoreTest::dateName()
{
    QFETCH(QString, name);
    QFETCH(QString, prefix);
    QFETCH(int, type);
    QFETCH(bool, insertOnly);
    QFETCH(QString, preview);
    TempFolder folder;
    folder.addFile(name);
    folder.setModified(name, EighthOfJanuary);
    AppSettings settings;
    settings.DatePrefix = prefix;
    settings.DateType = qint16(type);
    settings.DateInsertOnly = insertOnly;
    FileEntry entry = Row(name, QStringLiteral("old preview"));
    QVERIFY(DateName(entry, settings, folder.path()));
    QCOMPARE(entry.Preview, preview);
}

void RulesMoreTest::vanishedFileKeepsItsName()
{
    TempFolder folder;
    for (const char *name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"}) {
        folder.addFile(QLatin1StringView(name));
        folder.setModified(QLatin1StringView(name), EighthOfJanuary);
    }
    AppSettings settings;
    settings.CurrentFolder = folder.path();
    FileList list;
    InputData(list, settings, SortNameAscending);
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("2.jpg"))));
    settings.DatePrefix = QStringLiteral("D");
    settings.DateType = 2;
    DateNameRows(list, settings);
    QStringList previews;
    for (int row = 1; row <= list.count(); ++row)
        previews.append(list.at(row).Preview);
    // The gone file keeps its name; the rows after it go on as if it were not named.
    QCOMPARE(previews, Strings({"D0108.jpg", "2.jpg", "D0108a.jpg", "D0108b.jpg"}));
}

void RulesMoreTest::suffixes_data()
{
    QTest::addColumn<QStringList>("dateNames");
    QTest::addColumn<QStringList>("previews");
    QTest::newRow("same day/three in list order")
        << Repeat("D0108.jpg", 3) << Strings({"D0108.jpg", "D0108a.jpg", "D0108b.jpg"});
    QTest::newRow("same day/no period") << Repeat("D0108", 2) << Strings({"D0108", "D0108a"});
    QTest::newRow("case/extensions differing in case are no duplicates")
        << Strings({"D0108.JPG", "D0108.jpg"}) << Strings({"D0108.JPG", "D0108.jpg"});
    QTest::newRow("case/bases differing in case are no duplicates")
        << Strings({"d0108.jpg", "D0108.jpg", "D0108.jpg"})
        << Strings({"d0108.jpg", "D0108.jpg", "D0108a.jpg"});
    QTest::newRow("extension/different extensions")
        << Strings({"D0108.jpg", "D0108.txt"}) << Strings({"D0108.jpg", "D0108.txt"});
    QTest::newRow("extension/suffix before the last period")
        << Repeat("D000108.b.txt", 2) << Strings({"D000108.b.txt", "D000108.ba.txt"});
    QTest::newRow("order/a suffixed name above is passed once")
        << Strings({"Da.jpg", "D.jpg", "D.jpg"}) << Strings({"Da.jpg", "D.jpg", "Da.jpg"});
    QTest::newRow("order/another date name's suffix counts")
        << Strings({"D.jpg", "D.jpg", "Da.jpg"}) << Strings({"D.jpg", "Da.jpg", "Daa.jpg"});
}

void RulesMoreTest::suffixes()
{
    QFETCH(QStringList, dateNames);
    QFETCH(QStringList, previews);
    QCOMPARE(Suffixed(dateNames), previews);
}

void RulesMoreTest::suffixesMatchTheScan()
{
    // The 26th to 28th, and the 52nd to 54th, of one date.
    const QStringList same = Suffixed(Repeat("D000108.jpg", 54));
    QCOMPARE(same.mid(25, 3), Strings({"D000108y.jpg", "D000108z.jpg", "D000108za.jpg"}));
    QCOMPARE(same.mid(51, 3), Strings({"D000108zy.jpg", "D000108zz.jpg", "D000108zza.jpg"}));

    // Date names that run into each other's suffixes, some rows left unsearched
    // (files gone): the lookup must give what a scan of every row above gives.
    const QStringList pool = Strings({"D.jpg", "Da.jpg", "Dz.jpg", "Dza.jpg", "D.JPG", "D", "Da", "Dy.jpg"});
    QRandomGenerator random(20240305);
    for (int round = 0; round < 20; ++round) {
        QStringList names;
        QList<bool> searched;
        for (int i = 0; i < 400; ++i) {
            names.append(pool[random.bounded(int(pool.size()))]);
            searched.append(random.bounded(10) != 0);
        }
        DateSuffixer suffixer;
        QStringList previews;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (searched[i]) {
                previews.append(suffixer.Next(names[i]));
            } else {
                suffixer.Record(names[i]);
                previews.append(names[i]);
            }
        }
        QCOMPARE(previews, ScanSuffixes(names, searched));
    }
}

void RulesMoreTest::caseCycle_data()
{
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QStringList>("presses");
    QTest::newRow("protected") << true
                               << Strings({"MY FILE.TXT", "my file.TXT", "My File.TXT", "MY FILE.TXT"});
    QTest::newRow("unprotected") << false
                                 << Strings({"MY FILE.TXT", "my file.txt", "My File.txt", "MY FILE.TXT"});
}

void RulesMoreTest::caseCycle()
{
    QFETCH(bool, protect);
    QFETCH(QStringList, presses);
    FileEntry entry = Row(QStringLiteral("my file.TXT"), QStringLiteral("my file.TXT"));
    for (int press = 0; press < presses.size(); ++press) {
        CaseStepName(entry, press % 3, protect);
        QCOMPARE(entry.Preview, presses[press]);
    }
}

void RulesMoreTest::emptyPreview()
{
    FileEntry upper = Row(QStringLiteral("a.txt"), QString());
    CaseName(upper, true, true);
    QCOMPARE(upper.Preview, QStringLiteral("A.txt"));
    FileEntry proper = Row(QStringLiteral("a.txt"), QString());
    ConvertName(proper, ConvertProperCase, true);
    QCOMPARE(proper.Preview, QString());
}

void RulesMoreTest::properCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("proper");
    QTest::newRow("underscore is no break") << "hello_world.txt"
                                            << "Hello_world.txt";
    QTest::newRow("period is no break") << "a.b c.d"
                                        << "A.b C.d";
    QTest::newRow("upper word") << "ABC"
                                << "Abc";
    QTest::newRow("spaces kept") << " two  words "
                                 << " Two  Words ";
    QTest::newRow("title case differs from upper") << "ǆungla"
                                                   << "ǅungla";
    QTest::newRow("digit first") << "1ST PLACE"
                                 << "1st Place";
    QTest::newRow("escaped byte untouched")
        << QString::fromUcs4(U"\U0010FEE9ABC") << QString::fromUcs4(U"\U0010FEE9abc");
}

void RulesMoreTest::properCase()
{
    QFETCH(QString, text);
    QFETCH(QString, proper);
    QCOMPARE(ProperCase(text), proper);
}

void RulesMoreTest::widthPairs_data()
{
    QTest::addColumn<QString>("half");
    QTest::addColumn<QString>("full");
    QString ascii, fullAscii;
    for (char16_t c = 0x21; c <= 0x7E; ++c) {
        ascii += QChar(c);
        fullAscii += QChar(char16_t(0xFF01 + (c - 0x21)));
    }
    QTest::newRow("ascii") << ascii << fullAscii;
    QTest::newRow("space") << " a b"
                           << "\u3000ａ\u3000ｂ";
    QTest::newRow("kana and punctuation")
        << "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ"
        << "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミ"
           "ムメモヤユヨラリルレロワン゛゜";
    QTest::newRow("voiced marks joined") << "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞﾜﾞｦﾞ"
                                         << "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヷヺ";
    QTest::newRow("semi-voiced marks joined") << "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"
                                              << "パピプペポ";
    QTest::newRow("mark on a kana without a voiced form") << "ｱﾞﾅﾟ"
                                                          << "ア゛ナ゜";
    QTest::newRow("name") << "ﾃﾞｼﾞｶﾒ 01.jpg"
                          << "デジカメ　０１．ｊｐｇ";
}

void RulesMoreTest::widthPairs()
{
    QFETCH(QString, half);
    QFETCH(QString, full);
    QCOMPARE(ToFullWidth(half), full);
    QCOMPARE(ToHalfWidth(full), half);
}

void RulesMoreTest::widthWithoutCounterpart_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("kanji and hiragana") << "漢字ひらがな";
    QTest::newRow("katakana only full-width") << "ヵヶヰヱヮヽヾヸヹ";
    QTest::newRow("symbols") << "¥¢£¬→│￥￠";
    QTest::newRow("combining marks") << "\u3099\u309a";
    QTest::newRow("latin beyond ascii") << "éß";
}

void RulesMoreTest::widthWithoutCounterpart()
{
    QFETCH(QString, text);
    QCOMPARE(ToFullWidth(text), text);
    QCOMPARE(ToHalfWidth(text), text);
}

void RulesMoreTest::kana_data()
{
    QTest::addColumn<QString>("hiragana");
    QTest::addColumn<QString>("katakana");
    QTest::newRow("every kana")
        << "ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねの"
           "はばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをんゔゕゖゝゞ"
        << "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノ"
           "ハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶヽヾ";
    QTest::newRow("name with other characters") << "しゃしん ー・01.jpg"
                                                << "シャシン ー・01.jpg";
}

void RulesMoreTest::kana()
{
    QFETCH(QString, hiragana);
    QFETCH(QString, katakana);
    QCOMPARE(ToKatakana(hiragana), katakana);
    QCOMPARE(ToHiragana(katakana), hiragana);
    QCOMPARE(ToHiragana(ToKatakana(hiragana)), hiragana);
    // Katakana without hiragana, half-width kana and kanji stay.
    const QString alone = QStringLiteral("ヷヸヹヺヿｶﾞ漢");
    QCOMPARE(ToHiragana(alone), alone);
    QCOMPARE(ToKatakana(QStringLiteral("ゟ漢ｶ")), QStringLiteral("ゟ漢ｶ"));
}

void RulesMoreTest::convertName_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("converted");
    QTest::newRow("full width/protected") << int(ConvertToFullWidth) << true << "x"
                                          << "abc 1.txt"
                                          << "ａｂｃ\u3000１.txt";
    QTest::newRow("full width/unprotected") << int(ConvertToFullWidth) << false << "x"
                                            << "abc 1.txt"
                                            << "ａｂｃ\u3000１．ｔｘｔ";
    QTest::newRow("full width/after numbering") << int(ConvertToFullWidth) << true << "x"
                                                << "AA01.jpg"
                                                << "ＡＡ０１.jpg";
    QTest::newRow("half width/voiced marks split") << int(ConvertToHalfWidth) << true << "x"
                                                   << "ガイド.txt"
                                                   << "ｶﾞｲﾄﾞ.txt";
    QTest::newRow("katakana/protected") << int(ConvertToKatakana) << true << "x"
                                        << "ねこ.ねこ"
                                        << "ネコ.ねこ";
    QTest::newRow("hiragana/unprotected") << int(ConvertToHiragana) << false << "x"
                                          << "ネコ.ネコ"
                                          << "ねこ.ねこ";
    QTest::newRow("period shift/from the name") << int(ConvertShiftPeriod) << true << "picturejpg.dat"
                                                << "other"
                                                << "picture.jpg";
    QTest::newRow("period shift/last period counts") << int(ConvertShiftPeriod) << false << "a.b.cdefg.h"
                                                     << "other"
                                                     << "a.b.cd.efg";
    QTest::newRow("period shift/too short stays") << int(ConvertShiftPeriod) << false << "abc.x"
                                                  << "other"
                                                  << "abc.x";
    QTest::newRow("unknown kind/unchanged") << 5 << false << "x"
                                            << "abc"
                                            << "abc";
}

void RulesMoreTest::convertName()
{
    QFETCH(int, kind);
    QFETCH(bool, protect);
    QFETCH(QString, name);
    QFETCH(QString, preview);
    QFETCH(QString, converted);
    FileEntry entry = Row(name, preview);
    ConvertName(entry, kind, protect);
    QCOMPARE(entry.Preview, converted);
    QCOMPARE(entry.Name, name);
}

void RulesMoreTest::attributeTexts()
{
    QCOMPARE(AttributeChoiceText(true, true, false), QStringLiteral("R H -"));
    QCOMPARE(AttributeChoiceText(false, false, false), QStringLiteral("- - -"));

    // A dot-file's H from its name: every row's choice makes it the user's;
    // an individual edit only when it changes the text.
    FileEntry dotFile = Row(QStringLiteral(".env"), QStringLiteral("env"));
    dotFile.Attributes = QStringLiteral("- H -");
    dotFile.HiddenByName = true;
    FileEntry edited = dotFile;
    EditRowAttributes(edited, QStringLiteral("- H -"));
    QVERIFY(edited.HiddenByName);
    EditRowAttributes(edited, QStringLiteral("R H -"));
    QVERIFY(!edited.HiddenByName);
    QCOMPARE(edited.Attributes, QStringLiteral("R H -"));
    FileEntry chosen = dotFile;
    SetRowAttributes(chosen, QStringLiteral("- H -"));
    QVERIFY(!chosen.HiddenByName);
}

QTEST_GUILESS_MAIN(RulesMoreTest)
#include "rules_more_test.moc"
