#include "gui_harness.h"

#include "engine/changelog.h"
#include "platform/filesystem.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "windows/progresswindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Gives every row the preview "new-" + its name.
void RenameEveryRow(MainWindow &window)
{
    for (int row = 1; row <= window.list().count(); ++row) {
        FileEntry entry = window.list().ReadRow(row);
        entry.Preview = u"new-"_s + entry.Name;
        window.list().WriteRow(row, entry);
    }
}

// A click as the window system delivers it, which a modal window can block.
void SystemClick(QWidget *widget)
{
    QWidget *top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

} // namespace

class UndoProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProgressWindow::SetTiming(0, 0); }
    void cleanup() { ProgressWindow::SetTiming(500, 50); }
    void trialStoppedFromTheProgressWindow();
    void undoFromTheListMenu();
};

void UndoProgressTest::trialStoppedFromTheProgressWindow()
{
    TempFolder folder;
    for (int n = 1; n <= 5; ++n)
        folder.addFile(u"f%1.txt"_s.arg(n));
    ProgramFolder program;
    RecordingMessageSink messages;
    AppSettings settings;
    auto window = StartWindow(program, settings, folder.path());
    RenameEveryRow(*window);
    auto *exe = window->findChild<QPushButton *>(u"cmdExe"_s);
    auto *sort = window->findChild<QComboBox *>(u"cmbSort"_s);

    // Once the progress window is up: clicks and keys on the main window must
    // start nothing; then the stop button ends the trial.
    QString stage;
    bool stopClicked = false;
    QTimer::singleShot(0, window.get(), [&] {
        QWidget *progress = QApplication::activeModalWidget();
        QVERIFY(progress && progress->objectName() == u"frmProgress"_s);
        stage = progress->findChild<QLabel *>(u"lblStage"_s)->text();
        SystemClick(exe);
        SystemClick(sort);
        QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        exe->click();
        SystemClick(progress->findChild<QPushButton *>(u"cmdCancel"_s));
        stopClicked = true;
    });
    messages.scriptAnswers({true, true});
    exe->click();

    QVERIFY(stopClicked);
    QCOMPARE(stage, u"試し変換"_s);
    QVERIFY(!window->RenameDone());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // One question (the confirmation), then the run's end; nothing else ran.
    QCOMPARE(messages.texts().size(), 2);
    QVERIFY(messages.messages().constFirst().question);
    QCOMPARE(messages.texts().constLast(), u"置換を中止します"_s);
    QCOMPARE(folder.names(), QStringList({u"f1.txt"_s, u"f2.txt"_s, u"f3.txt"_s, u"f4.txt"_s, u"f5.txt"_s}));
    QVERIFY(ReadChangeLog(*Fs().ReadFile(program.path() + u"/Kazami.Log"_s))->incomplete);
    window->hide();
}

void UndoProgressTest::undoFromTheListMenu()
{
    TempFolder folder;
    folder.addFile(u"a.txt"_s, "a");
    folder.addFile(u"b.txt"_s, "b");
    ProgramFolder program;
    RecordingMessageSink messages;
    AppSettings settings;
    auto window = StartWindow(program, settings, folder.path());
    RenameEveryRow(*window);
    auto *exe = window->findChild<QPushButton *>(u"cmdExe"_s);
    messages.scriptAnswers({true});
    exe->click();
    QVERIFY(window->RenameDone());
    QCOMPARE(folder.names(), QStringList({u"new-a.txt"_s, u"new-b.txt"_s}));

    auto *list = window->findChild<QWidget *>(u"lvwMain"_s);
    auto *undo = window->findChild<QAction *>(u"mnuUndo"_s);
    QVERIFY(list->actions().contains(undo));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    list->setFocus();
    // Ctrl+Z undoes edits of the list; a run starts a new history.
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->list().at(1).Preview, u"new-a.txt"_s);
    undo->trigger();
    QCOMPARE(window->list().count(), 2);
    QCOMPARE(window->list().at(1).Preview, u"a.txt"_s);
    QCOMPARE(window->findChild<QComboBox *>(u"cmbSort"_s)->currentText(), u"ユーザ指定"_s);

    messages.scriptAnswers({true});
    exe->click();
    QCOMPARE(folder.content(u"a.txt"_s), "a");
    QCOMPARE(folder.content(u"b.txt"_s), "b");
    window->hide();
}

QTEST_MAIN(UndoProgressTest)
#include "undo_progress_test.moc"
