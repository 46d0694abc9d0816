#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "platform/filesystem.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "widgets/sidewindow.h"
#include "windows/contractdialog.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QToolBar>
#include <QTreeView>
#include <memory>

namespace {

// The rows the view shows as selected.
Rows Selected(MainWindow &w)
{
    Rows rows;
    for (const QModelIndex &index :
         w.findChild<QTreeView *>(QStringLiteral("lvwMain"))->selectionModel()->selectedRows())
        rows.append(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ColumnsWidth(QTreeView *view)
{
    int width = 0;
    for (int column = 0; column < view->header()->count(); ++column)
        width += view->header()->sectionSize(column);
    return width;
}

// Whether the row is shown whole in the list's viewport.
bool RowInView(QTreeView *view, int row)
{
    return view->viewport()->rect().contains(view->visualRect(view->model()->index(row - 1, 0)));
}

QAction *Button(MainWindow &w, const char *key)
{
    return w.findChild<QToolBar *>(QStringLiteral("tlbMain"))->findChild<QAction *>(QLatin1StringView(key));
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;

    // A started window on a folder holding files with the given names.
    MainWindow &start(const QStringList &files)
    {
        for (const QString &name : files)
            m_folder->addFile(name, name.toUtf8());
        m_window = StartWindow(*m_program, *m_settings, m_folder->path());
        return *m_window;
    }

    template<typename T> T *child(const char *name)
    {
        return m_window->findChild<T *>(QLatin1StringView(name));
    }

    // Makes rows highlighted by clicking them as a user does, the last one
    // current.
    void pick(const Rows &rows)
    {
        for (int i = 0; i < rows.size(); ++i)
            ClickRow(*m_window, rows[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }

private slots:
    void init()
    {
        m_program = std::make_unique<ProgramFolder>();
        m_folder = std::make_unique<TempFolder>();
        m_messages = std::make_unique<RecordingMessageSink>();
        m_settings = std::make_unique<AppSettings>();
        SetFirstRunHook([] { return ShowContract(); });
    }

    void cleanup()
    {
        if (m_window)
            m_window->hide();
        m_window.reset();
        m_messages.reset();
        m_folder.reset();
        m_program.reset();
        SetFirstRunHook([] { return true; });
    }

    void startUpShowsTheControlsWithTheirTexts()
    {
        MainWindow &w = start({QStringLiteral("b.txt"), QStringLiteral("a.txt")});
        QCOMPARE(w.objectName(), QStringLiteral("frmMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessera Kazami   Orrery"));

        const QList<std::tuple<const char *, QString, QString>> controls = {
            {"Label1", QStringLiteral("対象ファイル"), QString()},
            {"Label2", QStringLiteral("フォルダ"), QString()},
            {"Label3", QStringLiteral("ソート"), QString()},
            {"cmdClear", QStringLiteral("クリア"),
             QStringLiteral("初期状態に戻します（置換後は戻せません）（F5）")},
            {"cmdExplorer", QStringLiteral("外部実行"), QStringLiteral("設定した外部ファイルを呼び出します")},
            {"cmdExe", QStringLiteral("< 置換実行 >"),
             QStringLiteral("置換を実行します（実行後は戻せません）（Ctrl+R）")},
            {"cmdEnd", QStringLiteral("終了"), QStringLiteral("Kazami を終了します（Ctrl+Q）")},
        };
        for (const auto &[name, caption, tooltip] : controls) {
            QWidget *widget = child<QWidget>(name);
            QVERIFY2(widget, name);
            const QString text = widget->property("text").toString();
            QCOMPARE(text, caption);
            QCOMPARE(widget->toolTip(), tooltip);
        }
        QCOMPARE(child<QLineEdit>("txtPath")->toolTip(),
                 QStringLiteral("ここで指定したフォルダ内のファイルをリストに表示します"));
        QCOMPARE(child<QLineEdit>("txtPath")->text(), m_folder->path());
        QVERIFY(child<QPushButton>("cmdPath")->text().isEmpty());
        QVERIFY(!child<QPushButton>("cmdPath")->icon().isNull());
        QCOMPARE(child<QComboBox>("cmbRefer")->toolTip(),
                 QStringLiteral("リストに表示するファイルの指定（普通＊を利用します）"));
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("2 FILES"));
        QCOMPARE(Names(w), QStringList({QStringLiteral("a.txt"), QStringLiteral("b.txt")}));

        auto *sort = child<QComboBox>("cmbSort");
        QVERIFY(!sort->isEditable());
        QStringList entries;
        for (int i = 0; i < sort->count(); ++i)
            entries.append(sort->itemText(i));
        QCOMPARE(entries, QStringList({QStringLiteral("変換前 A-Z"), QStringLiteral("変換前 Z-A"),
                                       QStringLiteral("プレビュー A-Z"), QStringLiteral("プレビュー Z-A"),
                                       QStringLiteral("日付古順"), QStringLiteral("日付新順"),
                                       QStringLiteral("サイズ小順"), QStringLiteral("サイズ大順"),
                                       QStringLiteral("ユーザ指定")}));
        QCOMPARE(sort->currentIndex(), 0);
        auto *pattern = child<QComboBox>("cmbRefer");
        QStringList patterns;
        for (int i = 0; i < pattern->count(); ++i)
            patterns.append(pattern->itemText(i));
        QCOMPARE(patterns,
                 QStringList({QStringLiteral("*.*"), QStringLiteral("*.bmp"), QStringLiteral("*.jpg"),
                              QStringLiteral("*.gif"), QStringLiteral("*.mp3"), QStringLiteral("*.wav")}));
        QCOMPARE(pattern->currentText(), QStringLiteral("*.*"));

        auto *view = child<QTreeView>("lvwMain");
        QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->header()->count(), 5);
        // No caption is cut at the opening size, and the names fill the rest.
        for (int column = 0; column < 5; ++column)
            QVERIFY(view->header()->sectionSize(column) >= view->header()->sectionSizeHint(column));
        QCOMPARE(view->header()->sectionSize(0), view->header()->sectionSize(1));
        QVERIFY(view->viewport()->width() - ColumnsWidth(view) <= 1);
    }

    void nameColumnsShareTheSpareWidthAndKeepADraggedOne()
    {
        MainWindow &w = start({QStringLiteral("写真_京都旅行_2024年春_清水寺の桜_0001.JPG")});
        auto *view = child<QTreeView>("lvwMain");
        QHeaderView *header = view->header();
        const int fixed = header->sectionSize(2) + header->sectionSize(3) + header->sectionSize(4);
        const int name = header->sectionSize(0);

        w.resize(w.width() + 200, w.height());
        QCOMPARE(header->sectionSize(0), name + 100);
        QCOMPARE(header->sectionSize(1), name + 100);
        QCOMPARE(header->sectionSize(2) + header->sectionSize(3) + header->sectionSize(4), fixed);
        QVERIFY(view->viewport()->width() - ColumnsWidth(view) <= 1);

        // Dragging the border between the names: the preview column gives way.
        const int border = header->sectionViewportPosition(1) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(border, y));
        QTest::mouseMove(header->viewport(), QPoint(border + 30, y));
        QTest::mouseMove(header->viewport(), QPoint(border + 60, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(border + 60, y));
        const int dragged = header->sectionSize(0);
        QCOMPARE(dragged, name + 160);
        QVERIFY(view->viewport()->width() - ColumnsWidth(view) <= 1);

        // The dragged width stays; the other name column follows the window.
        w.resize(w.width() - 120, w.height());
        QCOMPARE(header->sectionSize(0), dragged);
        QCOMPARE(header->sectionSize(1), name + 100 - 60 - 120);
    }

    void sortsShowTheirPlaceAndIndicator()
    {
        QStringList files;
        for (int i = 1; i <= 200; ++i)
            files.append(QStringLiteral("写真_%1.jpg").arg(i, 3, 10, QChar(u'0')));
        MainWindow &w = start(files);
        auto *view = child<QTreeView>("lvwMain");
        auto *sort = child<QComboBox>("cmbSort");
        QHeaderView *header = view->header();
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        // A sort by an entry shows the top of the list, wherever the clicked row went.
        view->scrollTo(view->model()->index(149, 0));
        ClickRow(w, 150);
        sort->setCurrentIndex(1);
        QVERIFY(RowInView(view, 1));
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        // The attribute header keeps the current row, and in view.
        view->scrollTo(view->model()->index(179, 0));
        ClickRow(w, 180);
        const QString picked = w.list().at(180).Name;
        view->scrollToTop();
        emit header->sectionClicked(2);
        QCOMPARE(w.list().at(w.CurrentRow()).Name, picked);
        QVERIFY(RowInView(view, w.CurrentRow()));
        QCOMPARE(header->sortIndicatorSection(), -1);

        sort->setCurrentIndex(6);
        QCOMPARE(header->sortIndicatorSection(), 4);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        sort->setCurrentIndex(8);
        QCOMPARE(header->sortIndicatorSection(), -1);
    }

    void refusedRunShowsItsRowWithTheFocus()
    {
        QStringList files;
        for (int i = 1; i <= 200; ++i)
            files.append(QStringLiteral("%1.txt").arg(i, 3, 10, QChar(u'0')));
        MainWindow &w = start(files);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        child<QLineEdit>("txtPath")->setFocus();
        FileEntry row = w.list().ReadRow(170);
        row.Preview = QStringLiteral("a*b.txt");
        w.list().WriteRow(170, row);

        child<QPushButton>("cmdExe")->click();
        QCOMPARE(m_messages->messages().size(), 2);
        auto *view = child<QTreeView>("lvwMain");
        QCOMPARE(w.CurrentRow(), 170);
        QCOMPARE(view->currentIndex().row(), 169);
        QVERIFY(RowInView(view, 170));
        QVERIFY(view->hasFocus());
        QCOMPARE(Selected(w), Rows{170});
        QVERIFY(Button(w, "IDUP")->isEnabled());
    }

    void keyboardSelectionMakesACurrentRow()
    {
        MainWindow &w =
            start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        auto *view = child<QTreeView>("lvwMain");
        view->setFocus();
        QCOMPARE(w.CurrentRow(), 0);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Highlighted(w), (Rows{view->currentIndex().row(), view->currentIndex().row() + 1}));
        QCOMPARE(w.CurrentRow(), view->currentIndex().row() + 1);
        QVERIFY(Button(w, "IDUP")->isEnabled());
        w.Dispatch(QStringLiteral("IDDOWN"));
        QCOMPARE(Highlighted(w), (Rows{w.CurrentRow() - 1, w.CurrentRow()}));

        // Selecting everything with the keyboard keeps a current row too.
        w.ClearCurrentRow();
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Highlighted(w), (Rows{1, 2, 3, 4}));
        QVERIFY(w.CurrentRow() >= 1);
        QVERIFY(Button(w, "IDDEL")->isEnabled());
    }

    void dragSelectionMakesACurrentRow()
    {
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                               QStringLiteral("4"), QStringLiteral("5")});
        auto *view = child<QTreeView>("lvwMain");
        auto centre = [view](int row) { return view->visualRect(view->model()->index(row - 1, 0)).center(); };
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(2));
        QTest::mouseMove(view->viewport(), centre(3));
        QTest::mouseMove(view->viewport(), centre(4));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(4));
        QCOMPARE(Highlighted(w), (Rows{2, 3, 4}));
        QCOMPARE(w.CurrentRow(), 4);
        QVERIFY(Button(w, "IDUP")->isEnabled());
        w.Dispatch(QStringLiteral("IDUP"));
        QCOMPARE(Names(w).join(QString()), QStringLiteral("23415"));
    }

    void toolbarHasItsButtonsInGroups()
    {
        MainWindow &w = start({});
        QStringList keys;
        for (QAction *action : child<QToolBar>("tlbMain")->actions())
            keys.append(action->isSeparator() ? QStringLiteral("|") : action->objectName());
        QCOMPARE(keys.join(u' '),
                 QStringLiteral("IDOPEN IDOPT | IDUP IDDOWN | IDEDIT IDDEL | | IDCHG IDINS IDATT "
                                "IDNUM IDLS | | IDETC IDPIC | | IDEXT"));
        QCOMPARE(Button(w, "IDDEL")->toolTip(),
                 QStringLiteral("リストから除外します（削除はしません）（Del）"));
        QCOMPARE(Button(w, "IDEXT")->toolTip(),
                 QStringLiteral("拡張子を保護します（推奨：ＯＮ）（Ctrl+Shift+E）"));
        QCOMPARE(Button(w, "IDNUM")->toolTip(), QStringLiteral("リストの先頭から順に連続番号を（Ctrl+N）"));
        for (const char *key : {"IDUP", "IDDOWN", "IDDEL", "IDEDIT"}) {
            QVERIFY(!Button(w, key)->isEnabled());
            QCOMPARE(w.ImageKey(QLatin1StringView(key)),
                     QStringLiteral("IDN") + QLatin1StringView(key).mid(2));
        }
        for (QAction *action : child<QToolBar>("tlbMain")->actions())
            QVERIFY(action->isSeparator() || !action->icon().isNull());
    }

    void extensionButtonShowsProtection()
    {
        MainWindow &w = start({});
        QAction *ext = Button(w, "IDEXT");
        auto *button = child<QToolBar>("tlbMain")->widgetForAction(ext);
        QVERIFY(m_settings->ProtectExtension);
        QVERIFY(ext->isChecked());
        QCOMPARE(w.ImageKey(QStringLiteral("IDEXT")), QStringLiteral("IDNEXT"));

        // Each click switches the protection exactly once, and the button shows it.
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!m_settings->ProtectExtension);
        QVERIFY(!ext->isChecked());
        QCOMPARE(w.ImageKey(QStringLiteral("IDEXT")), QStringLiteral("IDEXT"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_settings->ProtectExtension);
        QVERIFY(ext->isChecked());
        w.Dispatch(QStringLiteral("IDEXT"));
        QVERIFY(!m_settings->ProtectExtension);
        QVERIFY(!ext->isChecked());

        // A change made elsewhere shows once CheckExt runs without toggling.
        m_settings->ProtectExtension = true;
        w.CheckExt(false);
        QVERIFY(ext->isChecked());
        QCOMPARE(w.ImageKey(QStringLiteral("IDEXT")), QStringLiteral("IDNEXT"));
        // The pressed look of the rule dialogs never reaches it.
        w.SetButtonPressed(QStringLiteral("IDEXT"), false);
        QVERIFY(ext->isCheckable() && ext->isChecked());
    }

    void unknownKeysDoNothing()
    {
        MainWindow &w = start({QStringLiteral("a"), QStringLiteral("b")});
        pick({2});
        w.Dispatch(QStringLiteral("idup"));
        w.Dispatch(QStringLiteral("IDNUP"));
        ClickInNextModal(QStringLiteral("cmdCancel"));
        w.Dispatch(QStringLiteral("IDCHG"));
        QCOMPARE(Names(w), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(child<QComboBox>("cmbSort")->currentIndex(), 0);
        QVERIFY(m_messages->messages().isEmpty());
    }

    void firstRunRefusedEndsWithoutSettings()
    {
        m_window = std::make_unique<MainWindow>(*m_settings);
        QString seen;
        QString text;
        ClickInNextModal(QStringLiteral("cmdCancel"), &seen, [&text](QWidget *modal) {
            text = modal->findChild<QPlainTextEdit *>(QStringLiteral("txtMessage"))->toPlainText();
        });
        QVERIFY(!m_window->FormLoad());
        QCOMPARE(seen, QStringLiteral("frmContract"));
        QString expected = ContractDialog::ContractText();
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(text, expected);
        QVERIFY(!QFile::exists(m_program->settingsFile()));
    }

    void firstRunAcceptedOpensOnTheProgramFolder()
    {
        m_window = std::make_unique<MainWindow>(*m_settings);
        QString seen;
        ClickInNextModal(QStringLiteral("cmdOK"), &seen);
        QVERIFY(m_window->FormLoad());
        QCOMPARE(seen, QStringLiteral("frmContract"));
        QVERIFY(QFile::exists(m_program->settingsFile()));
        QCOMPARE(m_settings->CurrentFolder, m_program->path());
        QCOMPARE(child<QLineEdit>("txtPath")->text(), m_program->path());
        // The settings file itself is listed.
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("1 FILES"));
    }

    void closingAsksAndNoKeepsEverything()
    {
        MainWindow &w = start({QStringLiteral("a.txt")});
        QFile::remove(m_program->settingsFile());
        FileEntry row = w.list().ReadRow(1);
        row.Preview = QStringLiteral("b.txt");
        w.list().WriteRow(1, row);

        m_messages->scriptAnswers({false});
        child<QPushButton>("cmdEnd")->click();
        QCOMPARE(m_messages->messages().size(), 1);
        const auto &question = m_messages->messages().first();
        QVERIFY(question.question);
        QCOMPARE(question.title, QStringLiteral("名前を変えずに終了します"));
        QCOMPARE(question.text,
                 QStringLiteral("ファイル名の変更を実行していません．\r\n\r\n終了してもいいですね？"));
        QCOMPARE(question.icon, MessageIcon::Exclamation);
        QVERIFY(w.isVisible());
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("b.txt"));
        QVERIFY(!QFile::exists(m_program->settingsFile()));

        // Closing by the window's frame asks the same; Yes saves and closes.
        m_messages->scriptAnswers({true});
        child<QComboBox>("cmbRefer")->setEditText(QStringLiteral("*.txt"));
        QVERIFY(w.close());
        QCOMPARE(m_messages->messages().size(), 2);
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(m_program->settingsFile()));
        AppSettings saved;
        QVERIFY(ReadSettings(*Fs().ReadFile(m_program->settingsFile()), saved));
        QCOMPARE(saved.CurrentFolder, m_folder->path());
        QCOMPARE(m_settings->FilePattern, QStringLiteral("*.txt"));
    }

    void noQuestionAfterACompletedRun()
    {
        MainWindow &w = start({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
        QVERIFY(!w.RenameDone());
        m_messages->scriptAnswers({true});
        child<QPushButton>("cmdExe")->click();
        QVERIFY(w.RenameDone());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("2 FILES"));
        m_messages->clear();
        QVERIFY(w.close());
        QVERIFY(m_messages->messages().isEmpty());
        QVERIFY(QFile::exists(m_program->settingsFile()));
    }

    void typingAFolderRescansAfterEveryCharacter()
    {
        MainWindow &w = start({});
        m_folder->addFolder(QStringLiteral("日本語フォルダ"));
        const QString target = m_folder->path() + QStringLiteral("/日本語フォルダ");
        for (const QString &name : {QStringLiteral("写真一.jpg"), QStringLiteral("写真二.jpg")})
            m_folder->addFile(QStringLiteral("日本語フォルダ/") + name);

        auto *box = child<QLineEdit>("txtPath");
        // The user's order applies no sort, so each scan resets the list once.
        child<QComboBox>("cmbSort")->setCurrentIndex(8);
        box->setFocus();
        box->clear();
        QSignalSpy scans(&w.list(), &FileList::listReset);
        const QString typed = target.mid(m_folder->path().size());
        box->setText(m_folder->path());
        const int before = scans.count();
        TypeText(box, typed.left(typed.size() - 1));
        QCOMPARE(scans.count(), before + typed.size() - 1);
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("0 FILES"));
        TypeText(box, typed.right(1));
        QCOMPARE(box->text(), target);
        QCOMPARE(m_settings->CurrentFolder, target);
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("2 FILES"));
        QVERIFY(m_messages->messages().isEmpty());

        // Leaving the box drops trailing separators, which rescans once more.
        TypeText(box, QStringLiteral("//"));
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("2 FILES"));
        child<QTreeView>("lvwMain")->setFocus(Qt::TabFocusReason);
        QCOMPARE(box->text(), target);
        QVERIFY(m_messages->messages().isEmpty());
    }

    void rootFolderIsKeptAndListed()
    {
        m_program->writeSettings(QStringLiteral("/"));
        m_window = std::make_unique<MainWindow>(*m_settings);
        QVERIFY(m_window->FormLoad());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto *box = child<QLineEdit>("txtPath");
        QCOMPARE(box->text(), QStringLiteral("/"));
        QCOMPARE(m_window->list().Folder(), QStringLiteral("/"));
        // Leaving the box keeps the root's one separator.
        box->setFocus();
        box->setText(QStringLiteral("//"));
        child<QTreeView>("lvwMain")->setFocus(Qt::TabFocusReason);
        QCOMPARE(box->text(), QStringLiteral("/"));
        QCOMPARE(m_settings->CurrentFolder, QStringLiteral("/"));
        QCOMPARE(m_window->list().Folder(), QStringLiteral("/"));
    }

    void patternBoxRescansOnTypingAndPicking()
    {
        MainWindow &w = start({QStringLiteral("a.jpg"), QStringLiteral("b.JPG"), QStringLiteral("c.txt"),
                               QStringLiteral("メモ.txt")});
        auto *pattern = child<QComboBox>("cmbRefer");
        pattern->lineEdit()->selectAll();
        TypeText(pattern->lineEdit(), QStringLiteral("*.txt"));
        QCOMPARE(m_settings->FilePattern, QStringLiteral("*.txt"));
        QCOMPARE(Names(w), QStringList({QStringLiteral("c.txt"), QStringLiteral("メモ.txt")}));

        // Picking with the keyboard, as from the drop-down list.
        pattern->setCurrentIndex(1);
        QTest::keyClick(pattern, Qt::Key_Down);
        QCOMPARE(pattern->currentText(), QStringLiteral("*.jpg"));
        QCOMPARE(Names(w), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.JPG")}));

        // A pick also discards previews, even of the same entry.
        FileEntry row = w.list().ReadRow(1);
        row.Preview = QStringLiteral("x.jpg");
        w.list().WriteRow(1, row);
        emit pattern->textActivated(pattern->currentText());
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("a.jpg"));
    }

    void sortEntries_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QStringList>("order");
        const QString a = QStringLiteral("A.txt"), b = QStringLiteral("b.txt"), c = QStringLiteral("c.txt");
        QTest::newRow("name ascending ignores case") << 0 << QStringList{a, b, c};
        QTest::newRow("name descending") << 1 << QStringList{c, b, a};
        QTest::newRow("date oldest first, 1999 before 2024") << 4 << QStringList{b, c, a};
        QTest::newRow("date newest first") << 5 << QStringList{a, c, b};
        QTest::newRow("size smallest first") << 6 << QStringList{b, c, a};
        QTest::newRow("size largest first") << 7 << QStringList{a, c, b};
    }

    void sortEntries()
    {
        QFETCH(int, entry);
        QFETCH(QStringList, order);
        m_folder->addFile(QStringLiteral("A.txt"), QByteArray(1000, 'x'));
        m_folder->addFile(QStringLiteral("b.txt"), QByteArray(9, 'x'));
        m_folder->addFile(QStringLiteral("c.txt"), QByteArray(10, 'x'));
        m_folder->setModified(QStringLiteral("A.txt"), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        m_folder->setModified(QStringLiteral("b.txt"), QDateTime(QDate(1999, 1, 1), QTime(0, 0, 0)));
        m_folder->setModified(QStringLiteral("c.txt"), QDateTime(QDate(2010, 6, 1), QTime(0, 0, 0)));
        MainWindow &w = start({});
        child<QComboBox>("cmbSort")->setCurrentIndex(8);
        pick({2});
        QCOMPARE(w.CurrentRow(), 2);
        child<QComboBox>("cmbSort")->setCurrentIndex(entry);
        QCOMPARE(Names(w), order);
        QCOMPARE(w.CurrentRow(), 0);
        QVERIFY(!Button(w, "IDUP")->isEnabled());
    }

    void headerClicksToggleDirection()
    {
        MainWindow &w = start({QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")});
        auto *sort = child<QComboBox>("cmbSort");
        auto *header = child<QTreeView>("lvwMain")->header();
        auto clickHeader = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(0);
        QCOMPARE(sort->currentIndex(), 1);
        QCOMPARE(Names(w), QStringList({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("A")}));
        clickHeader(0);
        QCOMPARE(sort->currentIndex(), 0);
        QCOMPARE(Names(w), QStringList({QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")}));
        sort->setCurrentIndex(7);
        clickHeader(3);
        QCOMPARE(sort->currentIndex(), 4);
        clickHeader(3);
        QCOMPARE(sort->currentIndex(), 5);
        clickHeader(4);
        QCOMPARE(sort->currentIndex(), 6);
        clickHeader(1);
        QCOMPARE(sort->currentIndex(), 2);
        clickHeader(1);
        QCOMPARE(sort->currentIndex(), 3);
    }

    void attributeHeaderSortsDescendingAsUserOrder()
    {
        MainWindow &w = start({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        m_folder->setReadOnly(QStringLiteral("b"), true);
        child<QPushButton>("cmdClear")->click();
        pick({3});
        auto *header = child<QTreeView>("lvwMain")->header();
        for (int click = 0; click < 2; ++click) {
            emit header->sectionClicked(2);
            QCOMPARE(child<QComboBox>("cmbSort")->currentIndex(), 8);
            QCOMPARE(w.list().at(1).Name, QStringLiteral("b"));
            QCOMPARE(w.list().at(1).Attributes, QStringLiteral("R - -"));
        }
        // The current row follows its row.
        QCOMPARE(w.list().at(w.CurrentRow()).Name, QStringLiteral("c"));
        m_folder->setReadOnly(QStringLiteral("b"), false);
    }

    void userOrderKeepsOrderAndCurrentRow()
    {
        MainWindow &w = start({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        pick({2});
        w.Dispatch(QStringLiteral("IDDOWN"));
        const QStringList moved = {QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b")};
        QCOMPARE(Names(w), moved);
        QCOMPARE(child<QComboBox>("cmbSort")->currentText(), QStringLiteral("ユーザ指定"));
        QCOMPARE(w.CurrentRow(), 3);
        // A rescan under the user's order applies no sort and leaves the commands.
        child<QPushButton>("cmdClear")->click();
        QCOMPARE(w.CurrentRow(), 0);
        QVERIFY(Button(w, "IDUP")->isEnabled());
    }

    void moves_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<Rows>("picked");
        QTest::addColumn<QString>("order");
        QTest::addColumn<Rows>("highlighted");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("userOrder");
        QTest::newRow("up/block of two") << true << Rows{3, 4} << "13425" << Rows{2, 3} << 3 << true;
        QTest::newRow("up/top row stays") << true << Rows{1} << "12345" << Rows{1} << 1 << true;
        QTest::newRow("up/block at the top stays, lone row moves")
            << true << Rows{1, 2, 4} << "12435" << Rows{1, 2, 3} << 3 << true;
        QTest::newRow("down/block at the bottom stays")
            << false << Rows{5, 4} << "12345" << Rows{4, 5} << 4 << true;
        QTest::newRow("down/block of two") << false << Rows{4, 3} << "12534" << Rows{4, 5} << 4 << true;
        QTest::newRow("down/separate rows") << false << Rows{1, 3} << "21435" << Rows{2, 4} << 4 << true;
    }

    void moves()
    {
        QFETCH(bool, up);
        QFETCH(Rows, picked);
        QFETCH(QString, order);
        QFETCH(Rows, highlighted);
        QFETCH(int, current);
        QFETCH(bool, userOrder);
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                               QStringLiteral("4"), QStringLiteral("5")});
        pick(picked);
        QCOMPARE(w.CurrentRow(), picked.last());
        QVERIFY(Button(w, "IDUP")->isEnabled());
        Button(w, up ? "IDUP" : "IDDOWN")->trigger();
        QCOMPARE(Names(w).join(QString()), order);
        QCOMPARE(Highlighted(w), highlighted);
        QCOMPARE(Selected(w), highlighted);
        QCOMPARE(w.CurrentRow(), current);
        QCOMPARE(child<QComboBox>("cmbSort")->currentIndex() == 8, userOrder);
        for (int row = 1; row <= 5; ++row)
            QCOMPARE(w.list().at(row).Preview, w.list().at(row).Name);
    }

    void downWithoutCurrentRowDoesNothing()
    {
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2")});
        pick({1});
        w.ClearCurrentRow();
        w.ExeDown();
        w.ExeUp();
        QCOMPARE(Names(w), QStringList({QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(child<QComboBox>("cmbSort")->currentIndex(), 0);
    }

    void excludeOneRowWithTheDialog()
    {
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                               QStringLiteral("4"), QStringLiteral("5")});
        pick({2});
        QString seen;
        QString message;
        ClickInNextModal(QStringLiteral("cmdOK"), &seen, [&message](QWidget *modal) {
            message = modal->findChild<QPlainTextEdit *>(QStringLiteral("txtMessage"))->toPlainText();
            QCOMPARE(modal->windowTitle(), QStringLiteral("リストからの除外"));
            QVERIFY(modal->findChild<QCheckBox *>(QStringLiteral("chkReview"))->isChecked());
        });
        Button(w, "IDDEL")->trigger();
        QCOMPARE(seen, QStringLiteral("frmDel"));
        QCOMPARE(message, QStringLiteral("2\n\nリスト（変換対象）から除外します．\nリストから除くだけで削除は"
                                         "しません．\n\nよろしいですね？"));
        QCOMPARE(Names(w).join(QString()), QStringLiteral("1345"));
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("4 FILES"));
        QCOMPARE(w.CurrentRow(), 2);
        QCOMPARE(Highlighted(w), Rows{2});
        QCOMPARE(Selected(w), Rows{2});
        QVERIFY(Button(w, "IDDEL")->isEnabled());
        QVERIFY(m_folder->exists(QStringLiteral("2")));

        // Unticking the box: the next exclusions go without asking.
        ClickInNextModal(QStringLiteral("cmdOK"), nullptr, [](QWidget *modal) {
            modal->findChild<QCheckBox *>(QStringLiteral("chkReview"))->setChecked(false);
        });
        Button(w, "IDDEL")->trigger();
        QVERIFY(!m_settings->ShowExcludeConfirm);
        QCOMPARE(Names(w).join(QString()), QStringLiteral("145"));
        pick({3});
        Button(w, "IDDEL")->trigger();
        QCOMPARE(Names(w).join(QString()), QStringLiteral("14"));
        QCOMPARE(w.CurrentRow(), 2);
        QCOMPARE(Highlighted(w), Rows{2});
    }

    void excludeSeveralRowsOrCancel()
    {
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                               QStringLiteral("4"), QStringLiteral("5")});
        pick({1, 3, 5});
        QString message;
        ClickInNextModal(QStringLiteral("cmdCancel"), nullptr, [&message](QWidget *modal) {
            message = modal->findChild<QPlainTextEdit *>(QStringLiteral("txtMessage"))->toPlainText();
        });
        Button(w, "IDDEL")->trigger();
        QVERIFY(message.startsWith(QStringLiteral("3個のファイル\n")));
        QCOMPARE(Names(w).join(QString()), QStringLiteral("12345"));
        QVERIFY(m_settings->ShowExcludeConfirm);

        ClickInNextModal(QStringLiteral("cmdOK"));
        Button(w, "IDDEL")->trigger();
        QCOMPARE(Names(w).join(QString()), QStringLiteral("24"));
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("2 FILES"));
        QCOMPARE(w.CurrentRow(), 0);
        QCOMPARE(Highlighted(w), Rows{});
        QCOMPARE(Selected(w), Rows{});
        QVERIFY(!Button(w, "IDDEL")->isEnabled());
    }

    void excludeTheOnlyRow()
    {
        MainWindow &w = start({QStringLiteral("only")});
        m_settings->ShowExcludeConfirm = false;
        pick({1});
        Button(w, "IDDEL")->trigger();
        QCOMPARE(w.list().count(), 0);
        QCOMPARE(child<QLabel>("lblCount")->text(), QStringLiteral("0 FILES"));
        QCOMPARE(w.CurrentRow(), 0);
        QVERIFY(!Button(w, "IDDEL")->isEnabled());
    }

    void highlightsAndSelectionFollowEachOther()
    {
        MainWindow &w =
            start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        ClickRow(w, 1);
        ClickRow(w, 3, Qt::ShiftModifier);
        QCOMPARE(Highlighted(w), (Rows{1, 2, 3}));
        ClickRow(w, 2, Qt::ControlModifier);
        QCOMPARE(Highlighted(w), (Rows{1, 3}));
        w.list().setHighlighted(4, true);
        w.list().setHighlighted(1, false);
        QCOMPARE(Selected(w), (Rows{3, 4}));
        // A click on the window's background clears every highlight.
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(w.width() - 3, w.height() - 3));
        QCOMPARE(Highlighted(w), Rows{});
        QCOMPARE(Selected(w), Rows{});
        QCOMPARE(w.CurrentRow(), 0);
    }

    void clearCurrentRowPastTheEnd()
    {
        MainWindow &w = start({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        w.list().setHighlighted(3, true);
        w.list().setCurrentRow(7);
        w.ClearCurrentRow();
        QCOMPARE(Highlighted(w), Rows{});
        QCOMPARE(w.CurrentRow(), 0);
    }

    void sideWindowsFollowTheirFlags()
    {
        MainWindow &w = start({});
        QWidget etc, picture;
        etc.resize(120, 200);
        picture.resize(150, 200);
        WidgetSideWindow etcSide(&etc), pictureSide(&picture);
        w.SetEtcWindow(&etcSide);
        w.SetPictureWindow(&pictureSide);

        m_settings->EtcWindowOpen = true;
        w.ShowFrame();
        QVERIFY(etc.isVisible());
        QCOMPARE(etc.pos(), SideWindowPosition(w.screen()->availableGeometry(), w.frameGeometry(),
                                               etc.frameGeometry().size(),
                                               w.geometry().top() - w.frameGeometry().top()));
        m_settings->EtcWindowOpen = false;
        m_settings->PictureWindowOpen = true;
        w.ShowFrame();
        QVERIFY(!etc.isVisible());
        QVERIFY(picture.isVisible());

        // Minimizing hides the side window, restoring shows it again.
        w.setWindowState(Qt::WindowMinimized);
        QVERIFY(!picture.isVisible());
        QVERIFY(m_settings->PictureWindowOpen);
        w.setWindowState(Qt::WindowNoState);
        QVERIFY(picture.isVisible());

        m_settings->PictureWindowOpen = false;
        w.ShowFrame();
        QVERIFY(!picture.isVisible());
        w.SetEtcWindow(nullptr);
        w.SetPictureWindow(nullptr);
    }

    void windowKeepsItsMinimumSize()
    {
        MainWindow &w = start({});
        const qreal scale = w.logicalDpiX() / 96.0;
        w.resize(100, 80);
        QVERIFY(w.width() >= qRound(5350 / 15 * scale));
        QVERIFY(w.height() >= qRound(3600 / 15 * scale));
        // Every toolbar button stays on the toolbar, none in an overflow menu.
        auto *toolbar = child<QToolBar>("tlbMain");
        for (QAction *action : toolbar->actions()) {
            if (!action->isSeparator()) {
                QWidget *button = toolbar->widgetForAction(action);
                QVERIFY2(button->isVisible(), qPrintable(action->objectName()));
                QVERIFY(toolbar->rect().contains(button->geometry()));
            }
        }
        const int listWidth = child<QTreeView>("lvwMain")->width();
        w.resize(w.width() + 200, w.height() + 100);
        QCOMPARE(child<QTreeView>("lvwMain")->width(), listWidth + 200);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
