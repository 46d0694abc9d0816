#include "rules/insert.h"
#include "rules/numbering.h"
#include "rules/replace.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

FileEntry Row(const QString &name)
{
    FileEntry entry;
    entry.Name = name;
    // Every rule starts from the name; what an earlier rule left must go.
    entry.Preview = u"left.by.another.rule"_s;
    return entry;
}

} // namespace

class RulesTextTest : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void insert_data();
    void insert();
    void numbering_data();
    void numbering();
    void numericValue_data();
    void numericValue();
};

void RulesTextTest::replace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("options"); // C case counts, E from the end, U unprotected
    QTest::addColumn<QString>("preview");
    QTest::newRow("first from the start") << u"aaa.txt"_s << u"a"_s << u"x"_s << u""_s << u"xaa.txt"_s;
    QTest::newRow("last from the end") << u"aaa.txt"_s << u"a"_s << u"x"_s << u"E"_s << u"aax.txt"_s;
    QTest::newRow("overlap from the end") << u"aaaa"_s << u"aa"_s << u"b"_s << u"E"_s << u"aab"_s;
    QTest::newRow("overlap from the start") << u"aaaa"_s << u"aa"_s << u"b"_s << u""_s << u"baa"_s;
    QTest::newRow("case ignored") << u"ABC.txt"_s << u"b"_s << u"x"_s << u""_s << u"AxC.txt"_s;
    QTest::newRow("case counts") << u"ABC.txt"_s << u"b"_s << u"x"_s << u"C"_s << u"ABC.txt"_s;
    QTest::newRow("full-width case ignored")
        << u"ＡＢＣ.txt"_s << u"ｂ"_s << u"x"_s << u""_s << u"ＡxＣ.txt"_s;
    QTest::newRow("full-width case counts")
        << u"ＡＢＣ.txt"_s << u"ｂ"_s << u"x"_s << u"C"_s << u"ＡＢＣ.txt"_s;
    QTest::newRow("protect several periods") << u"a.b.txt"_s << u"b"_s << u"x"_s << u""_s << u"a.b.txt"_s;
    QTest::newRow("protect no period") << u"README"_s << u"ME"_s << u"X"_s << u"E"_s << u"READX"_s;
    QTest::newRow("unprotected extension") << u"aaa.txt"_s << u"t"_s << u"x"_s << u"EU"_s << u"aaa.txx"_s;
    QTest::newRow("empty replacement") << u"abc.txt"_s << u"b"_s << QString() << u""_s << u"ac.txt"_s;
    QTest::newRow("whole base deleted") << u"abc.txt"_s << u"abc"_s << QString() << u""_s << u".txt"_s;
}

void RulesTextTest::replace()
{
    QFETCH(QString, name);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, options);
    AppSettings settings;
    settings.ReplaceFrom = from;
    settings.ReplaceTo = to;
    settings.ReplaceCaseSensitive = options.contains(u'C');
    settings.ReplaceFromTop = !options.contains(u'E');
    settings.ProtectExtension = !options.contains(u'U');
    FileEntry entry = Row(name);
    ReplaceName(entry, settings);
    QTEST(entry.Preview, "preview");
    // A second run starts from the name again and gives the same preview.
    ReplaceName(entry, settings);
    QTEST(entry.Preview, "preview");
}

void RulesTextTest::insert_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("atTop");
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QString>("preview");
    QTest::newRow("start protected") << u"photo.jpg"_s << true << true << u"_xphoto.jpg"_s;
    QTest::newRow("start unprotected") << u"photo.jpg"_s << true << false << u"_xphoto.jpg"_s;
    QTest::newRow("end protected") << u"photo.jpg"_s << false << true << u"photo_x.jpg"_s;
    QTest::newRow("end unprotected") << u"photo.jpg"_s << false << false << u"photo.jpg_x"_s;
    QTest::newRow("end protected several periods") << u"a.b.txt"_s << false << true << u"a_x.b.txt"_s;
    QTest::newRow("end protected no period") << u"README"_s << false << true << u"README_x"_s;
}

void RulesTextTest::insert()
{
    QFETCH(QString, name);
    QFETCH(bool, atTop);
    QFETCH(bool, protect);
    AppSettings settings;
    settings.InsertText = u"_x"_s;
    settings.InsertAtTop = atTop;
    settings.ProtectExtension = protect;
    FileEntry entry = Row(name);
    InsertName(entry, settings);
    // Inserting twice gives one insertion.
    InsertName(entry, settings);
    QTEST(entry.Preview, "preview");
}

