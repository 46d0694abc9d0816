#include "mainwindow/deletedialog.h"
#include "mainwindow/qtmessagesink.h"
#include "platform/displayname.h"
#include "platform/names.h"
#include "rules/individual_dialog.h"
#include "settings/appsettings.h"
#include "support/recordingmessagesink.h"
#include "widgets/dialogflag.h"
#include "widgets/namedelegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using Runs = QList<NameRun>;
Q_DECLARE_METATYPE(Runs)

namespace {

QString Bytes(const char *bytes)
{
    return DecodeName(QByteArray(bytes));
}

} // namespace

class NameDisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Runs>("runs");
        QTest::newRow("text/as it stands") << u"写真_01.jpg"_s << Runs{{u"写真_01.jpg"_s, false}};
        QTest::newRow("text/empty") << QString() << Runs{};
        QTest::newRow("bytes/one at the start")
            << Bytes("\xff_bad_bytes.txt") << Runs{{u"\\xFF"_s, true}, {u"_bad_bytes.txt"_s, false}};
        QTest::newRow("bytes/several together make one run")
            << Bytes("a\x82\xa0\x82\xa2.txt")
            << Runs{{u"a"_s, false}, {u"\\x82\\xA0\\x82\\xA2"_s, true}, {u".txt"_s, false}};
        QTest::newRow("bytes/at the end, after kana")
            << Bytes("\xe3\x81\x82\xe3") << Runs{{u"あ"_s, false}, {u"\\xE3"_s, true}};
        QTest::newRow("bytes/a genuine escape code point is its four bytes")
            << Bytes("x\xf4\x8f\xba\x80") << Runs{{u"x"_s, false}, {u"\\xF4\\x8F\\xBA\\x80"_s, true}};
        QTest::newRow("text/a private-use character outside the escapes stays")
            << QString::fromUcs4(U"\U0010FE41") << Runs{{QString::fromUcs4(U"\U0010FE41"), false}};
        QTest::newRow("text/a character outside the basic plane stays whole")
            << u"😀\u00e9"_s << Runs{{u"😀\u00e9"_s, false}};
    }

    void runs()
    {
        QFETCH(QString, name);
        QFETCH(Runs, runs);
        QCOMPARE(DisplayRuns(name), runs);
        QString joined;
        for (const NameRun &run : runs)
            joined += run.text;
        QCOMPARE(DisplayName(name), joined);
        QCOMPARE(HasEscapedBytes(name),
                 std::any_of(runs.begin(), runs.end(), [](const NameRun &run) { return run.escapedBytes; }));
    }

    // Elided as drawn: never half an escaped byte, the extension kept.
    void elidedNamesKeepWholeBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("bytes in the middle")
            << Bytes("photo\xff\xfe\xfd\xfc\xfb\xfa_2024_spring.JPG") << u".JPG"_s;
        QTest::newRow("bytes in the extension")
            << Bytes("long_long_long_name.\xff\xfe") << Bytes(".\xff\xfe");
        QTest::newRow("only bytes") << Bytes("\xff\xfe\xfd\xfc\xfb\xfa\xf9\xf8\xf7\xf6\xf5\xf4") << QString();
    }

    void elidedNamesKeepWholeBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        const QFontMetrics metrics(QApplication::font());
        const int whole = metrics.horizontalAdvance(DisplayName(name));
        for (int width = whole; width > metrics.horizontalAdvance(u"…"_s); width -= 7) {
            const QString shown = ElideName(name, metrics, width);
            QVERIFY2(metrics.horizontalAdvance(DisplayName(shown)) <= width || shown.size() <= 2,
                     qPrintable(shown));
            // No character is cut in half: an escaped byte is a pair of
            // UTF-16 units, and a lone half would show as a box.
            QVERIFY(shown.isValidUtf16());
            for (const NameRun &run : DisplayRuns(shown)) {
                if (run.escapedBytes)
                    QCOMPARE(run.text.size() % 4, 0);
            }
            if (width == whole)
                QCOMPARE(shown, name);
            else if (!extension.isEmpty() && metrics.horizontalAdvance(DisplayName(extension) + u'…') < width)
                QVERIFY2(shown.endsWith(extension), qPrintable(DisplayName(shown)));
        }
    }

    // Dialogs show the name as it is drawn; what they hand back is the name.
    void dialogsShowTheBytesAndKeepTheName()
    {
        const QString name = Bytes("\xff\xfe_bad.txt");
        AppSettings settings;
        RecordingMessageSink messages;

        DeleteDialog exclude(name, settings);
        QVERIFY(exclude.findChild<QPlainTextEdit *>(u"txtMessage"_s)
                    ->toPlainText()
                    .startsWith(u"\\xFF\\xFE_bad.txt\n"_s));

        FileEntry entry;
        entry.Name = name;
        entry.Preview = name;
        entry.Attributes = u"- - -"_s;
        IndividualDialog edit(entry, settings);
        QCOMPARE(edit.findChild<QLineEdit *>(u"txtBefore"_s)->text(), u"\\xFF\\xFE_bad.txt"_s);
        auto *after = edit.findChild<QLineEdit *>(u"txtAfter"_s);
        after->clear();
        edit.findChild<QPushButton *>(u"cmdCopy"_s)->click();
        QCOMPARE(EncodeName(after->text()), QByteArray("\xff\xfe_bad.txt"));
        // The extension check compares the names, not what is shown.
        settings.ProtectExtension = true;
        after->setText(Bytes("\xff_good.txt"));
        edit.findChild<QPushButton *>(u"cmdOK"_s)->click();
        QVERIFY(flgDlgOK);
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(EncodeName(entry.Preview), QByteArray("\xff_good.txt"));
    }

    void messageBoxesShowTheBytes()
    {
        QtMessageSink sink;
        ScopedMessageSink installed(sink);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            box->accept();
        });
        Messages().ShowMessage(Bytes("\xff.txt") + u" は変更できません"_s);
        QCOMPARE(shown, u"\\xFF.txt は変更できません"_s);
    }
};

QTEST_MAIN(NameDisplayTest)
#include "namedisplay_test.moc"
