#include "rules/insert.h"
#include "rules/nameparts.h"
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

QStringList Copies(int count, const QString &name)
{
    return QStringList(count, name);
}

} // namespace

class RulesTextTest : public QObject
{
    Q_OBJECT

private slots:
    void replace_data();
    void replace();
    void replaceLeavesNoExtensionBehind();
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
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("fromTop");
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QString>("preview");
    QTest::newRow("direction/first from the start")
        << u"aaa.txt"_s << u"a"_s << u"x"_s << false << true << true << u"xaa.txt"_s;
    QTest::newRow("direction/last from the end")
        << u"aaa.txt"_s << u"a"_s << u"x"_s << false << false << true << u"aax.txt"_s;
    QTest::newRow("overlap/from the end starts furthest right")
        << u"aaaa"_s << u"aa"_s << u"b"_s << false << false << true << u"aab"_s;
    QTest::newRow("overlap/from the start")
        << u"aaaa"_s << u"aa"_s << u"b"_s << false << true << true << u"baa"_s;
    QTest::newRow("case/ignored by default")
        << u"ABC.txt"_s << u"b"_s << u"x"_s << false << true << true << u"AxC.txt"_s;
    QTest::newRow("case/sensitive finds nothing")
        << u"ABC.txt"_s << u"b"_s << u"x"_s << true << true << true << u"ABC.txt"_s;
    QTest::newRow("case/full-width letters ignore case")
        << u"ＡＢＣ.txt"_s << u"ｂ"_s << u"x"_s << false << true << true << u"ＡxＣ.txt"_s;
    QTest::newRow("case/full-width sensitive finds nothing")
        << u"ＡＢＣ.txt"_s << u"ｂ"_s << u"x"_s << true << true << true << u"ＡＢＣ.txt"_s;
    QTest::newRow("case/last match of mixed case from the end")
        << u"AbAB.txt"_s << u"ab"_s << u"x"_s << false << false << true << u"Abx.txt"_s;
    QTest::newRow("protect/several periods: only the base is searched")
        << u"a.b.txt"_s << u"b"_s << u"x"_s << false << true << true << u"a.b.txt"_s;
    QTest::newRow("protect/off: the extension is searched too")
        << u"aaa.txt"_s << u"t"_s << u"x"_s << false << false << false << u"aaa.txx"_s;
    QTest::newRow("protect/name without a period")
        << u"README"_s << u"ME"_s << u"X"_s << true << false << true << u"READX"_s;
    QTest::newRow("protect/dot-file has no base to search")
        << u".htaccess"_s << u"h"_s << u"x"_s << false << true << true << u".htaccess"_s;
    QTest::newRow("empty replacement deletes")
        << u"abc.txt"_s << u"b"_s << QString() << false << true << true << u"ac.txt"_s;
    QTest::newRow("empty replacement of the whole base")
        << u"abc.txt"_s << u"abc"_s << QString() << false << true << true << u".txt"_s;
    QTest::newRow("not found gives the name back")
        << u"photo.jpg"_s << u"zz"_s << u"x"_s << false << true << true << u"photo.jpg"_s;
}

void RulesTextTest::replace()
{
    QFETCH(QString, name);
    AppSettings settings;
    QFETCH(QString, from);
    QFETCH(QString, to);
    settings.ReplaceFrom = from;
    settings.ReplaceTo = to;
    QFETCH(bool, caseSensitive);
    QFETCH(bool, fromTop);
    QFETCH(bool, protect);
    settings.ReplaceCaseSensitive = caseSensitive;
    settings.ReplaceFromTop = fromTop;
    settings.ProtectExtension = protect;
    FileEntry entry = Row(name);
    ReplaceName(entry, settings);
    QTEST(entry.Preview, "preview");
    QCOMPARE(entry.Name, name);
    // Running the rule again from its own result changes nothing more.
    ReplaceName(entry, settings);
    QTEST(entry.Preview, "preview");
}

void RulesTextTest::replaceLeavesNoExtensionBehind()
{
    AppSettings settings;
    settings.ReplaceFrom = u"zz"_s;
    FileEntry entry = Row(u"photo.jpg"_s);
    ReplaceName(entry, settings);
    // A row without a match must not leave its extension for the next restore.
    QString next = u"README"_s;
    RestoreExtension(next);
    QCOMPARE(next, u"README"_s);
}

