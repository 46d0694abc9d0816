#include "gui_harness.h"

#include "engine/scan.h"
#include "mainwindow/mainwindow.h"
#include "rules/attribute_dialog.h"
#include "rules/conversion_dialog.h"
#include "rules/date_dialog.h"
#include "rules/individual_dialog.h"
#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/tempfolder.h"
#include "widgets/dialogflag.h"
#include "widgets/sidewindow.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

// A window for rule commands over a real folder that records what they ask of it.
class TestRuleWindow final : public RuleWindow
{
public:
    explicit TestRuleWindow(const QString &folder)
    {
        m_settings.CurrentFolder = folder;
        InputData(m_list, m_settings, SortNameAscending);
    }

    FileList &list() override { return m_list; }
    AppSettings &settings() override { return m_settings; }
    QWidget *DialogParent() override { return &m_parent; }
    void ClearCurrentRow() override
    {
        ++clears;
        m_list.setCurrentRow(0);
    }
    void CheckExt(bool) override { ++extensionShows; }
    void SetButtonPressed(const QString &key, bool pressed) override
    {
        pressedButtons.append(QString(pressed ? u'+' : u'-') + key);
    }
    int &CaseCycle() override { return m_caseCycle; }

    QStringList column(int index) const
    {
        QStringList texts;
        for (int row = 1; row <= m_list.count(); ++row)
            texts.append(ColumnText(m_list.at(row), index));
        return texts;
    }

    int clears = 0;
    int extensionShows = 0;
    QStringList pressedButtons;

private:
    FileList m_list;
    AppSettings m_settings;
    QWidget m_parent;
    int m_caseCycle = 0;
};

