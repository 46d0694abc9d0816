#include "engine/scan.h"
#include "platform/filesystem.h"
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

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

// The suffix search written out as a scan of every row above, ignoring case:
// the reference the lookup must agree with. Rows not searched keep their name.
QStringList ScanSuffixes(const QStringList &names, const QList<bool> &searched)
{
    QStringList previews;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const qsizetype period = searched[i] ? names[i].lastIndexOf(u'.') : -1;
        QString base = period < 0 ? names[i] : names[i].first(period);
        const QString ext = period < 0 ? QString() : names[i].sliced(period);
        QString suffix;
        for (int k = 0, n = 0; searched[i] && k < i; ++k) {
            if (previews[k].toLower() != (base + suffix + ext).toLower())
                continue;
            suffix = QChar(u'a' + n++);
            if (suffix == u"z") {
                base += u'z';
                suffix.clear();
                n = 0;
            }
        }
        previews.append(base + suffix + ext);
    }
    return previews;
}

QStringList Suffixed(const QStringList &names, const QList<bool> &searched = {})
{
    DateSuffixer suffixer;
    QStringList previews;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (searched.isEmpty() || searched[i]) {
            previews.append(suffixer.Next(names[i]));
        } else {
            suffixer.Record(names[i]);
            previews.append(names[i]);
        }
    }
    return previews;
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
    void dateName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("insertOnly");
        QTest::addColumn<QString>("preview");
        QTest::newRow("format/year month day") << S("p.jpg") << 0 << false << S("IMG000108.jpg");
        QTest::newRow("format/year month") << S("p.jpg") << 1 << false << S("IMG0001.jpg");
        QTest::newRow("format/month day") << S("p.jpg") << 2 << false << S("IMG0108.jpg");
        QTest::newRow("format/other type") << S("README") << 7 << false << S("IMG000108");
        QTest::newRow("prefix/several periods") << S("a.b.txt") << 0 << false << S("IMG000108.b.txt");
        QTest::newRow("insert only/several periods") << S("a.b.txt") << 0 << true << S("a000108.b.txt");
        QTest::newRow("insert only/dot file") << S(".bashrc") << 1 << true << S("0001.bashrc");
    }

    void dateName()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(bool, insertOnly);
        QFETCH(QString, preview);
        TempFolder folder;
        folder.addFile(name);
        folder.setModified(name, EighthOfJanuary);
        AppSettings settings;
        settings.DatePrefix = QStringLiteral("IMG");
        settings.DateType = qint16(type);
        settings.DateInsertOnly = insertOnly;
        FileEntry entry = Row(name, QStringLiteral("old"));
        QVERIFY(DateName(entry, settings, Fs().ReadModified(folder.filePath(name))));
        QCOMPARE(entry.Preview, preview);
    }

    void vanishedFileKeepsItsName()
    {
        TempFolder folder;
        for (const QString &name : Strings({"1.jpg", "2.jpg", "3.jpg"})) {
            folder.addFile(name);
            folder.setModified(name, EighthOfJanuary);
        }
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        FileList list;
        InputData(list, settings, SortNameAscending);
        QVERIFY(QFile::remove(folder.filePath(QStringLiteral("2.jpg"))));
        settings.DatePrefix = QStringLiteral("D");
        settings.DateType = 2;
        DateNameRows(list, settings);
        const QStringList previews = {list.at(1).Preview, list.at(2).Preview, list.at(3).Preview};
        QCOMPARE(previews, Strings({"D0108.jpg", "2.jpg", "D0108a.jpg"}));
    }

    void suffixes_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("previews");
        QTest::newRow("same day/in list order")
            << Strings({"D.jpg", "D.jpg", "D.jpg"}) << Strings({"D.jpg", "Da.jpg", "Db.jpg"});
        QTest::newRow("case/ignored in extensions")
            << Strings({"D0108.JPG", "D0108.jpg"}) << Strings({"D0108.JPG", "D0108a.jpg"});
        QTest::newRow("case/ignored in suffixes")
            << Strings({"D.jpg", "DA.jpg", "d.JPG"}) << Strings({"D.jpg", "DA.jpg", "db.JPG"});
        QTest::newRow("extension/different") << Strings({"D.jpg", "D.txt"}) << Strings({"D.jpg", "D.txt"});
        QTest::newRow("extension/last period")
            << Strings({"D.b.txt", "D.b.txt"}) << Strings({"D.b.txt", "D.ba.txt"});
        QTest::newRow("order/a suffixed name above is passed once")
            << Strings({"Da.jpg", "D.jpg", "D.jpg"}) << Strings({"Da.jpg", "D.jpg", "Da.jpg"});
    }

    void suffixes()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, previews);
        QCOMPARE(Suffixed(names), previews);
    }

    void suffixesMatchTheScan()
    {
        const QStringList same = Suffixed(QStringList(54, QStringLiteral("D000108.jpg")));
        QCOMPARE(same.mid(25, 3), Strings({"D000108y.jpg", "D000108z.jpg", "D000108za.jpg"}));
        QCOMPARE(same.mid(51, 3), Strings({"D000108zy.jpg", "D000108zz.jpg", "D000108zza.jpg"}));

        // Date names that run into each other's suffixes, some rows unsearched.
        const QStringList pool = Strings({"D.jpg", "Da.jpg", "Dz.jpg", "Dza.jpg", "D.JPG", "D", "Da",
                                          "Dy.jpg", "dZA.JPG", "D.b.txt", "d.B.txt", "D.bz.TXT", "D.BA.txt"});
        QRandomGenerator random(20240305);
        for (int round = 0; round < 20; ++round) {
            QStringList names;
            QList<bool> searched;
            for (int i = 0; i < 400; ++i) {
                names.append(pool[random.bounded(int(pool.size()))]);
                searched.append(random.bounded(10) != 0);
            }
            QCOMPARE(Suffixed(names, searched), ScanSuffixes(names, searched));
        }
    }

    void caseCycle_data()
    {
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QStringList>("presses");
        QTest::newRow("protected") << true
                                   << Strings({"MY FILE.TXT", "my file.TXT", "My File.TXT", "MY FILE.TXT"});
        QTest::newRow("unprotected") << false
                                     << Strings({"MY FILE.TXT", "my file.txt", "My File.txt", "MY FILE.TXT"});
    }

    void caseCycle()
    {
        QFETCH(bool, protect);
        QFETCH(QStringList, presses);
        FileEntry entry = Row(QStringLiteral("my file.TXT"), QStringLiteral("my file.TXT"));
        for (int press = 0; press < presses.size(); ++press) {
            CaseStepName(entry, press % 3, protect);
            QCOMPARE(entry.Preview, presses[press]);
        }
        // An empty preview: upper case starts from the name, proper case leaves it.
        FileEntry empty = Row(QStringLiteral("a.txt"), QString());
        CaseStepName(empty, 2, protect);
        QCOMPARE(empty.Preview, QString());
        CaseStepName(empty, 0, protect);
        QCOMPARE(empty.Preview, protect ? S("A.txt") : S("A.TXT"));
    }

    void properCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("proper");
        QTest::newRow("only spaces break") << S("hello_world.txt x.y") << S("Hello_world.txt X.y");
        QTest::newRow("spaces kept") << S(" ABC  dEF ") << S(" Abc  Def ");
        QTest::newRow("title case") << S("ǆungla") << S("ǅungla");
        QTest::newRow("escaped byte")
            << QString::fromUcs4(U"\U0010FEE9AB") << QString::fromUcs4(U"\U0010FEE9ab");
    }

    void properCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, proper);
        QCOMPARE(ProperCase(text), proper);
    }

    void widthPairs_data()
    {
        QTest::addColumn<QString>("half");
        QTest::addColumn<QString>("full");
        QString ascii, fullAscii;
        for (char16_t c = 0x21; c <= 0x7E; ++c) {
            ascii += QChar(c);
            fullAscii += QChar(char16_t(0xFF01 + (c - 0x21)));
        }
        QTest::newRow("ascii") << ascii << fullAscii;
        QTest::newRow("space") << S(" a b") << S("\u3000ａ\u3000ｂ");
        QTest::newRow("kana and punctuation")
            << S("｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ")
            << S("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘ"
                 "ホマミムメモヤユヨラリルレロワン゛゜");
        QTest::newRow("voiced marks joined") << S("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞﾜﾞｦﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ")
                                             << S("ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヷヺパピプペポ");
        QTest::newRow("mark on a kana without a voiced form") << S("ｱﾞﾅﾟ") << S("ア゛ナ゜");
    }

    void widthPairs()
    {
        QFETCH(QString, half);
        QFETCH(QString, full);
        QCOMPARE(ToFullWidth(half), full);
        QCOMPARE(ToHalfWidth(full), half);
    }

    void withoutCounterpart()
    {
        // Kanji, hiragana, katakana with no half-width form, symbols that
        // other tables change, combining marks, Latin beyond ASCII.
        const QString text = S("漢字ひらがなヵヶヰヱヮヽヾヸヹ¥¢→│￥￠\u3099\u309aéß");
        QCOMPARE(ToFullWidth(text), text);
        QCOMPARE(ToHalfWidth(text), text);
        const QString noHiragana = S("ヷヸヹヺヿｶﾞ漢ー");
        QCOMPARE(ToHiragana(noHiragana), noHiragana);
        QCOMPARE(ToKatakana(S("ゟ漢ｶー")), S("ゟ漢ｶー"));
    }

    void kana()
    {
        const QString hiragana =
            S("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねの"
              "はばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをんゔゕゖゝゞ");
        const QString katakana =
            S("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノ"
              "ハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶヽヾ");
        QCOMPARE(ToKatakana(hiragana), katakana);
        QCOMPARE(ToHiragana(katakana), hiragana);
        QCOMPARE(ToHiragana(ToKatakana(hiragana)), hiragana);
    }

    void convertName_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("converted");
        QTest::newRow("full width/protected") << 1 << true << S("abc 1.txt") << S("ａｂｃ\u3000１.txt");
        QTest::newRow("full width/unprotected")
            << 1 << false << S("abc 1.txt") << S("ａｂｃ\u3000１．ｔｘｔ");
        QTest::newRow("half width/voiced marks split") << 2 << true << S("ガイド.ガ") << S("ｶﾞｲﾄﾞ.ガ");
        QTest::newRow("katakana/protected") << 3 << true << S("ねこ.ねこ") << S("ネコ.ねこ");
        QTest::newRow("period shift/from the name") << 7 << true << S("other") << S("picture.jpg");
        QTest::newRow("unknown kind") << 5 << false << S("abc") << S("abc");
    }

    void convertName()
    {
        QFETCH(int, kind);
        QFETCH(bool, protect);
        QFETCH(QString, preview);
        QFETCH(QString, converted);
        FileEntry entry = Row(QStringLiteral("picturejpg.dat"), preview);
        ConvertName(entry, kind, protect);
        QCOMPARE(entry.Preview, converted);
    }

    void attributeTexts()
    {
        // A dot-file's H from its name: the choice for every row makes it the
        // user's, an individual edit only when it changes the text.
        FileEntry dotFile = Row(QStringLiteral(".env"), QStringLiteral("env"));
        dotFile.Attributes = QStringLiteral("- H -");
        dotFile.HiddenByName = true;
        FileEntry edited = dotFile;
        EditRowAttributes(edited, QStringLiteral("- H -"));
        QVERIFY(edited.HiddenByName);
        EditRowAttributes(edited, QStringLiteral("R H -"));
        QVERIFY(!edited.HiddenByName);
        FileEntry chosen = dotFile;
        SetRowAttributes(chosen, QStringLiteral("- H -"));
        QVERIFY(!chosen.HiddenByName);
    }
};

QTEST_GUILESS_MAIN(RulesMoreTest)
#include "rules_more_test.moc"