void RulesTextTest::insert_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("atTop");
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QString>("preview");
    QTest::newRow("start/protected") << u"photo.jpg"_s << u"2000_"_s << true << true << u"2000_photo.jpg"_s;
    QTest::newRow("start/unprotected")
        << u"photo.jpg"_s << u"2000_"_s << true << false << u"2000_photo.jpg"_s;
    QTest::newRow("end/protected goes before the extension")
        << u"photo.jpg"_s << u"_old"_s << false << true << u"photo_old.jpg"_s;
    QTest::newRow("end/unprotected goes after everything")
        << u"photo.jpg"_s << u"_old"_s << false << false << u"photo.jpg_old"_s;
    QTest::newRow("end/protected before the first of several periods")
        << u"a.b.txt"_s << u"_x"_s << false << true << u"a_x.b.txt"_s;
    QTest::newRow("end/protected name without a period")
        << u"README"_s << u"_x"_s << false << true << u"README_x"_s;
    QTest::newRow("end/protected dot-file is all extension")
        << u".bashrc"_s << u"_x"_s << false << true << u"_x.bashrc"_s;
}

void RulesTextTest::insert()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, atTop);
    QFETCH(bool, protect);
    AppSettings settings;
    settings.InsertText = text;
    settings.InsertAtTop = atTop;
    settings.ProtectExtension = protect;
    FileEntry entry = Row(name);
    InsertName(entry, settings);
    QTEST(entry.Preview, "preview");
    // A second run inserts once again from the name, never twice.
    InsertName(entry, settings);
    QTEST(entry.Preview, "preview");
}

void RulesTextTest::numbering_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("pad");
    QTest::addColumn<bool>("autoDigits");
    QTest::addColumn<int>("digits");
    QTest::addColumn<bool>("protect");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    const QString jpg = u"x.jpg"_s;
    const QString txt = u"y.TXT"_s;
    QTest::newRow("numbering/twelve photos")
        << u"AA"_s << 1 << true << true << 2 << true << Copies(12, jpg) << u"AA01.jpg"_s << u"AA12.jpg"_s;
    QTest::newRow("numbering/pattern brings its own extension")
        << u"BB?B.TXT"_s << 1 << true << true << 2 << false << Copies(10, jpg) << u"BB01B.TXT"_s
        << u"BB10B.TXT"_s;
    QTest::newRow("numbering/53 rows without padding")
        << u"A"_s << 1 << false << true << 2 << true << Copies(53, txt) << u"A1.TXT"_s << u"A53.TXT"_s;
    QTest::newRow("auto digits/9 rows")
        << u"A"_s << 1 << true << true << 2 << true << Copies(9, txt) << u"A1.TXT"_s << u"A9.TXT"_s;
    QTest::newRow("auto digits/10 rows")
        << u"A"_s << 1 << true << true << 2 << true << Copies(10, txt) << u"A01.TXT"_s << u"A10.TXT"_s;
    QTest::newRow("auto digits/99 rows")
        << u"A"_s << 1 << true << true << 2 << true << Copies(99, txt) << u"A01.TXT"_s << u"A99.TXT"_s;
    QTest::newRow("auto digits/100 rows")
        << u"A"_s << 1 << true << true << 2 << true << Copies(100, txt) << u"A001.TXT"_s << u"A100.TXT"_s;
    QTest::newRow("auto digits/start zero ten rows")
        << u"A"_s << 0 << true << true << 2 << true << Copies(10, txt) << u"A0.TXT"_s << u"A9.TXT"_s;
    QTest::newRow("auto digits/start zero eleven rows")
        << u"A"_s << 0 << true << true << 2 << true << Copies(11, txt) << u"A00.TXT"_s << u"A10.TXT"_s;
    QTest::newRow("auto digits/one row of number zero")
        << u"A"_s << 0 << true << true << 2 << true << Copies(1, txt) << u"A0.TXT"_s << u"A0.TXT"_s;
    QTest::newRow("manual digits/four from seven")
        << u"A"_s << 7 << true << false << 4 << true << Copies(2, txt) << u"A0007.TXT"_s << u"A0008.TXT"_s;
    QTest::newRow("manual digits/ignored without padding")
        << u"A"_s << 7 << false << false << 4 << true << Copies(2, txt) << u"A7.TXT"_s << u"A8.TXT"_s;
    QTest::newRow("manual digits/zero pads nothing")
        << u"A"_s << 7 << true << false << 0 << true << Copies(2, txt) << u"A7.TXT"_s << u"A8.TXT"_s;
    QTest::newRow("negative start/sign before the padded digits")
        << u"A"_s << -5 << true << false << 3 << true << Copies(2, txt) << u"A-005.TXT"_s << u"A-004.TXT"_s;
    QTest::newRow("negative start/auto width follows the last number")
        << u"A"_s << -12 << true << true << 2 << true << Copies(15, txt) << u"A-12.TXT"_s << u"A2.TXT"_s;
    QTest::newRow("negative start/auto width of a negative last number")
        << u"A"_s << -120 << true << true << 2 << true << Copies(3, txt) << u"A-120.TXT"_s << u"A-118.TXT"_s;
    QTest::newRow("limit/last number 32767") << u"A"_s << 32765 << true << true << 2 << true << Copies(3, txt)
                                             << u"A32765.TXT"_s << u"A32767.TXT"_s;
    QTest::newRow("empty pattern/number and extension")
        << QString() << 1 << true << true << 2 << true << Copies(10, jpg) << u"01.jpg"_s << u"10.jpg"_s;
    QTest::newRow("extension/several periods and none")
        << u"P_"_s << 1 << true << true << 2 << true << QStringList{u"a.b.txt"_s, u"README"_s}
        << u"P_1.b.txt"_s << u"P_2"_s;
    QTest::newRow("extension/dot-file is all extension")
        << u"P_"_s << 1 << true << true << 2 << true << QStringList{u".bashrc"_s} << u"P_1.bashrc"_s
        << u"P_1.bashrc"_s;
    QTest::newRow("placeholder/second question mark stays text")
        << u"A?B?C"_s << 1 << true << true << 2 << true << Copies(2, txt) << u"A1B?C.TXT"_s << u"A2B?C.TXT"_s;
    QTest::newRow("placeholder/at the start")
        << u"?_x"_s << 1 << false << true << 2 << true << Copies(2, jpg) << u"1_x.jpg"_s << u"2_x.jpg"_s;
}

