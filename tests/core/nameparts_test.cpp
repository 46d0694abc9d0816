#include "rules/nameparts.h"

#include <QTest>

class NamePartsTest : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void restoreEmptiesTheSlot();
    void shiftPeriodLeft_data();
    void shiftPeriodLeft();
};

void NamePartsTest::split_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");
    QTest::newRow("one period") << "photo.jpg"
                                << "photo"
                                << ".jpg";
    QTest::newRow("several periods stay in the extension") << "archive.tar.gz"
                                                           << "archive"
                                                           << ".tar.gz";
    QTest::newRow("no period is all base") << "README"
                                           << "README"
                                           << "";
    QTest::newRow("leading period is all extension") << ".htaccess"
                                                     << ""
                                                     << ".htaccess";
    QTest::newRow("trailing period") << "abc."
                                     << "abc"
                                     << ".";
}

void NamePartsTest::split()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, extension);
    QCOMPARE(ExtensionOf(name), extension);
    QString s = name;
    SplitExtension(s);
    QCOMPARE(s, base);
    RestoreExtension(s);
    QCOMPARE(s, name);
}

void NamePartsTest::restoreEmptiesTheSlot()
{
    QString s = QStringLiteral("a.txt");
    SplitExtension(s);
    RestoreExtension(s);
    QString other = QStringLiteral("b");
    RestoreExtension(other);
    QCOMPARE(other, QStringLiteral("b"));
    // A split of a name without a period clears what an earlier split left.
    QString first = QStringLiteral("x.jpg");
    SplitExtension(first);
    QString second = QStringLiteral("README");
    SplitExtension(second);
    RestoreExtension(second);
    QCOMPARE(second, QStringLiteral("README"));
}

void NamePartsTest::shiftPeriodLeft_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("preview");
    QTest::newRow("six before the period") << "abcdef.rar"
                                           << "abc.def";
    QTest::newRow("four before the period") << "abcd.x"
                                            << "a.bcd";
    QTest::newRow("three before the period stays") << "abc.x"
                                                   << "abc.x";
    QTest::newRow("no period stays") << "abcdefg"
                                     << "abcdefg";
    QTest::newRow("only the last period counts") << "a.b.cdefg.h"
                                                 << "a.b.cd.efg";
    QTest::newRow("the help text's example") << "picturejpg.dat"
                                             << "picture.jpg";
}

void NamePartsTest::shiftPeriodLeft()
{
    QFETCH(QString, name);
    QFETCH(QString, preview);
    FileEntry entry;
    entry.Name = name;
    entry.Preview = QStringLiteral("ignored");
    ShiftPeriodLeft(entry);
    QCOMPARE(entry.Preview, preview);
    QCOMPARE(entry.Name, name);
}

QTEST_GUILESS_MAIN(NamePartsTest)
#include "nameparts_test.moc"
