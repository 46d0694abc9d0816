#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "support/recordingmessagesink.h"

#include <QFile>

using namespace Qt::StringLiterals;

// What a Linux user meets: dot-files.
class LinuxUserTest : public QObject
{
    Q_OBJECT

private slots:
    void firstRunLeavesDotFilesOut_data();
    void firstRunLeavesDotFilesOut();
};

void LinuxUserTest::firstRunLeavesDotFilesOut_data()
{
    QTest::addColumn<int>("saved"); // -1: no settings file yet
    QTest::addColumn<bool>("showHidden");

    QTest::newRow("first run leaves dot-files out") << -1 << false;
    QTest::newRow("saved true stays") << 1 << true;
    QTest::newRow("saved false stays") << 0 << false;
}

void LinuxUserTest::firstRunLeavesDotFilesOut()
{
    QFETCH(int, saved);
    QFETCH(bool, showHidden);

    ProgramFolder program;
    QFile(program.path() + u"/.bashrc"_s).open(QIODevice::WriteOnly);
    QFile(program.path() + u"/a.txt"_s).open(QIODevice::WriteOnly);
    if (saved >= 0) {
        AppSettings file;
        SetDefaultSettings(file);
        file.ShowHidden = saved == 1;
        QVERIFY(SaveSettings(file));
    }
    RecordingMessageSink messages;
    AppSettings settings;
    MainWindow w(settings);
    QVERIFY(w.FormLoad());
    // A portable copy lists its own folder on a first run.
    QCOMPARE(settings.CurrentFolder, program.path());
    QCOMPARE(settings.ShowHidden, showHidden);
    QCOMPARE(Names(w).contains(u".bashrc"_s), showHidden);
    QVERIFY(Names(w).contains(u"a.txt"_s));
    AppSettings reread;
    QVERIFY(ReadSettings(*Fs().ReadFile(program.settingsFile()), reread));
    QCOMPARE(reread.ShowHidden, showHidden);
}

QTEST_MAIN(LinuxUserTest)
#include "linux_user_test.moc"