void RulesTextTest::numbering()
{
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(bool, pad);
    QFETCH(bool, autoDigits);
    QFETCH(int, digits);
    QFETCH(bool, protect);
    QFETCH(QStringList, names);
    AppSettings settings;
    settings.NumberPattern = pattern;
    settings.NumberStart = qint16(start);
    settings.NumberZeroPad = pad;
    settings.NumberAutoDigits = autoDigits;
    settings.NumberDigits = qint16(digits);
    settings.ProtectExtension = protect;

    NumberingState state = PrepareNumbering(settings, int(names.size()));
    QStringList previews;
    for (const QString &name : names) {
        FileEntry entry = Row(name);
        NumberName(entry, state, settings);
        previews.append(entry.Preview);
    }
    QTEST(previews.first(), "first");
    QTEST(previews.last(), "last");
    QCOMPARE(state.NumberCounter, start + int(names.size()));
}

void RulesTextTest::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << u"12"_s << true << 12.0;
    QTest::newRow("blanks around") << u"  7 "_s << true << 7.0;
    QTest::newRow("plus sign") << u"+3"_s << true << 3.0;
    QTest::newRow("minus with a fraction") << u"-3.5"_s << true << -3.5;
    QTest::newRow("fraction without whole part") << u".5"_s << true << 0.5;
    QTest::newRow("trailing point") << u"12."_s << true << 12.0;
    QTest::newRow("exponent") << u"1e3"_s << true << 1000.0;
    QTest::newRow("large but finite") << u"99999"_s << true << 99999.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blank") << u"  "_s << false << 0.0;
    QTest::newRow("letters") << u"abc"_s << false << 0.0;
    QTest::newRow("digits then letters") << u"7abc"_s << false << 0.0;
    QTest::newRow("two signs") << u"--1"_s << false << 0.0;
    QTest::newRow("infinity") << u"inf"_s << false << 0.0;
    QTest::newRow("not a number") << u"nan"_s << false << 0.0;
    QTest::newRow("overflowing exponent") << u"1e400"_s << false << 0.0;
    QTest::newRow("hexadecimal") << u"0x10"_s << false << 0.0;
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
