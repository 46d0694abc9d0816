#include "gui_harness.h"

#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

void SetPreviews(MainWindow &window, const QStringList &previews)
{
    std::vector<FileEntry> rows;
    for (int row = 1; row <= window.list().count(); ++row) {
        FileEntry entry = window.list().at(row);
        entry.Preview = previews.at(row - 1);
        rows.push_back(entry);
    }
    window.list().WriteRows(std::move(rows));
}

QString Text(MainWindow &window, const QString &label)
{
    return window.findChild<QLabel *>(label)->text();
}

} // namespace

class ListFeedbackTest : public QObject
{
    Q_OBJECT

private slots:
    void statusLineAndProblems();
    void undoRedoKeysSkipTextBoxes();
    void runSummaryTellsWhatLeftTheList();
};

void ListFeedbackTest::statusLineAndProblems()
{
    TempFolder folder;
    for (const QString &name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s})
        folder.addFile(name);
    ProgramFolder program;
    AppSettings settings;
    auto window = StartWindow(program, settings, folder.path());
    QCOMPARE(window->list().count(), 4);
    QCOMPARE(Text(*window, u"lblStatus"_s), QString());

    SetPreviews(*window, {u"x.txt"_s, u"X.TXT"_s, u"c?.txt"_s, u"e.txt"_s});
    QCOMPARE(Text(*window, u"lblStatus"_s), u"変更 1 件，重複 2 件，変換不可 1 件"_s);
    auto *view = window->findChild<QAbstractItemView *>(u"lvwMain"_s);
    const QString tip = view->model()->index(0, 1).data(Qt::ToolTipRole).toString();
    QCOMPARE(tip, u"次の名前と重複します\nX.TXT"_s);
    QVERIFY(!view->model()->index(0, 1).data(Qt::DecorationRole).isNull());

    // F8 and Shift+F8 walk the rows with a problem, wrapping around.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    view->setFocus();
    QStringList visited;
    for (int k = 0; k < 4; ++k) {
        QTest::keyClick(window->windowHandle(), Qt::Key_F8);
        visited.append(QString::number(window->list().CurrentRow()));
    }
    QTest::keyClick(window->windowHandle(), Qt::Key_F8, Qt::ShiftModifier);
    visited.append(QString::number(window->list().CurrentRow()));
    QCOMPARE(visited, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"1"_s, u"3"_s}));
    QCOMPARE(view->currentIndex().row(), 2);
}

void ListFeedbackTest::undoRedoKeysSkipTextBoxes()
{
    TempFolder folder;
    for (const QString &name : {u"a.txt"_s, u"b.txt"_s})
        folder.addFile(name);
    ProgramFolder program;
    AppSettings settings;
    auto window = StartWindow(program, settings, folder.path());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    SetPreviews(*window, {u"1.txt"_s, u"2.txt"_s});
    SetPreviews(*window, {u"3.txt"_s, u"4.txt"_s});

    // In the pattern box, Ctrl+Z undoes typing, not the list.
    auto *pattern = window->findChild<QComboBox *>(u"cmbRefer"_s)->lineEdit();
    pattern->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->list().at(1).Preview, u"3.txt"_s);

    window->findChild<QAbstractItemView *>(u"lvwMain"_s)->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->list().at(1).Preview, u"1.txt"_s);
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->list().at(1).Preview, u"a.txt"_s);
    QTest::keyClick(window->windowHandle(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(window->list().at(1).Preview, u"1.txt"_s);
    QTest::keyClick(window->windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(window->list().at(2).Preview, u"4.txt"_s);

    // Taking back the last run would lose these previews: it asks first.
    RecordingMessageSink sink;
    sink.scriptAnswers({false});
    window->findChild<QAction *>(u"mnuUndo"_s)->trigger();
    QCOMPARE(sink.messages().size(), 1);
    QCOMPARE(window->list().at(2).Preview, u"4.txt"_s);
}

void ListFeedbackTest::runSummaryTellsWhatLeftTheList()
{
    TempFolder folder;
    for (const QString &name : {u"写真1.JPG"_s, u"写真2.JPG"_s, u"写真3.JPG"_s})
        folder.addFile(name);
    ProgramFolder program;
    AppSettings settings;
    auto window = StartWindow(program, settings, folder.path());
    QLineEdit *pattern = window->findChild<QComboBox *>(u"cmbRefer"_s)->lineEdit();
    pattern->setText(u"写真*.JPG"_s);
    emit pattern->textEdited(pattern->text());
    QCOMPARE(window->list().count(), 3);
    SetPreviews(*window, {u"京都1.JPG"_s, u"写真2.JPG"_s, u"写真03.JPG"_s});

    RecordingMessageSink sink;
    sink.scriptAnswers({true});
    window->findChild<QPushButton *>(u"cmdExe"_s)->click();
    QVERIFY(window->RenameDone());
    QCOMPARE(window->list().count(), 2);
    QCOMPARE(
        Text(*window, u"lblResult"_s),
        u"2 個のファイルの名前を変えました（うち 1 個は新しい名前が「対象ファイル」に合わないので，一覧にありません）"_s);
    // The next change of the list puts it away.
    SetPreviews(*window, {u"z1.JPG"_s, u"z2.JPG"_s});
    QCOMPARE(Text(*window, u"lblResult"_s), QString());
}

QTEST_MAIN(ListFeedbackTest)
#include "listfeedback_test.moc"
