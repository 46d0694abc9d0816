#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "support/failingfilesystem.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "widgets/dialogflag.h"
#include "windows/pathdialog.h"
#include "windows/picturewindow_reader.h"
#include "windows/progresswindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <qpa/qwindowsysteminterface.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QWidget *ShownProgressWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmProgress" && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Keys as the window system reports them: queued for the window that has
// the focus now, and handled whenever the program next takes its input.
void TypeAsTheKeyboardDoes(const QString &text)
{
    for (const QChar ch : text) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                QGuiApplication::focusWindow(), type, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    }
}

QTreeWidgetItem *FolderItem(PathDialog &dialog, const QString &path)
{
    auto *tree = dialog.findChild<QTreeWidget *>(u"dirDir"_s);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == path)
            return *it;
    }
    return nullptr;
}

void ClickFolder(PathDialog &dialog, QTreeWidgetItem *item)
{
    auto *tree = dialog.findChild<QTreeWidget *>(u"dirDir"_s);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// A BMP of 24 bits per pixel, every pixel of one colour, written a row at a time.
void WriteSolidBmp(const QString &path, int width, int height, QRgb colour, qint64 cutOff = 0)
{
    const qint64 rowBytes = (qint64(width) * 3 + 3) / 4 * 4;
    const qint64 pixels = rowBytes * height;
    QByteArray header(54, '\0');
    auto put32 = [&](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = char(value >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, quint32(54 + pixels));
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    put32(26, 1 | 24 << 16);
    put32(34, quint32(pixels));
    QByteArray row(rowBytes, '\0');
    for (int x = 0; x < width; ++x) {
        row[3 * x] = char(qBlue(colour));
        row[3 * x + 1] = char(qGreen(colour));
        row[3 * x + 2] = char(qRed(colour));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(header);
    for (int y = 0; y < height; ++y)
        file.write(row);
    file.close();
    if (cutOff)
        QVERIFY(file.resize(54 + pixels - cutOff));
}

} // namespace

// What a Linux user meets: dot-files, captions, relative folder texts,
// folders that cannot be listed, typing while a folder is read, and large
// pictures.
class LinuxUserTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ProgressWindow::SetTiming(500, 50); }
    void firstRunLeavesDotFilesOut_data();
    void firstRunLeavesDotFilesOut();
    void onlyTheBackgroundClearsHighlights_data();
    void onlyTheBackgroundClearsHighlights();
    void systemFolderJudgedAsScanned_data();
    void systemFolderJudgedAsScanned();
    void keysTypedDuringAScanReachTheFolderBox();
    void folderDialogNeverReturnsAnUnlistableFolder_data();
    void folderDialogNeverReturnsAnUnlistableFolder();
    void largePicturesAreStreamed_data();
    void largePicturesAreStreamed();
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

void LinuxUserTest::onlyTheBackgroundClearsHighlights_data()
{
    QTest::addColumn<QString>("clicked"); // empty: the window's background
    QTest::addColumn<bool>("clears");

    QTest::newRow("caption フォルダ") << u"Label2"_s << false;
    QTest::newRow("caption 対象ファイル") << u"Label1"_s << false;
    QTest::newRow("caption ソート") << u"Label3"_s << false;
    QTest::newRow("count label") << u"lblCount"_s << true;
    QTest::newRow("background") << QString() << true;
}

void LinuxUserTest::onlyTheBackgroundClearsHighlights()
{
    QFETCH(QString, clicked);
    QFETCH(bool, clears);

    TempFolder folder;
    for (const QString &name : {u"1"_s, u"2"_s, u"3"_s})
        folder.addFile(name);
    ProgramFolder program;
    AppSettings settings;
    RecordingMessageSink messages;
    const auto w = StartWindow(program, settings, folder.path());
    ClickRow(*w, 1);
    ClickRow(*w, 3, Qt::ControlModifier);
    QCOMPARE(Highlighted(*w), (Rows{1, 3}));
    QCOMPARE(w->CurrentRow(), 3);

    if (clicked.isEmpty()) {
        const QPoint corner(w->width() - 3, w->height() - 3);
        QCOMPARE(w->childAt(corner), nullptr);
        QTest::mouseClick(w.get(), Qt::LeftButton, {}, corner);
    } else {
        QTest::mouseClick(w->findChild<QLabel *>(clicked), Qt::LeftButton);
    }
    QCOMPARE(Highlighted(*w), clears ? Rows{} : (Rows{1, 3}));
    QCOMPARE(w->CurrentRow(), clears ? 0 : 3);
}

void LinuxUserTest::systemFolderJudgedAsScanned_data()
{
    QTest::addColumn<QString>("workingFolder");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("scanned");
    QTest::addColumn<bool>("warns");

    QTest::newRow("relative/usr from the root") << u"/"_s << u"usr"_s << u"/usr"_s << true;
    QTest::newRow("relative/inside etc") << u"/"_s << u"etc/ssh"_s << u"/etc/ssh"_s << true;
    QTest::newRow("relative/up into etc") << u"/tmp"_s << u"../etc"_s << u"/tmp/../etc"_s << true;
    QTest::newRow("relative/not a system folder") << u"/"_s << u"tmp"_s << u"/tmp"_s << false;
    QTest::newRow("absolute/var") << u"/tmp"_s << u"/var"_s << u"/var"_s << true;
}

void LinuxUserTest::systemFolderJudgedAsScanned()
{
    QFETCH(QString, workingFolder);
    QFETCH(QString, typed);
    QFETCH(QString, scanned);
    QFETCH(bool, warns);

    TempFolder start;
    ProgramFolder program;
    AppSettings settings;
    RecordingMessageSink messages;
    const auto w = StartWindow(program, settings, start.path());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workingFolder));
    w->OpenFolder(typed);
    QDir::setCurrent(before);

    QCOMPARE(w->list().Folder(), scanned);
    QStringList titles;
    for (const RecordingMessageSink::Message &message : messages.messages())
        titles.append(message.title);
    QCOMPARE(titles, warns ? QStringList{u"システムフォルダは危険です"_s} : QStringList());
}

