#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "platform/names.h"
#include "support/failingfilesystem.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "widgets/dialogflag.h"
#include "widgets/sidewindow.h"
#include "windows/contractdialog.h"
#include "windows/externalprogram.h"
#include "windows/optiondialog.h"
#include "windows/picturewindow.h"
#include "windows/picturewindow_reader.h"

#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Slot = PictureWindow::Slot;

QByteArray Solid(const char *format, QSize size, QColor colour = Qt::darkCyan)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Qt writes no GIF: one pixel of colour 11 22 33, made by hand.
const QByteArray OnePixelGif =
    QByteArray::fromHex("474946383961010001008000001122334455662c00000000010001000002024401003b");

// A JPEG with an Exif orientation tag put in front of its other segments.
QByteArray WithOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff = QByteArray::fromHex("49492a000800000001001201030001000000000000000000000000");
    tiff[18] = char(orientation);
    const QByteArray app1 =
        QByteArray::fromHex("ffe1") + char(0) + char(8 + tiff.size()) + QByteArray("Exif\0\0", 6) + tiff;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Picture p<n>.bmp is filled with this colour.
QColor Colour(const QString &name)
{
    return QColor::fromHsv(name.mid(1, 1).toInt() * 45, 255, 200);
}

class RecordingLauncher final : public ProgramLauncher
{
public:
    QString FolderHandler() override { return handler; }
    bool OpenUrl(const QString &opener, const QUrl &url, std::function<void()> failed) override
    {
        calls.append(opener + u' ' + url.toString());
        if (openerFails)
            failed();
        return openerStarts;
    }
    bool StartDetached(const QString &program, const QStringList &arguments) override
    {
        calls.append(program + u'|' + arguments.join(u'|'));
        return programStarts;
    }
    QStringList calls;
    QString handler = QStringLiteral("org.kde.dolphin.desktop");
    bool openerStarts = true;
    bool openerFails = false;
    bool programStarts = true;
    ScopedLauncher installed{*this};
};

} // namespace

class OptionsPicturesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<FailingFileSystem> m_disk;

    MainWindow &start(const QList<std::pair<QString, QByteArray>> &files)
    {
        for (const auto &[name, content] : files)
            m_folder->addFile(name, content);
        m_window = StartWindow(*m_program, *m_settings, m_folder->path());
        m_disk = std::make_unique<FailingFileSystem>();
        return *m_window;
    }

    // A window on p1.bmp to p7.bmp with its picture window open.
    PictureWindow &startPictures(bool neighbours)
    {
        QList<std::pair<QString, QByteArray>> files;
        for (int n = 1; n <= 7; ++n) {
            const QString name = QStringLiteral("p%1.bmp").arg(n);
            files.append({name, Solid("BMP", {8, 6}, Colour(name))});
        }
        start(files);
        m_settings->PictureShowNeighbours = neighbours;
        m_window->Dispatch(QStringLiteral("IDPIC"));
        return *pictures();
    }

    PictureWindow *pictures() { return m_window->findChild<PictureWindow *>(QStringLiteral("frmPic")); }

    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        auto *view = m_window->findChild<QTreeView *>(QStringLiteral("lvwMain"));
        const QRect rect = view->visualRect(view->model()->index(row - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    // The names of the files read from the disk since operation from.
    QStringList readsSince(int from) const
    {
        QStringList names;
        for (qsizetype i = from; i < m_disk->operations().size(); ++i) {
            const auto &operation = m_disk->operations()[i];
            if (operation.kind == u"OpenFile")
                names.append(operation.path.section(u'/', -1));
        }
        names.sort();
        return names;
    }

    // Each slot shows the caption given and, for p<n>.bmp, that file's colour.
    static void verifySlots(PictureWindow &window, const QStringList &captions)
    {
        for (int slot = 0; slot < 3; ++slot) {
            QCOMPARE(window.Caption(Slot(slot)), captions[slot]);
            const QImage image = window.Picture(Slot(slot));
            QCOMPARE(image.isNull(), captions[slot].isEmpty());
            if (!image.isNull())
                QCOMPARE(image.pixel(0, 0), Colour(captions[slot]).rgb());
        }
    }

private slots:
    void init()
    {
        m_program = std::make_unique<ProgramFolder>();
        m_folder = std::make_unique<TempFolder>();
        m_messages = std::make_unique<RecordingMessageSink>();
        m_settings = std::make_unique<AppSettings>();
        SetFirstRunHook([] { return ShowContract(); });
    }

    void cleanup()
    {
        m_disk.reset();
        if (m_window)
            m_window->hide();
        m_window.reset();
        m_messages.reset();
        m_folder.reset();
        m_program.reset();
        SetFirstRunHook([] { return true; });
    }

    void prohibitedNames_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("refused");
        const QStringList ten = {u"n1"_s, u"n2"_s, u"n3"_s, u"n4"_s, u"n5"_s,
                                 u"n6"_s, u"n7"_s, u"n8"_s, u"n9"_s, u"n10"_s};
        QTest::newRow("add/appended unchanged")
            << QStringList{u"a"_s} << u" b.txt "_s << QStringList{u"a"_s, u" b.txt "_s} << false;
        QTest::newRow("add/empty text ignored")
            << QStringList{u"a"_s} << QString() << QStringList{u"a"_s} << false;
        QTest::newRow("add/same case ignored silently")
            << QStringList{u"desktop.ini"_s} << u"desktop.ini"_s << QStringList{u"desktop.ini"_s} << false;
        QTest::newRow("add/other case is another name")
            << QStringList{u"desktop.ini"_s} << u"Desktop.ini"_s
            << QStringList{u"desktop.ini"_s, u"Desktop.ini"_s} << false;
        QTest::newRow("add/eleventh refused") << ten << u"x"_s << ten << true;
        QTest::newRow("add/eleventh refused though already there") << ten << u"n3"_s << ten << true;
    }

    void prohibitedNames()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        QFETCH(bool, refused);
        QStringList names = before;
        QCOMPARE(AddProhibitedName(names, text), after.size() > before.size());
        QCOMPARE(names, after);
        QCOMPARE(m_messages->texts(),
                 refused ? QStringList{u"設定できる個数は１０までです．"_s} : QStringList());
        if (refused)
            QVERIFY(m_messages->messages().constFirst().title.isEmpty());
    }

    void optionDialogOutcome_data()
    {
        QTest::addColumn<QString>("closeBy");
        QTest::addColumn<bool>("stored");
        QTest::newRow("ok stores and compacts") << u"cmdOK"_s << true;
        QTest::newRow("cancel discards") << u"cmdCancel"_s << false;
        QTest::newRow("closing the frame discards") << QString() << false;
    }

    void optionDialogOutcome()
    {
        QFETCH(QString, closeBy);
        QFETCH(bool, stored);
        MainWindow &w = start({{u"gone.txt"_s, {}}, {u"keep.txt"_s, {}}, {u"x.lnk"_s, {}}});
        // Gaps between the names, as a hand-edited settings file may have.
        m_settings->ProhibitedNames[2] = u"a"_s;
        m_settings->ProhibitedNames[5] = u"b"_s;
        m_settings->ProhibitedNames[7] = u"c"_s;
        const AppSettings before = *m_settings;
        OnNextModal([this, closeBy](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            auto *list = modal->findChild<QListWidget *>(u"lstProhibit"_s);
            QCOMPARE(list->count(), 3);
            list->setCurrentRow(1);
            // The delete button follows the focus into the list; start from
            // the text box, so that the list surely gains it.
            modal->findChild<QLineEdit *>(u"txtProhibit"_s)->setFocus();
            list->setFocus();
            auto *del = modal->findChild<QPushButton *>(u"cmdDel"_s);
            QTRY_VERIFY(del->isEnabled());
            del->click();
            modal->findChild<QLineEdit *>(u"txtProhibit"_s)->setText(u"gone.txt"_s);
            modal->findChild<QPushButton *>(u"cmdAdd"_s)->click();
            modal->findChild<QCheckBox *>(u"chkShortcut"_s)->setChecked(true);
            modal->findChild<QComboBox *>(u"cmbExe"_s)->setEditText(u"/usr/bin/viewer"_s);
            // Whatever the outcome, the list is read again afterwards.
            m_folder->addFile(u"late.txt"_s);
            if (closeBy.isEmpty())
                modal->close();
            else
                modal->findChild<QPushButton *>(closeBy)->click();
        });
        w.Dispatch(u"IDOPT"_s);

        QCOMPARE(flgDlgOK, stored);
        QStringList listed;
        for (int row = 1; row <= w.list().count(); ++row)
            listed.append(w.list().at(row).Name);
        if (stored) {
            const QStringList expected = {u"a"_s, u"c"_s, u"gone.txt"_s};
            for (int slot = 1; slot <= 10; ++slot)
                QCOMPARE(m_settings->ProhibitedNames[slot], expected.value(slot - 1));
            QVERIFY(m_settings->ShowShortcuts);
            QCOMPARE(m_settings->ExternalProgram, u"/usr/bin/viewer"_s);
            QCOMPARE(listed, QStringList({u"keep.txt"_s, u"late.txt"_s, u"x.lnk"_s}));
        } else {
            QVERIFY(m_settings->ProhibitedNames == before.ProhibitedNames);
            QCOMPARE(m_settings->ShowShortcuts, before.ShowShortcuts);
            QCOMPARE(m_settings->ExternalProgram, before.ExternalProgram);
            QCOMPARE(listed, QStringList({u"gone.txt"_s, u"keep.txt"_s, u"late.txt"_s}));
        }
    }

    void externalProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("call");
        QTest::newRow("explorer/any letter case opens the file manager")
            << u"eXPLORER"_s << u"/home/u/My Pictures"_s << u"xdg-open file:///home/u/My Pictures/"_s;
        QTest::newRow("explorer/a folder name that is not UTF-8 keeps its bytes")
            << u"Explorer"_s << DecodeName("/tmp/\xff\xe6\x97\xa5") << u"xdg-open file:///tmp/%FF日/"_s;
        QTest::newRow("program/one argument with a blank in it")
            << u"/usr/bin/viewer"_s << u"/home/u/My Pictures"_s << u"/usr/bin/viewer|/home/u/My Pictures/"_s;
        QTest::newRow("program/root keeps one separator") << u"viewer"_s << u"/"_s << u"viewer|/"_s;
        QTest::newRow("program/no folder yet hands the separator")
            << u"viewer"_s << QString() << u"viewer|/"_s;
        QTest::newRow("program/example entry started as it stands")
            << u"/usr/local/bin/viewer(←例)"_s << u"/p"_s << u"/usr/local/bin/viewer(←例)|/p/"_s;
    }

    void externalProgram()
    {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        QFETCH(QString, call);
        RecordingLauncher launcher;
        RunExternalProgram(program, folder);
        QCOMPARE(launcher.calls, QStringList{call});
    }

    void externalButtonDropsTheCurrentRowFirst()
    {
        MainWindow &w = start({{u"a.txt"_s, {}}});
        m_settings->ExternalProgram = u"viewer"_s;
        click(1);
        RecordingLauncher launcher;
        w.findChild<QPushButton *>(u"cmdExplorer"_s)->click();
        QCOMPARE(w.CurrentRow(), 0);
        QVERIFY(!w.list().highlighted(1));
        QCOMPARE(launcher.calls, QStringList{u"viewer|"_s + m_folder->path() + u'/'});
    }

    // A program or a file manager that does not start is told once, with
    // the program and the folder; Kazami as the folder opener is not
    // started again.
    void externalProgramFailures_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("message");
        const QString folder = u"\r\nフォルダ：/home/u/写真/"_s;
        QTest::newRow("program cannot start")
            << u"/nonexistent/viewer"_s << QString() << u"start"_s << u"/nonexistent/viewer|/home/u/写真/"_s
            << u"外部プログラムを起動できませんでした．\r\n\r\nプログラム：/nonexistent/viewer"_s + folder;
        QTest::newRow("no xdg-open")
            << u"Explorer"_s << QString() << u"open"_s << u"xdg-open file:///home/u/写真/"_s
            << u"ファイルマネージャでフォルダを開けませんでした．\r\n\r\nプログラム：xdg-open"_s + folder;
        QTest::newRow("xdg-open fails")
            << u"explorer"_s << u"pcmanfm.desktop"_s << u"opener"_s << u"xdg-open file:///home/u/写真/"_s
            << u"ファイルマネージャでフォルダを開けませんでした．\r\n\r\nプログラム：xdg-open (pcmanfm.desktop)"_s +
                   folder;
        QTest::newRow("Kazami opens folders")
            << u"Explorer"_s << u"kazami.desktop"_s << QString() << QString()
            << u"フォルダを開くプログラムに Kazami 自身が設定されているため，開きません．"
               "\r\n\r\nプログラム：kazami.desktop"_s +
                   folder;
        QTest::newRow("started") << u"Explorer"_s << u"org.kde.dolphin.desktop"_s << QString()
                                 << u"xdg-open file:///home/u/写真/"_s << QString();
    }

    void externalProgramFailures()
    {
        QFETCH(QString, program);
        QFETCH(QString, handler);
        QFETCH(QString, failure);
        QFETCH(QString, calls);
        QFETCH(QString, message);
        RecordingLauncher launcher;
        launcher.handler = handler;
        launcher.programStarts = failure != u"start";
        launcher.openerStarts = failure != u"open";
        launcher.openerFails = failure == u"opener";
        RunExternalProgram(program, u"/home/u/写真"_s);
        QCOMPARE(launcher.calls.join(u'\n'), calls);
        QCOMPARE(m_messages->texts().join(u'\n'), message);
        if (!message.isEmpty())
            QCOMPARE(m_messages->messages().constFirst().title, u"外部実行"_s);
    }

    void decodePicture_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("size");
        const QByteArray bmp = Solid("BMP", {40, 20});
        const QByteArray jpeg = Solid("JPEG", {40, 20});
        QTest::newRow("bmp/whole") << bmp << QSize(40, 20);
        QTest::newRow("bmp/larger is fitted keeping proportions")
            << Solid("BMP", {400, 100}) << QSize(100, 25);
        QTest::newRow("bmp/cut off") << bmp.left(bmp.size() - 100) << QSize();
        QTest::newRow("jpeg/whole") << jpeg << QSize(40, 20);
        QTest::newRow("jpeg/larger is fitted keeping proportions")
            << Solid("JPEG", {300, 300}) << QSize(50, 50);
        QTest::newRow("jpeg/cut off in its scan") << jpeg.left(jpeg.size() - 20) << QSize();
        QTest::newRow("jpeg/other data after its end")
            << jpeg + QByteArray("\xff\xda junk", 7) << QSize(40, 20);
        QTest::newRow("jpeg/turned upright by its orientation tag")
            << WithOrientation(Solid("JPEG", {60, 20}), 6) << QSize(16, 50);
        QTest::newRow("gif/small is not enlarged") << OnePixelGif << QSize(1, 1);
        QTest::newRow("gif/cut off") << OnePixelGif.left(OnePixelGif.size() - 4) << QSize();
        QTest::newRow("empty file") << QByteArray() << QSize();
        QTest::newRow("text") << QByteArray("just some words\n") << QSize();
        QTest::newRow("png is not one of the three") << Solid("PNG", {40, 20}) << QSize();
    }

    void decodePicture()
    {
        QFETCH(QByteArray, data);
        QFETCH(QSize, size);
        QCOMPARE(DecodePicture(data, QSize(100, 50)).size(), size.isValid() ? size : QSize(0, 0));
    }

    void rowClickReadsOnlyWhatItMust_data()
    {
        QTest::addColumn<bool>("neighbours");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QStringList>("captions");
        auto names = [](std::initializer_list<int> rows) {
            QStringList list;
            for (int row : rows)
                list.append(row ? QStringLiteral("p%1.bmp").arg(row) : QString());
            return list;
        };
        QTest::newRow("neighbours/down by one") << true << 3 << 4 << names({5}) << names({3, 4, 5});
        QTest::newRow("neighbours/up by one") << true << 4 << 3 << names({2}) << names({2, 3, 4});
        QTest::newRow("neighbours/down by two") << true << 3 << 5 << names({5, 6}) << names({4, 5, 6});
        QTest::newRow("neighbours/up by two") << true << 5 << 3 << names({2, 3}) << names({2, 3, 4});
        QTest::newRow("neighbours/by three") << true << 2 << 5 << names({4, 5, 6}) << names({4, 5, 6});
        QTest::newRow("neighbours/same row again") << true << 4 << 4 << names({3, 4, 5}) << names({3, 4, 5});
        QTest::newRow("neighbours/first row") << true << 2 << 1 << QStringList() << names({0, 1, 2});
        QTest::newRow("neighbours/last row") << true << 5 << 7 << names({7}) << names({6, 7, 0});
        QTest::newRow("single/down by one") << false << 3 << 4 << names({4}) << names({0, 4, 0});
        QTest::newRow("single/same row again") << false << 4 << 4 << names({4}) << names({0, 4, 0});
    }

    void rowClickReadsOnlyWhatItMust()
    {
        QFETCH(bool, neighbours);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, reads);
        QFETCH(QStringList, captions);
        PictureWindow &window = startPictures(neighbours);
        QVERIFY(window.isVisible());
        click(from);
        const int mark = m_disk->operationCount();
        click(to);
        QCOMPARE(readsSince(mark), reads);
        verifySlots(window, captions);
    }

    void movesShiftTheSlots_data()
    {
        QTest::addColumn<QList<int>>("picked");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("up/one row") << QList<int>{4} << u"IDUP"_s << QStringList{u"p2.bmp"_s}
                                    << QStringList{u"p2.bmp"_s, u"p4.bmp"_s, u"p3.bmp"_s};
        QTest::newRow("down/one row") << QList<int>{4} << u"IDDOWN"_s << QStringList{u"p6.bmp"_s}
                                      << QStringList{u"p5.bmp"_s, u"p4.bmp"_s, u"p6.bmp"_s};
        // The row below the moved block is the one that was above it.
        QTest::newRow("up/a block of two") << QList<int>{3, 4} << u"IDUP"_s << QStringList{u"p2.bmp"_s}
                                           << QStringList{u"p3.bmp"_s, u"p4.bmp"_s, u"p2.bmp"_s};
    }

    void movesShiftTheSlots()
    {
        QFETCH(QList<int>, picked);
        QFETCH(QString, key);
        QFETCH(QStringList, reads);
        QFETCH(QStringList, captions);
        PictureWindow &window = startPictures(true);
        for (qsizetype i = 0; i < picked.size(); ++i)
            click(picked[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        const int mark = m_disk->operationCount();
        m_window->Dispatch(key);
        QCOMPARE(readsSince(mark), reads);
        verifySlots(window, captions);
    }

    void backgroundClickRescanAndNeighbours()
    {
        PictureWindow &window = startPictures(true);
        click(3);
        verifySlots(window, {u"p2.bmp"_s, u"p3.bmp"_s, u"p4.bmp"_s});

        // The check box: off hides the neighbours and drops their pictures,
        // on reads them again for the current row.
        auto *check = window.findChild<QCheckBox *>(u"chkUD"_s);
        check->click();
        QVERIFY(!m_settings->PictureShowNeighbours);
        QVERIFY(!window.findChild<QWidget *>(u"fraUp"_s)->isVisible());
        QVERIFY(window.Picture(Slot::Upper).isNull() && window.Picture(Slot::Lower).isNull());
        int mark = m_disk->operationCount();
        check->click();
        QCOMPARE(readsSince(mark), QStringList({u"p2.bmp"_s, u"p4.bmp"_s}));
        QVERIFY(window.findChild<QWidget *>(u"fraDown"_s)->isVisible());

        window.move(window.pos() + QPoint(40, 40));
        QTest::mouseClick(m_window->findChild<QLabel *>(u"lblCount"_s), Qt::LeftButton);
        QCOMPARE(window.pos(),
                 SideWindowPosition(m_window->screen()->availableGeometry(), m_window->frameGeometry(),
                                    window.frameGeometry().size(),
                                    m_window->geometry().top() - m_window->frameGeometry().top()));
        verifySlots(window, {QString(), QString(), QString()});
        mark = m_disk->operationCount();
        click(4);
        QCOMPARE(readsSince(mark), QStringList({u"p3.bmp"_s, u"p4.bmp"_s, u"p5.bmp"_s}));

        m_window->findChild<QPushButton *>(u"cmdClear"_s)->click();
        verifySlots(window, {QString(), QString(), QString()});
    }

    void namesAndBrokenFilesInTheWindow()
    {
        start({{u"README"_s, {}},
               {u"a.jpeg"_s, Solid("JPEG", {8, 8})},
               {u"b.JPG"_s, Solid("JPEG", {8, 8})},
               {u"c.gif"_s, OnePixelGif},
               {u"d.bmp"_s, QByteArray("BM")}});
        m_window->Dispatch(u"IDPIC"_s);
        PictureWindow &window = *pictures();
        for (int row = 1; row <= 5; ++row) {
            click(row);
            const QString name = m_window->list().at(row).Name;
            QCOMPARE(window.Caption(Slot::Middle), name);
            QCOMPARE(!window.Picture(Slot::Middle).isNull(), name == u"b.JPG" || name == u"c.gif");
        }
        // Only names ending in .bmp, .jpg or .gif are read at all.
        QCOMPARE(readsSince(0), QStringList({u"b.JPG"_s, u"c.gif"_s, u"d.bmp"_s}));
    }

    void pictureAndEtcWindowsReplaceEachOther()
    {
        MainWindow &w = start({{u"p1.bmp"_s, Solid("BMP", {4, 4})}});
        QWidget etc;
        WidgetSideWindow etcSide(&etc);
        w.SetEtcWindow(&etcSide);
        PictureWindow &window = *pictures();

        w.Dispatch(u"IDETC"_s);
        QVERIFY(etc.isVisible());
        w.Dispatch(u"IDPIC"_s);
        QVERIFY(!etc.isVisible() && window.isVisible());
        QVERIFY(m_settings->PictureWindowOpen && !m_settings->EtcWindowOpen);
        QCOMPARE(window.pos(), SideWindowPosition(w.screen()->availableGeometry(), w.frameGeometry(),
                                                  window.frameGeometry().size(),
                                                  w.geometry().top() - w.frameGeometry().top()));
        w.Dispatch(u"IDETC"_s);
        QVERIFY(etc.isVisible() && !window.isVisible());
        QVERIFY(!m_settings->PictureWindowOpen && m_settings->EtcWindowOpen);
        w.Dispatch(u"IDPIC"_s);
        w.Dispatch(u"IDPIC"_s);
        QVERIFY(!etc.isVisible() && !window.isVisible());
        QVERIFY(!m_settings->PictureWindowOpen && !m_settings->EtcWindowOpen);

        // Closing it by its frame clears its pictures and its flag.
        w.Dispatch(u"IDPIC"_s);
        click(1);
        QVERIFY(!window.Picture(Slot::Middle).isNull());
        window.close();
        QVERIFY(window.Picture(Slot::Middle).isNull());
        QVERIFY(!m_settings->PictureWindowOpen);
        w.SetEtcWindow(nullptr);
    }
};

QTEST_MAIN(OptionsPicturesTest)
#include "options_pictures_test.moc"
