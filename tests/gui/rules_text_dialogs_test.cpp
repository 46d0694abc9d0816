#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "rules/insert_dialog.h"
#include "rules/numbering_dialog.h"
#include "rules/replace_dialog.h"
#include "rules/rulewindow.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString CharsTitle = u"使用できない文字が含まれています"_s;
const QString CharsText = u"ファイルに以下の文字は使えません\r\n\r\n\\ / : * ? \" < > |"_s;

// The main window as a rule command sees it, over a list of real files.
class FakeRuleWindow final : public RuleWindow
{
public:
    FakeRuleWindow(const TempFolder &folder, const QStringList &names)
    {
        m_list.setFolder(folder.path());
        std::vector<FileEntry> rows;
        for (const QString &name : names) {
            FileEntry &row = rows.emplace_back();
            row.Name = name;
            row.Preview = name;
        }
        m_list.assign(std::move(rows));
    }

    FileList &list() override { return m_list; }
    AppSettings &settings() override { return m_settings; }
    QWidget *DialogParent() override { return nullptr; }
    void ClearCurrentRow() override { ++clears; }
    void CheckExt(bool) override {}
    void SetButtonPressed(const QString &buttonKey, bool pressed) override
    {
        pressedButton = pressed ? buttonKey : QString();
    }
    int &CaseCycle() override { return m_caseCycle; }

    QStringList previews() const
    {
        QStringList out;
        for (int row = 1; row <= m_list.count(); ++row)
            out.append(m_list.at(row).Preview);
        return out;
    }

    int clears = 0;
    QString pressedButton;

private:
    FileList m_list;
    AppSettings m_settings;
    int m_caseCycle = 0;
};

void Run(const QString &key, RuleWindow &window)
{
    if (key == u"IDCHG")
        ExeReplace(window);
    else if (key == u"IDINS")
        ExeInsert(window);
    else
        ExeNumber(window);
}

// Sets controls from "objectName=value" entries: the text of a combo box or
// a text box, "on" or "off" for a check box or an option button.
void Fill(QWidget *dialog, const QStringList &fields)
{
    for (const QString &field : fields) {
        const QString name = field.section(u'=', 0, 0);
        const QString value = field.section(u'=', 1);
        QWidget *control = dialog->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->setEditText(value);
        else if (auto *edit = qobject_cast<QLineEdit *>(control))
            edit->setText(value);
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setChecked(value == u"on");
    }
}

void Click(QWidget *dialog, const char *button)
{
    auto *target = dialog->findChild<QPushButton *>(QLatin1StringView(button));
    QVERIFY(target);
    target->click();
}

QStringList Items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

} // namespace

class RulesTextDialogsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;

