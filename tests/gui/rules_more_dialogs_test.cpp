#include "gui_harness.h"

#include "engine/scan.h"
#include "mainwindow/dialogflag.h"
#include "mainwindow/mainwindow.h"
#include "rules/attribute_dialog.h"
#include "rules/conversion_dialog.h"
#include "rules/date_dialog.h"
#include "rules/individual_dialog.h"
#include "rules/rulewindow.h"
#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/tempfolder.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace Qt::StringLiterals;

namespace {

using Message = RecordingMessageSink::Message;

// A window for rule commands that records what they ask of it.
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
    void CheckExt(bool toggle) override
    {
        if (toggle)
            m_settings.ProtectExtension = !m_settings.ProtectExtension;
        ++extensionShows;
    }
    void SetButtonPressed(const QString &key, bool pressed) override
    {
        pressedButtons.append((pressed ? u"+"_s : u"-"_s) + key);
    }
    int &CaseCycle() override { return m_caseCycle; }

    QStringList previews() const
    {
        QStringList texts;
        for (int row = 1; row <= m_list.count(); ++row)
            texts.append(m_list.at(row).Preview);
        return texts;
    }
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

template<typename T> T *Child(QWidget *parent, const char *name)
{
    T *child = parent->findChild<T *>(QLatin1StringView(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

void Check(QWidget *dialog, const char *box, bool on)
{
    Child<QCheckBox>(dialog, box)->setChecked(on);
}

bool HasDosAttributes(TempFolder &folder)
{
    folder.addFile(QStringLiteral("probe"));
    const bool kept = folder.setDosAttributes(QStringLiteral("probe"), 0);
    QFile::remove(folder.filePath(QStringLiteral("probe")));
    return kept;
}

// The attribute word of user.DOSATTRIB as the rename run writes it, "0x…".
int DosAttributes(const QString &path)
{
    char value[64] = {};
    const ssize_t n =
        ::lgetxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", value, sizeof value - 1);
    if (n <= 0)
        return 0;
    QByteArray text(value, int(n));
    text = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
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

    // A started main window on a folder holding files of the given names.
    MainWindow &start(const QStringList &names)
    {
        folder(names);
        m_program = std::make_unique<ProgramFolder>();
        m_program->writeSettings(m_folder->path());
        m_settings = std::make_unique<AppSettings>();
        m_window = std::make_unique<MainWindow>(*m_settings);
        if (!m_window->FormLoad())
            qFatal("start-up refused");
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("window not exposed");
        return *m_window;
    }

    TempFolder &folder(const QStringList &names)
    {
        for (const QString &name : names)
            m_folder->addFile(name);
        return *m_folder;
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
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        const QString chars = QStringLiteral("ファイルに以下の文字は使えません\r\n\r\n\\ / : * ? \" < > |");
        const QString charsTitle = QStringLiteral("使用できない文字が含まれています");
        const QString blank = QStringLiteral("空白名は使えません");
        const QString blankTitle = QStringLiteral("空白だけじゃダメ");
        const QString ext = QStringLiteral("変換前後で，拡張子を同じにしてください．");
        const QString extTitle = QStringLiteral("拡張子の保護");
        const int none = int(MessageIcon::None);
        const int exclamation = int(MessageIcon::Exclamation);
        QTest::newRow("chars/question mark") << "a.txt"
                                             << "a?.txt" << false << chars << charsTitle << none;
        QTest::newRow("chars/colon") << "a.txt"
                                     << "a:b.txt" << true << chars << charsTitle << none;
        QTest::newRow("blank/three spaces") << "a.txt"
                                            << "   " << false << blank << blankTitle << exclamation;
        QTest::newRow("blank/empty") << "a.txt"
                                     << "" << false << blank << blankTitle << exclamation;
        QTest::newRow("extension/case differs") << "photo.JPG"
                                                << "photo2.jpg" << true << ext << extTitle << none;
        QTest::newRow("extension/last part dropped") << "archive.tar.gz"
                                                     << "archive.tar" << true << ext << extTitle << none;
        QTest::newRow("extension/period added") << "README"
                                                << "README.txt" << true << ext << extTitle << none;
        QTest::newRow("accepted/same extension") << "photo.JPG"
                                                 << "photo2.JPG" << true << ""
                                                 << "" << none;
        QTest::newRow("accepted/last period counts") << "archive.tar.gz"
                                                     << "x.gz" << true << ""
                                                     << "" << none;
        QTest::newRow("accepted/unprotected") << "photo.JPG"
                                              << "photo2.jpg" << false << ""
                                              << "" << none;
        QTest::newRow("accepted/leading blank kept") << "x.txt"
                                                     << " x.txt" << true << ""
                                                     << "" << none;
    }

    void individualEditChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, protect);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(int, icon);
        FileEntry entry;
        entry.Name = entry.Preview = name;
        entry.Attributes = QStringLiteral("- - -");
        const FileEntry before = entry;
        AppSettings settings;
        settings.ProtectExtension = !protect;
        IndividualDialog dialog(entry, settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(Child<QCheckBox>(&dialog, "chkExt")->isChecked(), !protect);
        Check(&dialog, "chkExt", protect);
        auto *after = Child<QLineEdit>(&dialog, "txtAfter");
        after->setText(typed);
        Child<QPushButton>(&dialog, "cmdCopy")->setFocus();
        Child<QPushButton>(&dialog, "cmdOK")->click();
        if (message.isEmpty()) {
            QVERIFY(m_messages->messages().isEmpty());
            QVERIFY(flgDlgOK);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(entry.Preview, typed);
            QCOMPARE(settings.ProtectExtension, protect);
            return;
        }
        QCOMPARE(m_messages->messages().size(), 1);
        const Message shown = m_messages->messages().first();
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.title, title);
        QCOMPARE(int(shown.icon), icon);
        // Refused: the dialog stays open on the new name, nothing is written.
        QVERIFY(dialog.isVisible());
        QVERIFY(!flgDlgOK);
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
        QCOMPARE(dialog.objectName(), QStringLiteral("frmOne"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("個別の変更"));
        QCOMPARE(Child<QLineEdit>(&dialog, "txtBefore")->text(), QStringLiteral("a.txt"));
        QCOMPARE(Child<QLineEdit>(&dialog, "txtAfter")->text(), QStringLiteral("b.txt"));
        const QList<std::tuple<const char *, QString, QString>> boxes = {
            {"chkR", QStringLiteral("読取専用"), QStringLiteral("読取専用にします")},
            {"chkH", QStringLiteral("隠し"), QStringLiteral("隠しファイルにします")},
            {"chkS", QStringLiteral("システム"), QStringLiteral("システムファイルにします")},
            {"chkExt", QStringLiteral("拡張子の保護"), QString()},
        };
        for (const auto &[name, caption, tooltip] : boxes) {
            QCOMPARE(Child<QCheckBox>(&dialog, name)->text(), caption);
            QCOMPARE(Child<QCheckBox>(&dialog, name)->toolTip(), tooltip);
        }
        QCOMPARE(Child<QGroupBox>(&dialog, "Frame1")->title(), QStringLiteral("属性"));
        QCOMPARE(Child<QPushButton>(&dialog, "cmdCopy")->toolTip(), QStringLiteral("上の文字列を下にコピー"));
        QVERIFY(Child<QCheckBox>(&dialog, "chkR")->isChecked());
        QVERIFY(!Child<QCheckBox>(&dialog, "chkH")->isChecked());
        QVERIFY(Child<QCheckBox>(&dialog, "chkS")->isChecked());
        Check(&dialog, "chkR", false);
        Check(&dialog, "chkS", false);
        Child<QPushButton>(&dialog, "cmdCopy")->click();
        Child<QPushButton>(&dialog, "cmdOK")->click();
        QVERIFY(flgDlgOK);
        QCOMPARE(entry.Preview, QStringLiteral("a.txt"));
        QCOMPARE(entry.Attributes, QStringLiteral("- - -"));
    }

    void individualEditFollowsItsFile_data()
    {
        QTest::addColumn<QString>("vanishing");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("previews");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("vanished/none") << "" << Strings({"a", "b", "c"}) << Strings({"a", "b", "z"}) << 3;
        QTest::newRow("vanished/a row above") << "a" << Strings({"b", "c"}) << Strings({"b", "z"}) << 2;
        QTest::newRow("vanished/the edited file") << "c" << Strings({"a", "b"}) << Strings({"a", "b"}) << 0;
    }

    void individualEditFollowsItsFile()
    {
        QFETCH(QString, vanishing);
        QFETCH(QStringList, names);
        QFETCH(QStringList, previews);
        QFETCH(int, currentRow);
        folder({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
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
        QCOMPARE(window.column(0), names);
        QCOMPARE(window.previews(), previews);
        QCOMPARE(window.list().CurrentRow(), currentRow);
        QCOMPARE(window.extensionShows, 1);
    }

    void individualEditCancelled()
    {
        folder({QStringLiteral("a.txt")});
        TestRuleWindow window(m_folder->path());
        window.list().setCurrentRow(1);
        ClickInNextModal(QStringLiteral("cmdCancel"), nullptr, [](QWidget *dialog) {
            Child<QLineEdit>(dialog, "txtAfter")->setText(QStringLiteral("b.txt"));
            Check(dialog, "chkExt", false);
        });
        ExeOne(window);
        QCOMPARE(window.previews(), Strings({"a.txt"}));
        QVERIFY(window.settings().ProtectExtension);
        QCOMPARE(window.list().CurrentRow(), 1);
    }

    void attributeDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QString>("attributes");
        QTest::newRow("ok/read-only and hidden") << "cmdOK" << Strings({"chkR", "chkH"}) << "R H -";
        QTest::newRow("ok/none") << "cmdOK" << QStringList() << "- - -";
        QTest::newRow("cancel") << "cmdCancel" << Strings({"chkR", "chkS"}) << "- H S";
    }

    void attributeDialog()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, checked);
        QFETCH(QString, attributes);
        folder({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("gone")});
        TestRuleWindow window(m_folder->path());
        for (int row = 1; row <= window.list().count(); ++row) {
            FileEntry entry = window.list().ReadRow(row);
            entry.Attributes = QStringLiteral("- H S");
            entry.HiddenByName = true;
            window.list().WriteRow(row, entry);
        }
        QFile::remove(m_folder->filePath(QStringLiteral("gone")));
        QStringList seen;
        OnNextModal([&](QWidget *dialog) {
            seen.append(dialog->objectName());
            seen.append(dialog->windowTitle());
            seen.append(Child<QLabel>(dialog, "Label1")->text());
            seen.append(Child<QGroupBox>(dialog, "fraAtt")->title());
            for (const char *box : {"chkR", "chkH", "chkS"}) {
                auto *check = Child<QCheckBox>(dialog, box);
                seen.append(check->text() + u'|' + check->toolTip() + u'|' +
                            QString::number(check->isChecked()));
            }
            for (const QString &box : checked)
                Check(dialog, box.toLatin1().constData(), true);
            Child<QPushButton>(dialog, button.toLatin1().constData())->click();
        });
        ExeAtt(window);
        QCOMPARE(seen, Strings({"frmAtt", "属性を一度に変換します",
                                "リスト上の全てのファイルの属性を一度に変換します", "属性",
                                "読取専用|リスト上のファイルを読取専用にします|0",
                                "隠し|リスト上のファイルを隠しファイルにします|0",
                                "システム|リスト上のファイルをシステムファイルにします|0"}));
        QCOMPARE(window.pressedButtons, Strings({"+IDATT", "-IDATT"}));
        // The gone file's row was dropped before the dialog opened.
        QCOMPARE(window.column(0), Strings({"a", "b"}));
        QCOMPARE(window.column(2), QStringList(2, attributes));
        const bool confirmed = button == u"cmdOK";
        QCOMPARE(window.clears, confirmed ? 1 : 0);
        QCOMPARE(window.list().at(1).HiddenByName, !confirmed);
    }

    void dateDialog()
    {
        folder({QStringLiteral("p.jpg"), QStringLiteral("q.jpg")});
        for (const char *name : {"p.jpg", "q.jpg"})
            m_folder->setModified(QLatin1StringView(name), QDateTime(QDate(2000, 1, 8), QTime(9, 0)));
        TestRuleWindow window(m_folder->path());
        AppSettings &settings = window.settings();
        settings.DatePrefix = QStringLiteral("old");

        // The switch takes effect at once, even when the dialog is cancelled.
        ClickInNextModal(QStringLiteral("cmdCancel"), nullptr, [](QWidget *dialog) {
            QCOMPARE(Child<QComboBox>(dialog, "cmbTxt")->currentText(), QString());
            QVERIFY(Child<QComboBox>(dialog, "cmbTxt")->isEnabled());
            Check(dialog, "chkIns", true);
            QVERIFY(!Child<QComboBox>(dialog, "cmbTxt")->isEnabled());
        });
        ExeDay(window);
        QVERIFY(settings.DateInsertOnly);
        QCOMPARE(window.previews(), Strings({"p.jpg", "q.jpg"}));
        QCOMPARE(window.clears, 0);

        // A forbidden character keeps the dialog open; then a good text names the rows.
        QStringList seen;
        OnNextModal([&](QWidget *dialog) {
            seen.append(dialog->windowTitle());
            seen.append(Child<QCheckBox>(dialog, "chkIns")->isChecked() ? u"checked"_s : u"clear"_s);
            auto *text = Child<QComboBox>(dialog, "cmbTxt");
            seen.append(text->toolTip());
            seen.append(QString::number(text->count()));
            Check(dialog, "chkIns", false);
            text->setEditText(QStringLiteral("D<"));
            Child<QPushButton>(dialog, "cmdOK")->click();
            seen.append(dialog->isVisible() ? u"open"_s : u"closed"_s);
            text->setEditText(QStringLiteral("D"));
            Child<QComboBox>(dialog, "cmbDay")->setCurrentIndex(2);
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        ExeDay(window);
        QCOMPARE(seen, Strings({"更新日で名前を付けます", "checked", "この文字列の後ろに日付を加えます", "1",
                                "open"}));
        QCOMPARE(m_messages->messages().size(), 1);
        QCOMPARE(m_messages->messages().first().title, QStringLiteral("使用できない文字が含まれています"));
        QCOMPARE(window.previews(), Strings({"D0108.jpg", "D0108a.jpg"}));
        QCOMPARE(settings.DatePrefix, QStringLiteral("D"));
        QCOMPARE(settings.DatePrefixHistory[0], QStringLiteral("old"));
        QCOMPARE(settings.DateType, qint16(2));
        QVERIFY(!settings.DateInsertOnly);
        QCOMPARE(window.clears, 1);
        QVERIFY(window.pressedButtons.isEmpty());
    }

    void caseButtonCycles()
    {
        folder({QStringLiteral("my file.TXT")});
        TestRuleWindow window(m_folder->path());
        const QStringList expected = Strings({"MY FILE.TXT", "my file.TXT", "My File.TXT", "MY FILE.TXT"});
        for (const QString &preview : expected) {
            ExeCase(window);
            QCOMPARE(window.previews(), QStringList{preview});
        }
        QCOMPARE(window.CaseCycle(), 1);
        QCOMPARE(window.clears, 4);
    }

    void etcWindowOpensAndCloses()
    {
        MainWindow &w = start({QStringLiteral("ねこ.txt"), QStringLiteral("picturejpg.dat")});
        AppSettings &settings = *m_settings;
        auto *etc = w.findChild<QWidget *>(QStringLiteral("frmEtc"));
        QVERIFY(etc);
        QVERIFY(etc->isWindow());
        QCOMPARE(etc->windowTitle(), QStringLiteral("その他の変換"));
        QStringList captions;
        for (QPushButton *button : etc->findChildren<QPushButton *>())
            captions.append(button->objectName() + u'=' + button->text());
        QCOMPARE(captions,
                 Strings({"cmdDouble=半角 → 全角", "cmdSingle=全角 → 半角", "cmdKata=ひらがな → カタカナ ",
                          "cmdHira=カタカナ → ひらがな", "cmdRar=拡張子を削除．ピリオドを左へ３",
                          "cmdDate=日付を付ける", "cmdCancel=閉じる"}));

        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->isVisible());
        QVERIFY(settings.EtcWindowOpen);
        QCOMPARE(etc->frameGeometry().topLeft(),
                 QPoint(w.frameGeometry().left() + w.frameGeometry().width(), w.frameGeometry().top()));
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(!etc->isVisible());
        QVERIFY(!settings.EtcWindowOpen);

        // Closed by its button or its title bar, IDETC opens it again.
        w.Dispatch(QStringLiteral("IDETC"));
        Child<QPushButton>(etc, "cmdCancel")->click();
        QVERIFY(!etc->isVisible());
        QVERIFY(!settings.EtcWindowOpen);
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->isVisible());
        QVERIFY(etc->close());
        QVERIFY(!settings.EtcWindowOpen);
        w.Dispatch(QStringLiteral("IDETC"));
        QVERIFY(etc->isVisible());

        // The conversions act on every row at once; the period shift is refused under protection.
        Child<QPushButton>(etc, "cmdKata")->click();
        QCOMPARE(w.list().at(2).Preview, QStringLiteral("ネコ.txt"));
        settings.ProtectExtension = true;
        Child<QPushButton>(etc, "cmdRar")->click();
        QCOMPARE(m_messages->texts(), Strings({"拡張子保護のチェックをはずしてください"}));
        QCOMPARE(m_messages->messages().first().title, QString());
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("picturejpg.dat"));
        settings.ProtectExtension = false;
        Child<QPushButton>(etc, "cmdRar")->click();
        // The shift starts from the current names.
        QCOMPARE(w.list().at(1).Preview, QStringLiteral("picture.jpg"));
        QCOMPARE(w.list().at(2).Preview, QStringLiteral("ねこ.txt"));
    }

    void attributesReachTheDisk()
    {
        if (!HasDosAttributes(*m_folder))
            QSKIP("the file system keeps no user attributes");
        MainWindow &w = start({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
        ClickInNextModal(QStringLiteral("cmdOK"), nullptr, [](QWidget *dialog) {
            for (const char *box : {"chkR", "chkH", "chkS"})
                Check(dialog, box, true);
        });
        w.Dispatch(QStringLiteral("IDATT"));
        QCOMPARE(w.list().at(1).Attributes, QStringLiteral("R H S"));
        m_messages->scriptAnswers({true});
        w.findChild<QPushButton *>(QStringLiteral("cmdExe"))->click();
        QVERIFY(w.RenameDone());
        for (const char *name : {"a.txt", "b.txt"}) {
            const QString path = m_folder->filePath(QLatin1StringView(name));
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), mode_t(0));
            QCOMPARE(DosAttributes(path) & 0x6, 0x6);
        }
        // The rescan shows what the disk now holds.
        QCOMPARE(w.list().at(1).Attributes, QStringLiteral("R H S"));
    }
};

QTEST_MAIN(RulesMoreDialogsTest)
#include "rules_more_dialogs_test.moc"
