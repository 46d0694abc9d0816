#include "every_dialog.h"
#include "windowtest.h"

#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QToolBar>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Every widget below window that the keyboard can reach, each with what
// a screen reader would say of it missing, if anything.
QStringList Unnamed(QWidget *window)
{
    QStringList unnamed;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : widgets) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(window))
            continue;
        // A box inside a combo box or a spin box is announced as that box.
        if (widget->focusProxy())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        const QString what = window->objectName() + u'/' + widget->objectName() + u' ' +
                             QString::fromLatin1(widget->metaObject()->className());
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(what + u" has no name"_s);
        else if (!widget->toolTip().isEmpty() &&
                 accessible->text(QAccessible::Description) != widget->toolTip())
            unnamed.append(what + u" is described as \""_s + accessible->text(QAccessible::Description) +
                           u'"');
    }
    return unnamed;
}

} // namespace

class AccessibilityTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void everyControlHasANameAndItsTooltip_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("frmMain") << u"frmMain"_s;
        QTest::newRow("frmEtc") << u"frmEtc"_s;
        QTest::newRow("frmPic") << u"frmPic"_s;
        for (const DialogOpening &opening : EveryDialog())
            QTest::newRow(opening.name) << QString::fromLatin1(opening.name);
    }

    void everyControlHasANameAndItsTooltip()
    {
        QFETCH(QString, window);
        MainWindow &w = StartOnThreeFiles();
        QStringList unnamed;
        if (window == u"frmMain") {
            unnamed = Unnamed(&w);
        } else if (window == u"frmEtc" || window == u"frmPic") {
            w.Dispatch(window == u"frmEtc" ? u"IDETC"_s : u"IDPIC"_s);
            auto *side = w.findChild<QWidget *>(window);
            QVERIFY(side && side->isVisible());
            unnamed = Unnamed(side);
        } else {
            bool seen = false;
            for (const DialogOpening &opening : EveryDialog()) {
                if (window == QLatin1StringView(opening.name))
                    opening.open(w, [&](QWidget *dialog) {
                        seen = true;
                        unnamed = Unnamed(dialog);
                    });
            }
            QTRY_VERIFY(seen);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    }

    // The toolbar's buttons are named and described, the shortcut included.
    void toolbarButtonsAreNamed()
    {
        MainWindow &w = StartOnThreeFiles();
        auto *toolbar = w.findChild<QToolBar *>(u"tlbMain"_s);
        QWidget *edit = toolbar->widgetForAction(toolbar->findChild<QAction *>(u"IDEDIT"_s));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(edit);
        QCOMPARE(accessible->text(QAccessible::Name), u"選択項目を個別に編集します"_s);
        QCOMPARE(accessible->text(QAccessible::Description), u"選択項目を個別に編集します（F2）"_s);
        QAccessibleInterface *folder =
            QAccessible::queryAccessibleInterface(w.findChild<QWidget *>(u"txtPath"_s));
        QCOMPARE(folder->text(QAccessible::Name), u"フォルダ"_s);
    }

    // The list exposes its columns by caption and its rows cell by cell,
    // with a name's undecodable bytes read as they are drawn.
    void listExposesColumnsAndCells()
    {
        m_folder->addRawFile(QByteArray("\xff_bad.txt"));
        MainWindow &w = StartOnThreeFiles();
        QAccessibleInterface *list =
            QAccessible::queryAccessibleInterface(w.findChild<QWidget *>(u"lvwMain"_s));
        QAccessibleTableInterface *table = list->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->rowCount(), 4);
        QStringList columns;
        for (int column = 0; column < 5; ++column)
            columns.append(table->columnDescription(column));
        QCOMPARE(columns, QStringList({u"変換前（現ファイル名）"_s, u"変換後(プレビュー)"_s, u"属性"_s,
                                       u"日付"_s, u"サイズ"_s}));
        QStringList firstColumn;
        for (int row = 0; row < 4; ++row)
            firstColumn.append(table->cellAt(row, 0)->text(QAccessible::Name));
        QVERIFY2(firstColumn.contains(u"\\xFF_bad.txt"_s), qPrintable(firstColumn.join(u' ')));
        QVERIFY(firstColumn.contains(u"a.txt"_s));
        QVERIFY(!table->cellAt(0, 4)->text(QAccessible::Name).isEmpty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
