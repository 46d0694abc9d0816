#include "windowtest.h"

#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMap>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Watches for a modal dialog while a key is handled, notes its name and
// cancels it.
class ModalWatch final
{
public:
    ModalWatch()
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            m_seen = modal->objectName();
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        });
        m_timer.start(10);
    }
    QString seen() const { return m_seen; }

private:
    QTimer m_timer;
    QString m_seen;
};

} // namespace

class ShortcutsTest : public WindowTest
{
    Q_OBJECT

private:
    // A window on a.txt, b.txt and c.txt, active, with row 2 current.
    MainWindow &start()
    {
        StartOnThreeFiles();
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qFatal("window not active");
        auto *list = m_window->findChild<QTreeView *>(u"lvwMain"_s);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(1, 0)).center());
        return *m_window;
    }

    QStringList names() const
    {
        QStringList names;
        for (int row = 1; row <= m_window->list().count(); ++row)
            names.append(m_window->list().at(row).Name);
        return names;
    }

    QStringList previews() const
    {
        QStringList previews;
        for (int row = 1; row <= m_window->list().count(); ++row)
            previews.append(m_window->list().at(row).Preview);
        return previews;
    }

    // What a key did: the dialog it opened, the side window it showed or
    // the change it made.
    QString press(QWidget *target, const QKeySequence &key)
    {
        ModalWatch watch;
        const QStringList before = names();
        const bool protect = m_settings->ProtectExtension;
        const int messages = int(m_messages->messages().size());
        const QKeyCombination combination = key[0];
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
        // Buttons click a moment after their key, as after a press.
        QTest::qWait(150);
        if (!watch.seen().isEmpty())
            return u"dialog "_s + watch.seen();
        for (const char *name : {"frmEtc", "frmPic"}) {
            QWidget *side = m_window->findChild<QWidget *>(QLatin1StringView(name));
            if (side && side->isVisible())
                return u"window "_s + QLatin1StringView(name);
        }
        if (names() != before)
            return u"order "_s + names().join(u' ');
        if (previews() != names())
            return u"previews "_s + previews().join(u' ');
        if (m_settings->ProtectExtension != protect)
            return u"protection"_s;
        if (m_messages->messages().size() > messages)
            return u"message "_s + m_messages->messages().constLast().text.section(u'\r', 0, 0);
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus != target && focus->objectName() == u"txtPath")
            return u"focus txtPath"_s;
        return u"nothing"_s;
    }

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void keysReachTheirCommands_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("IDOPEN") << u"Ctrl+O"_s << u"dialog frmPath"_s;
        QTest::newRow("IDOPT") << u"Ctrl+,"_s << u"dialog frmOption"_s;
        QTest::newRow("IDUP") << u"Alt+Up"_s << u"order b.txt a.txt c.txt"_s;
        QTest::newRow("IDDOWN") << u"Alt+Down"_s << u"order a.txt c.txt b.txt"_s;
        QTest::newRow("IDEDIT") << u"F2"_s << u"dialog frmOne"_s;
        QTest::newRow("IDDEL") << u"Del"_s << u"dialog frmDel"_s;
        QTest::newRow("IDCHG") << u"Ctrl+H"_s << u"dialog frmChg"_s;
        QTest::newRow("IDINS") << u"Ctrl+I"_s << u"dialog frmIns"_s;
        QTest::newRow("IDATT") << u"Ctrl+T"_s << u"dialog frmAtt"_s;
        QTest::newRow("IDNUM") << u"Ctrl+N"_s << u"dialog frmNumber"_s;
        QTest::newRow("IDLS") << u"Shift+F3"_s << u"previews A.TXT B.TXT C.TXT"_s;
        QTest::newRow("IDETC") << u"F7"_s << u"window frmEtc"_s;
        QTest::newRow("IDPIC") << u"F3"_s << u"window frmPic"_s;
        QTest::newRow("IDEXT") << u"Ctrl+Shift+E"_s << u"protection"_s;
        QTest::newRow("cmdExe") << u"Ctrl+R"_s << u"message 置換を中止します"_s;
        QTest::newRow("cmdEnd") << u"Ctrl+Q"_s << u"message ファイル名の変更を実行していません．"_s;
        QTest::newRow("folder box") << u"Ctrl+L"_s << u"focus txtPath"_s;
    }

    // Each key reaches its command from the list, and the toolbar's
    // tooltip shows the key.
    void keysReachTheirCommands()
    {
        QFETCH(QString, key);
        QFETCH(QString, effect);
        MainWindow &w = start();
        // The case toggle changes the extension too when it is not protected.
        m_settings->ProtectExtension = false;
        const QKeySequence sequence(key, QKeySequence::PortableText);
        QCOMPARE(press(w.findChild<QTreeView *>(u"lvwMain"_s), sequence), effect);

        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QObject *command = w.findChild<QObject *>(name);
        if (command && command->property("toolTip").isValid())
            QVERIFY2(command->property("toolTip").toString().endsWith(
                         u'（' + sequence.toString(QKeySequence::NativeText) + u'）'),
                     qPrintable(command->property("toolTip").toString()));
    }

    // No two commands share a key, and the keys of the list's history are
    // its own.
    void keysAreDistinct()
    {
        MainWindow &w = start();
        QMap<QString, QString> owners;
        auto note = [&owners](const QString &owner, const QKeySequence &key) {
            if (key.isEmpty())
                return;
            const QString text = key.toString(QKeySequence::PortableText);
            QVERIFY2(!owners.contains(text), qPrintable(text + u' ' + owners.value(text) + u' ' + owner));
            owners.insert(text, owner);
        };
        for (QAction *action : w.findChildren<QAction *>()) {
            for (const QKeySequence &key : action->shortcuts())
                note(action->objectName(), key);
        }
        for (QAbstractButton *button : w.findChildren<QAbstractButton *>())
            note(button->objectName(), button->shortcut());
        const QMap<QString, QString> history = {{u"Ctrl+Z"_s, u"mnuEditUndo"_s},
                                                {u"Ctrl+Y"_s, u"mnuEditRedo"_s},
                                                {u"Ctrl+Shift+Z"_s, u"mnuEditRedo"_s},
                                                {u"F8"_s, u"mnuNextProblem"_s},
                                                {u"Shift+F8"_s, u"mnuPrevProblem"_s}};
        for (auto key = history.begin(); key != history.end(); ++key)
            QCOMPARE(owners.value(key.key()), key.value());
        QCOMPARE(owners.size() - history.size(), 18);
    }

    void rescanKey()
    {
        MainWindow &w = start();
        m_folder->addFile(u"d.txt"_s);
        QTest::keyClick(w.findChild<QTreeView *>(u"lvwMain"_s), Qt::Key_F5);
        QTRY_COMPARE(names(), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s}));
    }

    // Where a key edits or opens a box, the box has it and no command runs.
    void editingKeysStayInTheirBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("folder box/Del deletes") << u"txtPath"_s << u"Del"_s << u"ac"_s;
        QTest::newRow("folder box/Backspace") << u"txtPath"_s << u"Backspace"_s << u"bc"_s;
        QTest::newRow("pattern box/Del deletes") << u"cmbRefer"_s << u"Del"_s << u"ac"_s;
        QTest::newRow("pattern box/Alt+Down opens") << u"cmbRefer"_s << u"Alt+Down"_s << QString();
        QTest::newRow("pattern box/Alt+Up") << u"cmbRefer"_s << u"Alt+Up"_s << QString();
        QTest::newRow("sort box/Alt+Down opens") << u"cmbSort"_s << u"Alt+Down"_s << QString();
        QTest::newRow("sort box/Alt+Up") << u"cmbSort"_s << u"Alt+Up"_s << QString();
    }

    void editingKeysStayInTheirBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, key);
        QFETCH(QString, text);
        MainWindow &w = start();
        auto *widget = w.findChild<QWidget *>(box);
        auto *edit = qobject_cast<QLineEdit *>(widget);
        if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->isEditable())
            edit = combo->lineEdit();
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
        // The boxes rescan on every change of their text: kept quiet here,
        // so that the rows show what the key did.
        const QSignalBlocker quiet(edit);
        if (!text.isEmpty()) {
            edit->setText(u"abc"_s);
            edit->setCursorPosition(1);
        }
        // The box has the focus, so the current row was let go: make one
        // again without moving the focus.
        w.list().setHighlighted(2, true);
        w.list().setCurrentRow(2);
        w.EnableRowCommands();
        widget->setFocus();
        const QString effect = press(widget, QKeySequence(key, QKeySequence::PortableText));
        QCOMPARE(effect, u"nothing"_s);
        if (!text.isEmpty())
            QCOMPARE(edit->text(), text);
        if (auto *combo = qobject_cast<QComboBox *>(widget); combo && key.startsWith(u"Alt"))
            combo->hidePopup();
    }

    // Tab reaches the toolbar; the arrows go along it, and Space runs a
    // button.
    void toolbarIsReachedFromTheKeyboard()
    {
        MainWindow &w = start();
        auto *toolbar = w.findChild<QToolBar *>(u"tlbMain"_s);
        QWidget *open = toolbar->widgetForAction(toolbar->findChild<QAction *>(u"IDOPEN"_s));
        QWidget *options = toolbar->widgetForAction(toolbar->findChild<QAction *>(u"IDOPT"_s));
        QWidget *folder = w.findChild<QWidget *>(u"txtPath"_s);
        folder->setFocus();
        QTRY_VERIFY(folder->hasFocus());
        QTest::keyClick(folder, Qt::Key_Backtab);
        QVERIFY(toolbar->isAncestorOf(QApplication::focusWidget()));
        open->setFocus();
        QTest::keyClick(open, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), options);
        QTest::keyClick(options, Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), open);
        QCOMPARE(press(open, QKeySequence(Qt::Key_Space)), u"dialog frmPath"_s);
    }
};

QTEST_MAIN(ShortcutsTest)
#include "shortcuts_test.moc"