void LinuxUserTest::keysTypedDuringAScanReachTheFolderBox()
{
    TempFolder root;
    root.addFolder(u"big"_s);
    for (int i = 0; i < 1000; ++i)
        root.addFile(u"big/f%1.txt"_s.arg(i));
    root.addFolder(u"big/sub"_s);
    root.addFile(u"big/sub/inner.txt"_s);
    const QString big = root.filePath(u"big"_s);
    ProgramFolder program;
    AppSettings settings;
    RecordingMessageSink messages;
    const auto w = StartWindow(program, settings, root.path());
    auto *box = w->findChild<QLineEdit *>(u"txtPath"_s);
    w->activateWindow();
    box->setFocus();
    box->end(false);
    QTRY_VERIFY(box->hasFocus());
    ProgressWindow::SetTiming(0, 0);

    // While "big" is read, its progress window shows and handles the events
    // of its showing; then "/sub" is typed.
    FailingFileSystem disk;
    bool armed = true;
    int sightings = 0;
    bool typed = false;
    QPointer<QWidget> focusedWhileTyping;
    QPointer<QWindow> activeWhileTyping;
    std::function<void()> typeWhileReading = [&] {
        if (!ShownProgressWindow()) {
            if (sightings == 0 && armed)
                QTimer::singleShot(0, typeWhileReading);
            return;
        }
        if (++sightings < 2) {
            QTimer::singleShot(0, typeWhileReading);
            return;
        }
        focusedWhileTyping = QApplication::focusWidget();
        activeWhileTyping = QGuiApplication::focusWindow();
        TypeAsTheKeyboardDoes(u"/sub"_s);
        typed = true;
    };
    disk.beforeOperation = [&](int, const FailingFileSystem::Operation &operation) {
        if (armed && operation.kind == u"ListFolder" && operation.path == big) {
            armed = false;
            QTimer::singleShot(0, typeWhileReading);
        }
    };
    TypeText(box, u"/big"_s);
    QVERIFY2(typed, "the keys were never typed while the folder was read");
    QCOMPARE(focusedWhileTyping.data(), box);
    QCOMPARE(activeWhileTyping.data(), w->windowHandle());

    QTRY_COMPARE(box->text(), big + u"/sub"_s);
    QCOMPARE(Names(*w), QStringList{u"inner.txt"_s});
    QVERIFY(box->hasFocus());
    QVERIFY(!ShownProgressWindow());
}