private slots:
    void init()
    {
        m_folder = std::make_unique<TempFolder>();
        m_folder->addFile(u"a.txt"_s);
        m_folder->addFile(u"b.txt"_s);
        m_messages = std::make_unique<RecordingMessageSink>();
    }

    void cleanup()
    {
        m_messages.reset();
        m_folder.reset();
    }

    void refusalsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const QString noTitle;
        QTest::newRow("replace/empty search text") << u"IDCHG"_s << QStringList{u"cmbAfter=x"_s}
                                                   << u"「変換する文字」 の欄は省略できません"_s << noTitle;
        QTest::newRow("replace/question mark in the replacement")
            << u"IDCHG"_s << QStringList{u"cmbBefore=a"_s, u"cmbAfter=x?"_s} << CharsText << CharsTitle;
        QTest::newRow("insert/slash in the text")
            << u"IDINS"_s << QStringList{u"cmbIns=a/b"_s} << CharsText << CharsTitle;
        QTest::newRow("numbering/asterisk in the pattern")
            << u"IDNUM"_s << QStringList{u"cmbName=A*?"_s} << CharsText << CharsTitle;
        QTest::newRow("numbering/period under protection")
            << u"IDNUM"_s << QStringList{u"cmbName=BB?B.TXT"_s} << u"拡張子保護のため，実行できません"_s
            << noTitle;
        QTest::newRow("numbering/start not numeric when confirmed with Enter")
            << u"IDNUM"_s << QStringList{u"txtStart=abc"_s} << u"数値を入力してください"_s << noTitle;
        QTest::newRow("numbering/start above 16 bits")
            << u"IDNUM"_s << QStringList{u"txtStart=40000"_s}
            << u"開始の数は -32768 から 32767 までの数にしてください"_s << noTitle;
        QTest::newRow("numbering/negative manual digits")
            << u"IDNUM"_s << QStringList{u"optManual=on"_s, u"txtKeta=-1"_s}
            << u"桁数は 0 から 255 までの数にしてください"_s << noTitle;
        QTest::newRow("numbering/manual digits longer than a name")
            << u"IDNUM"_s << QStringList{u"optManual=on"_s, u"txtKeta=256"_s}
            << u"桁数は 0 から 255 までの数にしてください"_s << noTitle;
        QTest::newRow("numbering/digits above 16 bits even when automatic")
            << u"IDNUM"_s << QStringList{u"optManual=on"_s, u"txtKeta=70000"_s, u"optAuto=on"_s}
            << u"桁数は 0 から 255 までの数にしてください"_s << noTitle;
        QTest::newRow("numbering/the last of two rows passes 32767")
            << u"IDNUM"_s << QStringList{u"txtStart=32767"_s}
            << u"最後のファイルの番号が 32767 を超えます\r\n開始の数を小さくしてください"_s << noTitle;
    }

    void refusalsKeepTheDialogOpen()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, fields);
        FakeRuleWindow window(*m_folder, {u"a.txt"_s, u"b.txt"_s});
        const AppSettings before = window.settings();
        bool stayedOpen = false;
        OnNextModal([&](QWidget *dialog) {
            Fill(dialog, fields);
            Click(dialog, "cmdOK");
            stayedOpen = dialog->isVisible();
            Click(dialog, "cmdCancel");
        });
        Run(command, window);

        QVERIFY(stayedOpen);
        QCOMPARE(m_messages->messages().size(), 1);
        QTEST(m_messages->messages().first().text, "message");
        QTEST(m_messages->messages().first().title, "title");
        QCOMPARE(m_messages->messages().first().icon, MessageIcon::None);
        QCOMPARE(window.previews(), QStringList({u"a.txt"_s, u"b.txt"_s}));
        QCOMPARE(window.clears, 0);
        // Nothing was stored.
        QCOMPARE(ComposeSettings(window.settings()), ComposeSettings(before));
    }

    void historyIsOfferedNewestFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("replace/search text") << u"IDCHG"_s << u"cmbBefore"_s << QStringList();
        QTest::newRow("replace/replacement") << u"IDCHG"_s << u"cmbAfter"_s << QStringList{u"cmbBefore=q"_s};
        QTest::newRow("insert/text") << u"IDINS"_s << u"cmbIns"_s << QStringList();
        QTest::newRow("numbering/pattern") << u"IDNUM"_s << u"cmbName"_s << QStringList();
    }

    void historyIsOfferedNewestFirst()
    {
        QFETCH(QString, command);
        QFETCH(QString, combo);
        QFETCH(QStringList, fields);
        FakeRuleWindow window(*m_folder, {u"a.txt"_s, u"b.txt"_s});
        for (const QString &value : {u"一回目"_s, u"二回目"_s}) {
            QString pressed;
            OnNextModal([&](QWidget *dialog) {
                pressed = window.pressedButton;
                Fill(dialog, fields + QStringList{combo + u'=' + value});
                Click(dialog, "cmdOK");
            });
            Run(command, window);
            QCOMPARE(pressed, command);
            QVERIFY(window.pressedButton.isEmpty());
        }
        QCOMPARE(window.clears, 2);
        QVERIFY(m_messages->messages().isEmpty());

        QStringList offered;
        QString text = u"not read"_s;
        OnNextModal([&](QWidget *dialog) {
            auto *box = dialog->findChild<QComboBox *>(combo);
            offered = Items(box);
            text = box->currentText();
            Click(dialog, "cmdCancel");
        });
        Run(command, window);
        QCOMPARE(offered, QStringList({u"二回目"_s, u"一回目"_s}));
        QCOMPARE(text, QString());
        QCOMPARE(window.clears, 2);
    }

    void typedTextIsNotCompletedFromTheHistory()
    {
        FakeRuleWindow window(*m_folder, {u"a.txt"_s, u"b.txt"_s});
        window.settings().ReplaceFrom = u"abc"_s;
        OnNextModal([](QWidget *dialog) {
            auto *before = dialog->findChild<QComboBox *>(u"cmbBefore"_s);
            before->setFocus();
            TypeText(before->lineEdit(), u"a"_s);
            Click(dialog, "cmdOK");
        });
        ExeReplace(window);
        QCOMPARE(window.settings().ReplaceFrom, u"a"_s);
        QCOMPARE(window.previews(), QStringList({u".txt"_s, u"b.txt"_s}));
    }

    void insertOffersTheStartAtEveryOpening()
    {
        FakeRuleWindow window(*m_folder, {u"a.txt"_s, u"b.txt"_s});
        window.settings().ProtectExtension = true;
        bool topFirst = false;
        OnNextModal([&](QWidget *dialog) {
            topFirst = dialog->findChild<QRadioButton *>(u"optTop"_s)->isChecked();
            QVERIFY(dialog->findChild<QCheckBox *>(u"chkExt"_s)->isChecked());
            Fill(dialog, {u"cmbIns=_x"_s, u"optBottom=on"_s, u"chkExt=off"_s});
            Click(dialog, "cmdOK");
        });
        ExeInsert(window);
        QVERIFY(topFirst);
        QCOMPARE(window.previews(), QStringList({u"a.txt_x"_s, u"b.txt_x"_s}));
        QVERIFY(!window.settings().ProtectExtension);
        QVERIFY(!window.settings().InsertAtTop);
        QCOMPARE(window.clears, 1);

        topFirst = false;
        bool extChecked = true;
        OnNextModal([&](QWidget *dialog) {
            topFirst = dialog->findChild<QRadioButton *>(u"optTop"_s)->isChecked();
            extChecked = dialog->findChild<QCheckBox *>(u"chkExt"_s)->isChecked();
            // An empty text closes the dialog as a cancel does.
            Click(dialog, "cmdOK");
        });
        ExeInsert(window);
        QVERIFY(topFirst);
        QVERIFY(!extChecked);
        QCOMPARE(window.previews(), QStringList({u"a.txt_x"_s, u"b.txt_x"_s}));
        QCOMPARE(window.clears, 1);
        QVERIFY(m_messages->messages().isEmpty());
    }

    void missingFilesLeaveBeforeTheDialog()
    {
        FakeRuleWindow window(*m_folder, {u"a.txt"_s, u"gone.txt"_s, u"b.txt"_s});
        int rowsSeen = 0;
        OnNextModal([&](QWidget *dialog) {
            rowsSeen = window.list().count();
            Fill(dialog, {u"cmbName=n?_"_s, u"txtStart=1"_s});
            Click(dialog, "cmdOK");
        });
        ExeNumber(window);
        QCOMPARE(rowsSeen, 2);
        QCOMPARE(window.previews(), QStringList({u"n1_.txt"_s, u"n2_.txt"_s}));
    }

    void leavingANumberBoxResetsIt_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::newRow("start/letters") << u"txtStart"_s << u"abc"_s << u"0"_s << true;
        QTest::newRow("start/blanks and a fraction pass")
            << u"txtStart"_s << u" -2.5 "_s << u" -2.5 "_s << false;
        QTest::newRow("digits/letters") << u"txtKeta"_s << u"x3"_s << u"2"_s << true;
    }

    void leavingANumberBoxResetsIt()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        AppSettings settings;
        settings.NumberAutoDigits = false;
        settings.NumberStart = 5;
        NumberDialog dialog(settings, 2);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *edit = dialog.findChild<QLineEdit *>(box);
        edit->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(edit->hasFocus());
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Tab);

        QFETCH(bool, refused);
        QCOMPARE(m_messages->texts(), refused ? QStringList{u"数値を入力してください"_s} : QStringList());
        QTEST(edit->text(), "shown");
        QCOMPARE(edit->hasFocus(), refused);
        QCOMPARE(settings.NumberStart, qint16(5));
    }

    void numberingFromTheToolbarRenamesOnDisk()
    {
        ProgramFolder program;
        TempFolder folder;
        QStringList expected;
        for (int i = 0; i < 10; ++i) {
            folder.addFile(u"p%1.jpg"_s.arg(i));
            expected.append(u"旅行_%1.jpg"_s.arg(i + 1, 2, 10, QChar(u'0')));
        }
        program.writeSettings(folder.path());
        AppSettings settings;
        MainWindow window(settings);
        QVERIFY(window.FormLoad());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QAction *button = window.findChild<QToolBar *>(u"tlbMain"_s)->findChild<QAction *>(u"IDNUM"_s);
        bool pressed = false;
        QString seen;
        OnNextModal(
            [&](QWidget *dialog) {
                pressed = button->isChecked();
                auto *name = dialog->findChild<QComboBox *>(u"cmbName"_s);
                name->setFocus();
                TypeText(name->lineEdit(), u"旅行_"_s);
                Fill(dialog, {u"txtStart=1"_s});
                Click(dialog, "cmdOK");
            },
            &seen);
        window.Dispatch(u"IDNUM"_s);
        QCOMPARE(seen, u"frmNumber"_s);
        QVERIFY(pressed);
        QVERIFY(!button->isChecked());
        QCOMPARE(window.list().at(1).Preview, expected.first());
        QCOMPARE(window.list().at(10).Preview, expected.last());
        QCOMPARE(settings.NumberPattern, u"旅行_"_s);

        m_messages->scriptAnswers({true});
        window.findChild<QPushButton *>(u"cmdExe"_s)->click();
        QVERIFY(window.RenameDone());
        QCOMPARE(folder.names(), expected);
        QCOMPARE(window.list().at(1).Name, expected.first());
        window.hide();
    }
};

QTEST_MAIN(RulesTextDialogsTest)
#include "rules_text_dialogs_test.moc"
