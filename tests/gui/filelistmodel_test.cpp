#include "engine/filelist.h"
#include "mainwindow/filelistmodel.h"
#include "widgets/namedelegate.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

namespace {

std::vector<FileEntry> Rows(const QStringList &names)
{
    std::vector<FileEntry> rows;
    for (const QString &name : names) {
        FileEntry &row = rows.emplace_back();
        row.Name = name;
        row.Preview = name;
        row.Attributes = QStringLiteral("- - -");
        row.Date = QStringLiteral("24/03/05 14:07:09");
        row.Size = QStringLiteral("           0");
    }
    return rows;
}

} // namespace

class FileListModelTest : public QObject
{
    Q_OBJECT

private slots:
    void followsEveryChangeOfTheList()
    {
        FileList list;
        FileListModel model(list);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        list.assign(Rows({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 5);

        FileEntry changed = list.ReadRow(2);
        changed.Preview = QStringLiteral("新しい名前.txt");
        QSignalSpy dataChanged(&model, &QAbstractItemModel::dataChanged);
        list.WriteRow(2, changed);
        // The row, then the preview column: other rows may meet its name.
        QCOMPARE(dataChanged.count(), 2);
        QCOMPARE(dataChanged.at(0).at(0).toModelIndex().row(), 1);
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("新しい名前.txt"));

        list.remove(1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("b.txt"));
        list.remove(2);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("b.txt"));

        list.assign(Rows({QStringLiteral("x"), QStringLiteral("y")}));
        list.reorder({2, 1});
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("y"));
        list.append(QStringLiteral("z"));
        QCOMPARE(model.rowCount(), 3);
        list.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void showsTheFiveFieldsUnderTheirCaptions()
    {
        FileList list;
        FileListModel model(list);
        list.assign(Rows({QStringLiteral("写真.jpg")}));
        const QStringList captions = {QStringLiteral("変換前（現ファイル名）"),
                                      QStringLiteral("変換後(プレビュー)"), QStringLiteral("属性"),
                                      QStringLiteral("日付"), QStringLiteral("サイズ")};
        const QStringList texts = {QStringLiteral("写真.jpg"), QStringLiteral("写真.jpg"),
                                   QStringLiteral("- - -"), QStringLiteral("24/03/05 14:07:09"),
                                   QStringLiteral("           0")};
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
            QCOMPARE(model.index(0, column).data().toString(), texts[column]);
        }
        // However narrow a column, the row's tooltip holds the whole name.
        FileEntry row = list.ReadRow(1);
        row.Preview = QStringLiteral("新しい名前.jpg");
        list.WriteRow(1, row);
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("写真.jpg"));
        QCOMPARE(model.index(0, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("新しい名前.jpg"));
        QCOMPARE(model.index(0, 3).data(Qt::ToolTipRole).toString(), QStringLiteral("写真.jpg"));
    }

    void elidedNamesKeepTheirExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("characters");
        QTest::addColumn<QString>("kept");
        const QString photo = QStringLiteral("写真_京都旅行_2024年春_清水寺の桜_0001.JPG");
        QTest::newRow("long name in a wide column") << photo << 12 << QStringLiteral("_0001.JPG");
        QTest::newRow("long name in a narrow column") << photo << 5 << QStringLiteral(".JPG");
        QTest::newRow("long extension")
            << QStringLiteral("記録_会議_第一回_議事録の下書き.jpeg") << 5 << QStringLiteral(".jpeg");
        QTest::newRow("no extension, both ends kept")
            << QStringLiteral("長いフォルダ名のようなファイル名_終わり") << 8 << QStringLiteral("終わり");
    }

    void elidedNamesKeepTheirExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, characters);
        QFETCH(QString, kept);
        const QFontMetrics metrics(QApplication::font());
        const int width = metrics.horizontalAdvance(QString(characters, u'あ'));
        const QString shown = ElideName(name, metrics, width);
        QVERIFY2(shown.endsWith(kept), qPrintable(shown));
        QVERIFY2(shown.startsWith(name.left(1)), qPrintable(shown));
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(shown) <= width);
        QCOMPARE(ElideName(name, metrics, metrics.horizontalAdvance(name)), name);
    }
};

QTEST_MAIN(FileListModelTest)
#include "filelistmodel_test.moc"