void LinuxUserTest::folderDialogNeverReturnsAnUnlistableFolder_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("unlistable");
    QTest::addColumn<bool>("afterClick"); // it becomes unlistable once clicked

    QTest::newRow("subfolder") << QString() << u"locked"_s << false;
    QTest::newRow("ancestor") << u"open/inner"_s << u"open"_s << false;
    QTest::newRow("subfolder unlistable once clicked") << QString() << u"open"_s << true;
}

void LinuxUserTest::folderDialogNeverReturnsAnUnlistableFolder()
{
    QFETCH(QString, opened);
    QFETCH(QString, unlistable);
    QFETCH(bool, afterClick);

    TempFolder root;
    for (const QString &name : {u"locked"_s, u"open"_s, u"open/inner"_s})
        root.addFolder(name);
    auto full = [&](const QString &relative) {
        return relative.isEmpty() ? root.path() : root.filePath(relative);
    };
    // Root reads every folder, so a folder nobody may list is made by refusing it.
    FailingFileSystem disk;
    bool refusing = !afterClick;
    disk.refuse = [&](const FailingFileSystem::Operation &operation) {
        return refusing && operation.path == full(unlistable);
    };
    AppSettings settings;
    settings.CurrentFolder = full(opened);
    PathDialog dialog(settings);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.path(), full(opened));

    QTreeWidgetItem *item = FolderItem(dialog, full(unlistable));
    QVERIFY(item);
    QCOMPARE(item->flags().testFlag(Qt::ItemIsEnabled), afterClick);
    ClickFolder(dialog, item);
    QCOMPARE(dialog.SelectedPath(), afterClick ? full(unlistable) : full(opened));
    auto *ok = dialog.findChild<QPushButton *>(u"cmdOK"_s);
    if (afterClick) {
        refusing = true;
        ok->click();
        QVERIFY(dialog.isVisible());
        QVERIFY(!flgDlgOK);
        item = FolderItem(dialog, full(unlistable));
        QVERIFY(!item->flags().testFlag(Qt::ItemIsEnabled));
        QCOMPARE(dialog.SelectedPath(), full(opened));
    }
    ok->click();
    QVERIFY(flgDlgOK);
    QCOMPARE(settings.CurrentFolder, full(opened));
}

void LinuxUserTest::largePicturesAreStreamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("shown"); // invalid: nothing shown

    // 6000 × 4000 at 24 bits is 72 MB: read as far as needed, never whole.
    QTest::newRow("bmp over 64 MiB") << u"whole"_s << QSize(300, 200);
    QTest::newRow("bmp over 64 MiB cut off") << u"cut"_s << QSize();
    QTest::newRow("named pipe") << u"pipe"_s << QSize();
}

void LinuxUserTest::largePicturesAreStreamed()
{
    QFETCH(QString, kind);
    QFETCH(QSize, shown);

    TempFolder folder;
    const QString file = folder.filePath(u"large.bmp"_s);
    const QRgb colour = qRgb(0x99, 0x66, 0x33);
    if (kind == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else
        WriteSolidBmp(file, 6000, 4000, colour, kind == u"cut" ? 5000 : 0);

    // A whole read of the file would fail here.
    FailingFileSystem disk;
    disk.refuse = [](const FailingFileSystem::Operation &operation) { return operation.kind == u"ReadFile"; };
    const QImage image = ReadPicture(file, QSize(300, 300));
    QCOMPARE(image.size(), shown.isValid() ? shown : QSize(0, 0));
    if (!image.isNull())
        QCOMPARE(image.pixel(150, 100), colour);
}

QTEST_MAIN(LinuxUserTest)
#include "linux_user_test.moc"