template<typename T = QWidget> T *Child(QWidget *parent, const char *name)
{
    T *child = parent->findChild<T *>(QLatin1StringView(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

void Check(QWidget *dialog, const char *box, bool on = true)
{
    Child<QCheckBox>(dialog, box)->setChecked(on);
}

// The attribute word of user.DOSATTRIB in its text form "0x…".
int DosAttributes(const QString &path)
{
    char value[64] = {};
    if (::lgetxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", value, sizeof value - 1) <= 0)
        return 0;
    const QByteArray text(value);
    return text.startsWith("0x") ? text.mid(2).toInt(nullptr, 16) : -1;
}

} // namespace

class RulesMoreDialogsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;
    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;

    void files(const QStringList &names)
    {
        for (const QString &name : names)
            m_folder->addFile(name);
    }

    MainWindow &start(const QStringList &names)
    {
        files(names);
        m_program = std::make_unique<ProgramFolder>();
        m_settings = std::make_unique<AppSettings>();
        m_window = StartWindow(*m_program, *m_settings, m_folder->path());
        return *m_window;
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<TempFolder>();
        m_messages = std::make_unique<RecordingMessageSink>();
    }

    void cleanup()
    {
        if (m_window)
            m_window->hide();
        m_window.reset();
        m_settings.reset();
        m_program.reset();
        m_messages.reset();
        m_folder.reset();
    }

    void individualEditChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QStringList>("message"); // text, title, icon
        const QStringList chars = {
            QStringLiteral("ファイルに以下の文字は使えません\r\n\r\n\\ / : * ? \" < > |"),
            QStringLiteral("使用できない文字が含まれています"), QStringLiteral("0")};
        const QStringList blank = Strings({"空白名は使えません", "空白だけじゃダメ", "2"});
        const QStringList ext = Strings({"変換前後で，拡張子を同じにしてください．", "拡張子の保護", "0"});
        QTest::newRow("refused/question mark") << "a.txt"
                                               << "a?.txt" << false << chars;
        QTest::newRow("refused/only blanks") << "a.txt"
                                             << "   " << false << blank;
        QTest::newRow("refused/extension case") << "photo.JPG"
                                                << "photo2.jpg" << true << ext;
        QTest::newRow("refused/last part dropped") << "archive.tar.gz"
                                                   << "archive.tar" << true << ext;
        QTest::newRow("refused/period added") << "README"
                                              << "README.txt" << true << ext;
        QTest::newRow("accepted/last period counts") << "archive.tar.gz"
                                                     << "x.gz" << true << QStringList();
        QTest::newRow("accepted/unprotected") << "photo.JPG"
                                              << "photo2.jpg" << false << QStringList();
        QTest::newRow("accepted/leading blank kept") << "x.txt"
                                                     << " x.txt" << true << QStringList();
    }

    void individualEditChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, protect);
        QFETCH(QStringList, message);
        FileEntry entry;
        entry.Name = entry.Preview = name;
        const FileEntry before = entry;
        AppSettings settings;
        settings.ProtectExtension = !protect;
        IndividualDialog dialog(entry, settings);
        dialog.show();
        Check(&dialog, "chkExt", protect);
        auto *after = Child<QLineEdit>(&dialog, "txtAfter");
        after->setText(typed);
        Child(&dialog, "cmdCopy")->setFocus();
        Child<QPushButton>(&dialog, "cmdOK")->click();
        if (message.isEmpty()) {
            QVERIFY(flgDlgOK && !dialog.isVisible());
            QCOMPARE(entry.Preview, typed);
            QCOMPARE(settings.ProtectExtension, protect);
            return;
        }
        QCOMPARE(m_messages->messages().size(), 1);
        const RecordingMessageSink::Message shown = m_messages->messages().first();
        QCOMPARE((QStringList{shown.text, shown.title, QString::number(int(shown.icon))}), message);
        // The dialog stays open on the new name; nothing is written.
        QVERIFY(dialog.isVisible() && !flgDlgOK);
        QCOMPARE(dialog.focusWidget(), static_cast<QWidget *>(after));
        QCOMPARE(entry, before);
        QCOMPARE(settings.ProtectExtension, !protect);
    }

    void individualEditAttributesAndCopy()
    {
        FileEntry entry;
        entry.Name = QStringLiteral("a.txt");
        entry.Preview = QStringLiteral("b.txt");
        entry.Attributes = QStringLiteral("R - S");
        AppSettings settings;
        IndividualDialog dialog(entry, settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("個別の変更"));
        QCOMPARE(Child<QPushButton>(&dialog, "cmdCopy")->toolTip(), QStringLiteral("上の文字列を下にコピー"));
        QCOMPARE(Child<QCheckBox>(&dialog, "chkH")->toolTip(), QStringLiteral("隠しファイルにします"));
        QVERIFY(Child<QCheckBox>(&dialog, "chkR")->isChecked() &&
                Child<QCheckBox>(&dialog, "chkS")->isChecked());
        QVERIFY(!Child<QCheckBox>(&dialog, "chkH")->isChecked());
        Check(&dialog, "chkR", false);
        Check(&dialog, "chkS", false);
        Child<QPushButton>(&dialog, "cmdCopy")->click();
        Child<QPushButton>(&dialog, "cmdOK")->click();
        QCOMPARE(entry.Preview, QStringLiteral("a.txt"));
        QCOMPARE(entry.Attributes, QStringLiteral("- - -"));
    }

    void individualEditFollowsItsFile_data()
    {
        QTest::addColumn<QString>("vanishing");
        QTest::addColumn<QStringList>("previews");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("vanished/none") << "" << Strings({"a", "b", "z"}) << 3;
        QTest::newRow("vanished/a row above") << "a" << Strings({"b", "z"}) << 2;
        QTest::newRow("vanished/the edited file") << "c" << Strings({"a", "b"}) << 0;
    }

    void individualEditFollowsItsFile()
    {
        QFETCH(QString, vanishing);
        QFETCH(QStringList, previews);
        QFETCH(int, currentRow);
        files(Strings({"a", "b", "c"}));
        TestRuleWindow window(m_folder->path());
        window.list().setCurrentRow(3);
        QStringList pressedWhileOpen;
        OnNextModal([&](QWidget *dialog) {
            pressedWhileOpen = window.pressedButtons;
            if (!vanishing.isEmpty())
                QFile::remove(m_folder->filePath(vanishing));
            Child<QLineEdit>(dialog, "txtAfter")->setText(QStringLiteral("z"));
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        ExeOne(window);
        QCOMPARE(pressedWhileOpen, Strings({"+IDEDIT"}));
        QCOMPARE(window.pressedButtons, Strings({"+IDEDIT", "-IDEDIT"}));
        QCOMPARE(window.column(1), previews);
        QCOMPARE(window.list().CurrentRow(), currentRow);
        QVERIFY(window.extensionShows >= 1);
    }

    void attributeDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QString>("attributes");
        QTest::newRow("ok/read-only and hidden") << "cmdOK" << Strings({"chkR", "chkH"}) << "R H -";
        QTest::newRow("ok/none") << "cmdOK" << QStringList() << "- - -";
        QTest::newRow("cancel") << "cmdCancel" << Strings({"chkR"}) << "- H S";
    }

    void attributeDialog()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, checked);
        QFETCH(QString, attributes);
        files(Strings({"a", "b", "gone"}));
        TestRuleWindow window(m_folder->path());
        for (int row = 1; row <= 3; ++row) {
            FileEntry entry = window.list().ReadRow(row);
            entry.Attributes = QStringLiteral("- H S");
            entry.HiddenByName = true;
            window.list().WriteRow(row, entry);
        }
        QFile::remove(m_folder->filePath(QStringLiteral("gone")));
        QStringList opened;
        OnNextModal([&](QWidget *dialog) {
            opened = {dialog->windowTitle(), Child<QCheckBox>(dialog, "chkS")->toolTip()};
            for (const char *box : {"chkR", "chkH", "chkS"})
                opened.append(QString::number(Child<QCheckBox>(dialog, box)->isChecked()));
            for (const QString &box : checked)
                Check(dialog, qPrintable(box));
            Child<QPushButton>(dialog, qPrintable(button))->click();
        });
        ExeAtt(window);
        QCOMPARE(opened, Strings({"属性を一度に変換します", "リスト上のファイルをシステムファイルにします",
                                  "0", "0", "0"}));
        QCOMPARE(window.pressedButtons, Strings({"+IDATT", "-IDATT"}));
        // The gone file's row was dropped before the dialog opened.
        QCOMPARE(window.column(0), Strings({"a", "b"}));
        QCOMPARE(window.column(2), QStringList(2, attributes));
        const bool confirmed = button == u"cmdOK";
        QCOMPARE(window.clears, int(confirmed));
        QCOMPARE(window.list().at(1).HiddenByName, !confirmed);
    }

    void dateDialog()
    {
        files(Strings({"p.jpg", "q.jpg"}));
        for (const QString &name : Strings({"p.jpg", "q.jpg"}))
            m_folder->setModified(name, QDateTime(QDate(2000, 1, 8), QTime(9, 0)));
        TestRuleWindow window(m_folder->path());
        AppSettings &settings = window.settings();
        settings.DatePrefix = QStringLiteral("old");

        // The switch takes effect at once, even when the dialog is cancelled.
        ClickInNextModal(QStringLiteral("cmdCancel"), nullptr, [](QWidget *dialog) {
            QCOMPARE(Child<QComboBox>(dialog, "cmbTxt")->currentText(), QString());
            Check(dialog, "chkIns");
            QVERIFY(!Child(dialog, "cmbTxt")->isEnabled());
        });
        ExeDay(window);
        QVERIFY(settings.DateInsertOnly);
        QCOMPARE(window.column(1), Strings({"p.jpg", "q.jpg"}));

        // A forbidden character keeps the dialog open; a good text names the rows.
        bool openAfterRefusal = false;
        OnNextModal([&](QWidget *dialog) {
            QVERIFY(Child<QCheckBox>(dialog, "chkIns")->isChecked());
            Check(dialog, "chkIns", false);
            auto *text = Child<QComboBox>(dialog, "cmbTxt");
            text->setEditText(QStringLiteral("D<"));
            Child<QPushButton>(dialog, "cmdOK")->click();
            openAfterRefusal = dialog->isVisible();
            text->setEditText(QStringLiteral("D"));
            Child<QComboBox>(dialog, "cmbDay")->setCurrentIndex(2);
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        ExeDay(window);
        QVERIFY(openAfterRefusal);
        QCOMPARE(m_messages->messages().size(), 1);
        QCOMPARE(window.column(1), Strings({"D0108.jpg", "D0108a.jpg"}));
        QCOMPARE((QStringList{settings.DatePrefix, settings.DatePrefixHistory[0]}), Strings({"D", "old"}));
        QCOMPARE(settings.DateType, qint16(2));
        QCOMPARE(window.clears, 1);
        QVERIFY(window.pressedButtons.isEmpty());
    }

    void caseButtonCycles()
    {
        files(Strings({"my file.TXT"}));
        TestRuleWindow window(m_folder->path());
        for (const QString &preview : Strings({"MY FILE.TXT", "my file.TXT", "My File.TXT", "MY FILE.TXT"})) {
            ExeCase(window);
            QCOMPARE(window.column(1), QStringList{preview});
        }
        QCOMPARE(window.clears, 4);
    }

    void etcWindowOpensAndCloses()
    {
        MainWindow &w = start(Strings({"ねこ.txt", "picturejpg.dat"}));
        AppSettings &settings = *m_settings;
        auto *etc = w.findChild<QWidget *>(QStringLiteral("frmEtc"));
        QVERIFY(etc && etc->isWindow());
        QCOMPARE(etc->windowTitle(), QStringLiteral("その他の変換"));
        QStringList captions;
        for (QPushButton *button : etc->findChildren<QPushButton *>())
            captions.append(button->objectName() + u'=' + button->text());
        QCOMPARE(captions,
                 Strings({"cmdDouble=半角 → 全角", "cmdSingle=全角 → 半角", "cmdKata=ひらがな → カタカナ ",
                          "cmdHira=カタカナ → ひらがな", "cmdRar=拡張子を削除．ピリオドを左へ３",
                          "cmdJoinMarks=濁点を結合", "cmdDate=日付を付ける", "cmdCancel=閉じる"}));

        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->isVisible() && settings.EtcWindowOpen);
        QCOMPARE(etc->frameGeometry().topLeft(),
                 SideWindowPosition(w.screen()->availableGeometry(), w.frameGeometry(),
                                    etc->frameGeometry().size(),
                                    w.geometry().top() - w.frameGeometry().top()));
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(!etc->isVisible() && !settings.EtcWindowOpen);
        // Closed by its button or its title bar, IDETC opens it again.
        w.Dispatch(QStringLiteral("IDETC"));
        Child<QPushButton>(etc, "cmdCancel")->click();
        QVERIFY(!etc->isVisible() && !settings.EtcWindowOpen);
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->close());
        QVERIFY(!settings.EtcWindowOpen);
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->isVisible());

        Child<QPushButton>(etc, "cmdKata")->click();
        QCOMPARE(w.list().at(2).Preview, QStringLiteral("ネコ.txt"));
        Child<QPushButton>(etc, "cmdRar")->click();
        QCOMPARE(m_messages->texts(), Strings({"拡張子保護のチェックをはずしてください"}));
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("picturejpg.dat"));
        settings.ProtectExtension = false;
        Child<QPushButton>(etc, "cmdRar")->click();
        // The shift starts from the current names.
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("picture.jpg"));
        QCOMPARE(w.list().at(2).Preview, QStringLiteral("ねこ.txt"));
    }

    void attributesReachTheDisk()
    {
        files(Strings({"probe"}));
        if (!m_folder->setDosAttributes(QStringLiteral("probe"), 0))
            QSKIP("the file system keeps no user attributes");
        QFile::remove(m_folder->filePath(QStringLiteral("probe")));
        MainWindow &w = start(Strings({"a.txt", "b.txt"}));
        ClickInNextModal(QStringLiteral("cmdOK"), nullptr, [](QWidget *dialog) {
            for (const char *box : {"chkR", "chkH", "chkS"})
                Check(dialog, box);
        });
        w.Dispatch(QStringLiteral("IDATT"));
        QCOMPARE(w.list().at(1).Attributes, QStringLiteral("R H S"));
        m_messages->scriptAnswers({true});
        w.findChild<QPushButton *>(QStringLiteral("cmdExe"))->click();
        QVERIFY(w.RenameDone());
        for (const QString &name : Strings({"a.txt", "b.txt"})) {
            const QString path = m_folder->filePath(name);
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), mode_t(0));
            QCOMPARE(DosAttributes(path) & (2 | 4), 2 | 4);
        }
    }
};

QTEST_MAIN(RulesMoreDialogsTest)
#include "rules_more_dialogs_test.moc"
