#include "gui_harness.h"

#include "engine/changelog.h"
#include "mainwindow/mainwindow.h"
#include "platform/filesystem.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QPushButton>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The run from the window works on the folder the list shows, whatever the
// folder dialog did in between.
class RenameSafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void relativeFolderSurvivesTheFolderDialog();
};

void RenameSafetyTest::relativeFolderSurvivesTheFolderDialog()
{
    // rel/x.txt is listed; rel/rel/x.txt is what a working folder moved into
    // rel would name.
    TempFolder root;
    root.addFolder(u"rel"_s);
    root.addFolder(u"rel/rel"_s);
    root.addFile(u"rel/x.txt"_s, "listed");
    root.addFile(u"rel/rel/x.txt"_s, "other");
    const QByteArray started = QDir::currentPath().toUtf8();
    QVERIFY(::chdir(root.encodedPath().constData()) == 0);

    {
        ProgramFolder program;
        program.writeSettings(u"rel"_s);
        RecordingMessageSink messages;
        AppSettings settings;
        MainWindow window(settings);
        QVERIFY(window.FormLoad());
        window.show();
        QCOMPARE(window.list().count(), 1);

        QString seen;
        ClickInNextModal(u"cmdCancel"_s, &seen);
        window.Dispatch(u"IDOPEN"_s);
        QCOMPARE(seen, u"frmPath"_s);
        QCOMPARE(QDir::currentPath(), root.path());

        FileEntry row = window.list().ReadRow(1);
        row.Preview = u"y.txt"_s;
        window.list().WriteRow(1, row);
        messages.scriptAnswers({true});
        window.findChild<QPushButton *>(u"cmdExe"_s)->click();
        QVERIFY(window.RenameDone());
        QCOMPARE(root.content(u"rel/y.txt"_s), QByteArray("listed"));
        QCOMPARE(root.content(u"rel/rel/x.txt"_s), QByteArray("other"));
        const auto log = ReadChangeLog(*Fs().ReadFile(program.path() + u"/Kazami.Log"_s));
        QCOMPARE(log->folder, root.path() + u"/rel"_s);
        window.hide();
    }
    QVERIFY(::chdir(started.constData()) == 0);
}

QTEST_MAIN(RenameSafetyTest)
#include "rename_safety_test.moc"