void RulesTextTest::numbering_data()
{
    // Each row numbers `rows` files named `name` (or the names of `names`)
    // with the pattern; digits -1 stands for automatic digits, 0 for no
    // padding. The first and last previews are compared.
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    auto files = [](int count) { return QStringList(count, u"x.jpg"_s); };
    QTest::newRow("twelve photos") << u"AA"_s << 1 << -1 << files(12) << u"AA01.jpg"_s << u"AA12.jpg"_s;
    QTest::newRow("pattern with period")
        << u"BB?B.TXT"_s << 1 << -1 << files(10) << u"BB01B.TXT"_s << u"BB10B.TXT"_s;
    QTest::newRow("no padding") << u"A"_s << 1 << 0 << files(53) << u"A1.jpg"_s << u"A53.jpg"_s;
    QTest::newRow("auto 9 rows") << u"A"_s << 1 << -1 << files(9) << u"A1.jpg"_s << u"A9.jpg"_s;
    QTest::newRow("auto 10 rows") << u"A"_s << 1 << -1 << files(10) << u"A01.jpg"_s << u"A10.jpg"_s;
    QTest::newRow("auto 99 rows") << u"A"_s << 1 << -1 << files(99) << u"A01.jpg"_s << u"A99.jpg"_s;
    QTest::newRow("auto 100 rows") << u"A"_s << 1 << -1 << files(100) << u"A001.jpg"_s << u"A100.jpg"_s;
    QTest::newRow("start zero ten rows") << u"A"_s << 0 << -1 << files(10) << u"A0.jpg"_s << u"A9.jpg"_s;
    QTest::newRow("start zero one row") << u"A"_s << 0 << -1 << files(1) << u"A0.jpg"_s << u"A0.jpg"_s;
    QTest::newRow("manual four digits") << u"A"_s << 7 << 4 << files(2) << u"A0007.jpg"_s << u"A0008.jpg"_s;
    QTest::newRow("negative padded") << u"A"_s << -5 << 3 << files(2) << u"A-005.jpg"_s << u"A-004.jpg"_s;
    QTest::newRow("negative start auto")
        << u"A"_s << -120 << -1 << files(3) << u"A-120.jpg"_s << u"A-118.jpg"_s;
    QTest::newRow("up to 32767") << u"A"_s << 32765 << -1 << files(3) << u"A32765.jpg"_s << u"A32767.jpg"_s;
    QTest::newRow("empty pattern") << QString() << 1 << -1 << files(10) << u"01.jpg"_s << u"10.jpg"_s;
    QTest::newRow("several periods, none")
        << u"P"_s << 1 << -1 << QStringList{u"a.b.txt"_s, u"README"_s} << u"P1.b.txt"_s << u"P2"_s;
    QTest::newRow("second question mark")
        << u"A?B?C"_s << 1 << -1 << files(2) << u"A1B?C.jpg"_s << u"A2B?C.jpg"_s;
}

void RulesTextTest::numbering()
{
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(int, digits);
    QFETCH(QStringList, names);
    AppSettings settings;
    settings.NumberPattern = pattern;
    settings.NumberStart = qint16(start);
    settings.NumberZeroPad = digits != 0;
    settings.NumberAutoDigits = digits < 0;
    settings.NumberDigits = qint16(qMax(digits, 0));
    // Only a pattern with a period names the extension, and only unprotected.
    settings.ProtectExtension = !pattern.contains(u'.');

    NumberingState state = PrepareNumbering(settings, int(names.size()));
    QStringList previews;
    for (const QString &name : names) {
        FileEntry entry = Row(name);
        NumberName(entry, state, settings);
        previews.append(entry.Preview);
    }
    QTEST(previews.first(), "first");
    QTEST(previews.last(), "last");
}

void RulesTextTest::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks around") << u"  7 "_s << true << 7.0;
    QTest::newRow("sign and fraction") << u"-3.5"_s << true << -3.5;
    QTest::newRow("exponent") << u"1e3"_s << true << 1000.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("digits then letters") << u"7abc"_s << false << 0.0;
    QTest::newRow("infinity") << u"inf"_s << false << 0.0;
    QTest::newRow("overflow") << u"1e400"_s << false << 0.0;
}

void RulesTextTest::numericValue()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    const std::optional<double> value = NumericValue(text);
    QCOMPARE(value.has_value(), numeric);
    if (numeric)
        QTEST(*value, "value");
}

QTEST_GUILESS_MAIN(RulesTextTest)
#include "rules_text_test.moc"
