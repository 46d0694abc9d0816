#include "gui_harness.h"

#include "support/recordingmessagesink.h"
#include "support/strings.h"
#include "support/tempfolder.h"

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

} // namespace

class RulesPowerDialogsTest : public QObject
{
    Q_OBJECT

private slots:
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
