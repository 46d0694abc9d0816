#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "widgets/sidewindow.h"

#include <QScreen>
#include <QWindow>
#include <memory>

namespace {

// The side window stands wholly inside the room and touches the main window
// or stands over it.
bool OnScreenBeside(const QRect &room, const QRect &main, const QRect &side)
{
    return room.contains(side) && side.top() >= main.top() - side.height() &&
           (side.intersects(main) || side.left() == main.right() + 1 || side.right() + 1 == main.left());
}

} // namespace

class SideWindowPlacementTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;
    std::unique_ptr<AppSettings> m_settings;

private slots:
    void init()
    {
        m_program = std::make_unique<ProgramFolder>();
        m_folder = std::make_unique<TempFolder>();
        m_messages = std::make_unique<RecordingMessageSink>();
        m_settings = std::make_unique<AppSettings>();
    }

    void cleanup()
    {
        m_settings.reset();
        m_messages.reset();
        m_folder.reset();
        m_program.reset();
    }

    void position_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("side");
        QTest::addColumn<QPoint>("position");
        // Over the main window, a side window leaves its title bar free.
        const QRect screen(0, 0, 1280, 800);
        const QSize picture(320, 460);
        QTest::newRow("centred/against the right edge")
            << screen << QRect(340, 150, 600, 500) << picture << QPoint(940, 150);
        QTest::newRow("right edge exactly reached/still on the right")
            << screen << QRect(360, 150, 600, 500) << picture << QPoint(960, 150);
        QTest::newRow("against the screen's right edge/on the left")
            << screen << QRect(680, 100, 600, 500) << picture << QPoint(360, 100);
        QTest::newRow("maximised/over the main window at the screen's edge")
            << screen << screen << picture << QPoint(960, 20);
        QTest::newRow("no room on either side/over the main window")
            << screen << QRect(100, 100, 1100, 600) << picture << QPoint(960, 120);
        QTest::newRow("low on the screen/moved up to stay on it")
            << screen << QRect(340, 500, 600, 300) << picture << QPoint(940, 340);
        QTest::newRow("partly below the screen/moved up")
            << screen << QRect(340, 700, 600, 500) << picture << QPoint(940, 340);
        QTest::newRow("partly off the left edge/on the right")
            << screen << QRect(-200, 100, 600, 500) << picture << QPoint(400, 100);
        QTest::newRow("partly off the right edge/on the left")
            << screen << QRect(1000, 100, 600, 500) << picture << QPoint(680, 100);
        QTest::newRow("taller than the screen/at its top")
            << screen << QRect(340, 150, 600, 500) << QSize(320, 900) << QPoint(940, 0);
        QTest::newRow("panel at the top, maximised/below the panel")
            << QRect(0, 30, 1280, 770) << QRect(0, 30, 1280, 770) << picture << QPoint(960, 50);
        QTest::newRow("second screen/on the main window's screen")
            << QRect(1280, 0, 1920, 1080) << QRect(2500, 100, 600, 500) << picture << QPoint(2180, 100);
    }

    void position()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, main);
        QFETCH(QSize, side);
        QFETCH(QPoint, position);
        QCOMPARE(SideWindowPosition(screen, main, side, 20), position);
        QVERIFY(OnScreenBeside(screen, main, QRect(position, side.boundedTo(screen.size()))));
    }

    // The real windows, docked wherever the main window goes, kept above it.
    void sideWindowsFollowTheMainWindow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("other conversions") << QStringLiteral("IDETC") << QStringLiteral("frmEtc");
        QTest::newRow("pictures") << QStringLiteral("IDPIC") << QStringLiteral("frmPic");
    }

    void sideWindowsFollowTheMainWindow()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        std::unique_ptr<MainWindow> window = StartWindow(*m_program, *m_settings, m_folder->path());
        MainWindow &w = *window;
        w.Dispatch(key);
        auto *side = w.findChild<QWidget *>(name);
        QVERIFY(side && side->isVisible());
        QCOMPARE(side->windowHandle()->transientParent(), w.windowHandle());
        const QRect room = w.screen()->availableGeometry();
        auto docked = [&] {
            return side->isVisible() && OnScreenBeside(room, w.frameGeometry(), side->frameGeometry()) &&
                   side->pos() == SideWindowPosition(room, w.frameGeometry(), side->frameGeometry().size(),
                                                     w.geometry().top() - w.frameGeometry().top());
        };
        QVERIFY(docked());

        w.move(room.topLeft() + QPoint(5, 7));
        QTRY_VERIFY(docked());
        w.resize(w.minimumSize());
        QTRY_VERIFY(docked());
        w.move(room.right() - w.frameGeometry().width() - 3, room.top() + 20);
        QTRY_VERIFY(docked());
        w.showMaximized();
        QTRY_VERIFY(w.isMaximized());
        QTRY_VERIFY(docked());
        w.showNormal();
        QTRY_VERIFY(!w.isMaximized());
        QTRY_VERIFY(docked());
        // Hidden with the minimised window, shown and docked again after.
        w.showMinimized();
        QTRY_VERIFY(!side->isVisible());
        w.showNormal();
        QTRY_VERIFY(docked());
        w.Dispatch(key);
        QVERIFY(!side->isVisible());
    }
};

QTEST_MAIN(SideWindowPlacementTest)
#include "sidewindow_placement_test.moc"
