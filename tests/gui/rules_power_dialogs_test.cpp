#include "gui_harness.h"

#include "rules/date_dialog.h"
#include "rules/replace.h"
#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/taggedpictures.h"
#include "support/tempfolder.h"
#include "windows/progresswindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

template<typename T = QWidget> T *Child(QWidget *parent, const char *name)
{
    auto *child = parent->findChild<T *>(QLatin1StringView(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

QStringList Previews(MainWindow &window)
{
    QStringList previews;
    for (int row = 1; row <= window.list().count(); ++row)
        previews.append(window.list().at(row).Preview);
    return previews;
}

// Runs action on the modal window of that name once it shows, polling.
void OnModalNamed(const QString &name, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->objectName() != name)
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

} // namespace

class RulesPowerDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { ProgressWindow::SetTiming(0, 0); }
    void cleanup() { ProgressWindow::SetTiming(500, 50); }

    void replaceWithRegularExpressions()
    {
        TempFolder folder;
        folder.addFile(u"IMG_0012.jpg"_s);
        folder.addFile(u"IMG_0345.jpg"_s);
        ProgramFolder program;
        RecordingMessageSink messages;
        AppSettings settings;
        auto window = StartWindow(program, settings, folder.path());

        // An invalid expression is refused with Qt's words and its place;
        // the dialog stays open and no row changes.
        const QString invalid = u"IMG_(\\d+"_s;
        const QRegularExpression expected(invalid);
        bool openAfterRefusal = false, topEnabledWithAll = true;
        int cursor = -1;
        OnNextModal([&](QWidget *dialog) {
            Child<QComboBox>(dialog, "cmbBefore")->setEditText(invalid);
            Child<QComboBox>(dialog, "cmbAfter")->setEditText(u"写真$1"_s);
            Child<QCheckBox>(dialog, "chkRegex")->setChecked(true);
            Child<QCheckBox>(dialog, "chkAll")->setChecked(true);
            topEnabledWithAll = Child(dialog, "chkTop")->isEnabled();
            Child<QPushButton>(dialog, "cmdOK")->click();
            openAfterRefusal = dialog->isVisible();
            cursor = Child<QComboBox>(dialog, "cmbBefore")->lineEdit()->cursorPosition();
            Child<QComboBox>(dialog, "cmbBefore")->setEditText(u"IMG_0*(\\d+)"_s);
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        window->Dispatch(u"IDCHG"_s);
        QVERIFY(openAfterRefusal);
        QVERIFY(!topEnabledWithAll);
        QCOMPARE(messages.texts(), QStringList{u"「変換する文字」 の正規表現に誤りがあります\r\n\r\n"_s +
                                               expected.errorString() +
                                               u"（%1 文字目）"_s.arg(expected.patternErrorOffset() + 1)});
        QCOMPARE(cursor, int(expected.patternErrorOffset()));
        QCOMPARE(Previews(*window), Strings({"写真12.jpg", "写真345.jpg"}));
        QVERIFY(settings.ReplaceRegex && settings.ReplaceAll);

        // The choices come back checked in the next dialog.
        ClickInNextModal(u"cmdCancel"_s, nullptr, [](QWidget *dialog) {
            QVERIFY(Child<QCheckBox>(dialog, "chkRegex")->isChecked());
            QVERIFY(Child<QCheckBox>(dialog, "chkAll")->isChecked());
        });
        window->Dispatch(u"IDCHG"_s);
        window->hide();
    }

    void dateFromTheShootingDate()
    {
        TempFolder folder;
        folder.addFile(u"a.jpg"_s, TaggedPicture(u"jpeg"_s, u"2021:07:15 10:20:30"_s));
        folder.addFile(u"b.jpg"_s, "no picture");
        folder.setModified(u"b.jpg"_s, QDateTime(QDate(2000, 1, 8), QTime(9, 0)));
        ProgramFolder program;
        RecordingMessageSink messages;
        AppSettings settings;
        auto window = StartWindow(program, settings, folder.path());

        QStringList sources;
        ClickInNextModal(u"cmdOK"_s, nullptr, [&](QWidget *dialog) {
            auto *source = Child<QComboBox>(dialog, "cmbSource");
            for (int i = 0; i < source->count(); ++i)
                sources.append(source->itemText(i));
            QCOMPARE(source->currentIndex(), 0);
            QVERIFY(!source->toolTip().isEmpty());
            source->setCurrentIndex(1);
            Child<QComboBox>(dialog, "cmbTxt")->setEditText(u"D"_s);
        });
        ExeDay(*window);
        QCOMPARE(sources, Strings({"更新日時", "撮影日時（Exif）"}));
        QCOMPARE(settings.DateSource, qint16(1));
        QCOMPARE(Previews(*window), Strings({"D210715.jpg", "D000108.jpg"}));
        QVERIFY(messages.texts().isEmpty());
        window->hide();
    }

    void longShootingDateReadShowsProgressAndStops()
    {
        TempFolder folder;
        const QByteArray picture = TaggedPicture(u"jpeg"_s, u"2021:07:15 10:20:30"_s);
        for (int i = 0; i < 3000; ++i)
            folder.addFile(u"p%1.jpg"_s.arg(i), picture);
        ProgramFolder program;
        RecordingMessageSink messages;
        AppSettings settings;
        auto window = StartWindow(program, settings, folder.path());
        settings.DateSource = 1;

        QString stage;
        ClickInNextModal(u"cmdOK"_s, nullptr, [&](QWidget *) {
            OnModalNamed(u"frmProgress"_s, [&](QWidget *progress) {
                stage = Child<QLabel>(progress, "lblStage")->text();
                Child<QPushButton>(progress, "cmdCancel")->click();
            });
        });
        const QStringList before = Previews(*window);
        ExeDay(*window);
        QCOMPARE(stage, u"撮影日時の読み込み"_s);
        QCOMPARE(Previews(*window), before);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        window->hide();
    }

    void joinMarksFromTheOtherConversions()
    {
        TempFolder folder;
        folder.addFile(u"か\u3099っこう.txt"_s);
        ProgramFolder program;
        RecordingMessageSink messages;
        AppSettings settings;
        auto window = StartWindow(program, settings, folder.path());
        window->Dispatch(u"IDETC"_s);
        auto *etc = window->findChild<QWidget *>(u"frmEtc"_s);
        QVERIFY(etc && etc->isVisible());
        auto *join = Child<QPushButton>(etc, "cmdJoinMarks");
        QCOMPARE(join->text(), u"濁点を結合"_s);
        QVERIFY(join->toolTip().contains(u"結合"_s));
        join->click();
        QCOMPARE(Previews(*window), Strings({"がっこう.txt"}));
        window->hide();
    }
};

QTEST_MAIN(RulesPowerDialogsTest)
#include "rules_power_dialogs_test.moc"
