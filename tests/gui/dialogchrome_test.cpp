#include "every_dialog.h"
#include "windowtest.h"

#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <memory>

using namespace Qt::StringLiterals;

class DialogChromeTest : public WindowTest
{
    Q_OBJECT

    // Opens the dialog of that name and runs check on it while it is open.
    void whileOpen(const QString &name, const DialogCheck &check)
    {
        bool checked = false;
        for (const DialogOpening &opening : EveryDialog()) {
            if (name == QLatin1StringView(opening.name))
                opening.open(*m_window, [&](QWidget *dialog) {
                    checked = true;
                    check(dialog);
                });
        }
        QTRY_VERIFY2(checked, qPrintable(name));
    }

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void dialogsHaveNoMinimiseOrMaximise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("resizable");
        for (const DialogOpening &opening : EveryDialog())
            QTest::newRow(opening.name)
                << QString::fromLatin1(opening.name) << (QLatin1StringView(opening.name) == u"frmPath");
    }

    void dialogsHaveNoMinimiseOrMaximise()
    {
        QFETCH(QString, name);
        QFETCH(bool, resizable);
        StartOnThreeFiles();
        whileOpen(name, [&](QWidget *dialog) {
            QVERIFY(dialog);
            const Qt::WindowFlags flags = dialog->windowFlags();
            // Without the customize hint the platform adds buttons of its own.
            QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
            QVERIFY(flags.testFlag(Qt::WindowTitleHint));
            QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
            QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
            if (resizable)
                QVERIFY(dialog->maximumWidth() > dialog->minimumWidth());
            else
                QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            if (qobject_cast<QMessageBox *>(dialog)) {
                // The frame's buttons and icon take about four title heights
                // beside the title, in the window manager's bold font.
                QFont bold = dialog->font();
                bold.setBold(true);
                const QFontMetrics title(bold);
                QVERIFY2(dialog->width() >=
                             title.horizontalAdvance(dialog->windowTitle()) + 4 * title.height(),
                         qPrintable(QString::number(dialog->width())));
            }
        });
    }

    void sideWindowsHaveNoMinimiseOrMaximise()
    {
        MainWindow &w = StartOnThreeFiles();
        for (const char *key : {"IDETC", "IDPIC"}) {
            w.Dispatch(QLatin1StringView(key));
            QWidget *side = QLatin1StringView(key) == u"IDETC" ? w.findChild<QWidget *>(u"frmEtc"_s)
                                                               : w.findChild<QWidget *>(u"frmPic"_s);
            QVERIFY(side->isVisible());
            // A tool window of the main window: the window manager keeps it
            // above its owner, even a maximised one.
            QCOMPARE(side->windowType(), Qt::Tool);
            QCOMPARE(side->parentWidget(), &w);
            QVERIFY(side->windowFlags().testFlag(Qt::CustomizeWindowHint));
            QVERIFY(!side->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
            QVERIFY(!side->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        }
        // The other conversions' captions keep a margin inside their buttons.
        auto *etc = w.findChild<QWidget *>(u"frmEtc"_s);
        w.Dispatch(u"IDETC"_s);
        QCOMPARE(etc->minimumSize(), etc->maximumSize());
        for (QPushButton *button : etc->findChildren<QPushButton *>()) {
            const int room = button->width() - button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(room >= 2 * button->fontMetrics().height(), qPrintable(button->text()));
        }
    }

    void numberingHelpShowsWhole()
    {
        StartOnThreeFiles();
        whileOpen(u"frmNumber"_s, [](QWidget *dialog) {
            auto *help = dialog->findChild<QPlainTextEdit *>(u"txtHelp"_s);
            QVERIFY(help->toPlainText().contains(u"桁をそろえる A01.txt"_s));
            QCOMPARE(help->verticalScrollBar()->maximum(), 0);
            QCOMPARE(help->horizontalScrollBar()->maximum(), 0);
            QTextCursor end(help->document());
            end.movePosition(QTextCursor::End);
            QVERIFY(help->viewport()->rect().contains(help->cursorRect(end)));
        });
    }

    void patternBoxShowsAPattern()
    {
        MainWindow &w = StartOnThreeFiles();
        auto *pattern = w.findChild<QComboBox *>(u"cmbRefer"_s);
        const int needed = pattern->fontMetrics().horizontalAdvance(u"京都2024春_*.JPG"_s);
        QVERIFY(pattern->lineEdit()->width() >= needed);
        w.resize(w.minimumSize());
        QTRY_COMPARE(w.size(), w.minimumSize());
        QVERIFY(pattern->lineEdit()->width() >= needed);
    }

    void progressKeepsItsLayoutWithoutItsButton()
    {
        MainWindow &w = StartOnThreeFiles();
        ProgressWindow::SetTiming(0, 0);
        ProgressWindow progress(&w, ProgressWindow::OtherInput::Dropped);
        progress.BeginStage(u"試し変換"_s, 10, true);
        progress.Advance(1);
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        const QRect frame = dialog->geometry();
        const QRect bar = dialog->findChild<QProgressBar *>()->geometry();
        progress.BeginStage(u"変換 1/2"_s, 10, false);
        progress.Advance(2);
        QVERIFY(!dialog->findChild<QPushButton *>(u"cmdCancel"_s)->isVisible());
        QCOMPARE(dialog->geometry(), frame);
        QCOMPARE(dialog->findChild<QProgressBar *>()->geometry(), bar);
        progress.Finish();
        ProgressWindow::SetTiming(500, 50);
    }
};

QTEST_MAIN(DialogChromeTest)
#include "dialogchrome_test.moc"
