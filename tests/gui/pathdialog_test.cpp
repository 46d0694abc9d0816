#include "gui_harness.h"

#include "mainwindow/mainwindow.h"
#include "platform/names.h"
#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"
#include "widgets/dialogflag.h"
#include "windows/pathdialog.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <sys/stat.h>

namespace {

QStringList PreviewNames(QWidget *dialog)
{
    QStringList names;
    auto *preview = dialog->findChild<QListWidget *>(QStringLiteral("lstPreview"));
    for (int i = 0; i < preview->count(); ++i)
        names.append(preview->item(i)->text());
    return names;
}

QTreeWidgetItem *Subfolder(PathDialog &dialog, const QString &name)
{
    QTreeWidgetItem *current = dialog.findChild<QTreeWidget *>(QStringLiteral("dirDir"))->currentItem();
    for (int i = 0; current && i < current->childCount(); ++i) {
        if (current->child(i)->text(0) == name)
            return current->child(i);
    }
    return nullptr;
}

QPoint Centre(PathDialog &dialog, QTreeWidgetItem *item)
{
    return dialog.findChild<QTreeWidget *>(QStringLiteral("dirDir"))->visualItemRect(item).center();
}

QStringList SubfolderNames(PathDialog &dialog)
{
    QStringList names;
    QTreeWidgetItem *current = dialog.findChild<QTreeWidget *>(QStringLiteral("dirDir"))->currentItem();
    for (int i = 0; current && i < current->childCount(); ++i)
        names.append(current->child(i)->text(0));
    return names;
}

} // namespace

class PathDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void opensAtTheNearestExistingAncestor_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("opened");
        QTest::newRow("existing folder") << "/Data/Old"
                                         << "/Data/Old";
        QTest::newRow("trailing separators are dropped") << "/Data/Old//"
                                                         << "/Data/Old";
        QTest::newRow("deleted folder opens its parent") << "/Data/Gone"
                                                         << "/Data";
        QTest::newRow("deleted branch opens the nearest ancestor") << "/Data/Gone/Deeper/Still"
                                                                   << "/Data";
    }

    void opensAtTheNearestExistingAncestor()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, opened);
        TempFolder folder;
        folder.addFolder(QStringLiteral("Data"));
        folder.addFolder(QStringLiteral("Data/Old"));
        AppSettings settings;
        settings.CurrentFolder = folder.path() + remembered;
        PathDialog dialog(settings);
        QCOMPARE(dialog.path(), folder.path() + opened);
        QVERIFY(!flgDlgOK);
        QVERIFY(!settings.CurrentFolder.endsWith(u'/'));
    }

    void rootIsKeptWithItsSeparator()
    {
        AppSettings settings;
        settings.CurrentFolder = QStringLiteral("///");
        PathDialog dialog(settings);
        // Stripped on opening, even if the dialog is then cancelled.
        QCOMPARE(settings.CurrentFolder, QStringLiteral("/"));
        QCOMPARE(dialog.path(), QStringLiteral("/"));
        dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QVERIFY(flgDlgOK);
        QCOMPARE(settings.CurrentFolder, QStringLiteral("/"));
    }

    void listsSubfoldersAndPreviewsFilesUnderTheMask()
    {
        TempFolder folder;
        folder.addFolder(QStringLiteral("b_フォルダ"));
        folder.addFolder(QStringLiteral("A"));
        folder.addFile(QStringLiteral("写真.jpg"));
        folder.addFile(QStringLiteral(".hidden"));
        folder.addRawFile(QByteArray("bad\xff.txt"));
        const QByteArray oddFolder = folder.encodedPath() + QByteArray("/dir\xfe");
        QVERIFY(::mkdir(oddFolder.constData(), 0755) == 0);
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        settings.ShowHidden = false;
        settings.ShowSystem = true;
        PathDialog dialog(settings);
        auto *chkH = dialog.findChild<QCheckBox *>(QStringLiteral("chkH"));
        QVERIFY(!chkH->isChecked());
        QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("chkS"))->isChecked());
        QCOMPARE(chkH->toolTip(), QStringLiteral("隠しファイルをリストに入れます"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("フォルダの参照"));

        QCOMPARE(PreviewNames(&dialog),
                 QStringList({DecodeName(QByteArray("bad\xff.txt")), QStringLiteral("写真.jpg")}));
        QVERIFY(SubfolderNames(dialog).contains(QStringLiteral("A")));
        // A folder whose name is not UTF-8 is listed too.
        QVERIFY(SubfolderNames(dialog).contains(DecodeName(QByteArray("dir\xfe"))));
        QVERIFY(SubfolderNames(dialog).contains(QStringLiteral("b_フォルダ")));

        // The hidden box changes the preview only; the setting waits for OK.
        chkH->click();
        QVERIFY(PreviewNames(&dialog).contains(QStringLiteral(".hidden")));
        QVERIFY(!settings.ShowHidden);

        // Opening a subfolder browses it; its ancestors stay in the list.
        auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("dirDir"));
        QTreeWidgetItem *sub =
            tree->currentItem()->child(SubfolderNames(dialog).indexOf(QStringLiteral("b_フォルダ")));
        emit tree->itemDoubleClicked(sub, 0);
        QCOMPARE(dialog.path(), folder.path() + QStringLiteral("/b_フォルダ"));
        QCOMPARE(PreviewNames(&dialog), QStringList());
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("/"));

        dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QVERIFY(flgDlgOK);
        QCOMPARE(settings.CurrentFolder, folder.path() + QStringLiteral("/b_フォルダ"));
        QVERIFY(settings.ShowHidden);
    }

    void clickSelectsEnterAndDoubleClickOpen()
    {
        TempFolder folder;
        folder.addFolder(QStringLiteral("写真"));
        folder.addFile(QStringLiteral("写真/桜.jpg"));
        folder.addFolder(QStringLiteral("写真/京都"));
        folder.addFolder(QStringLiteral("動画"));
        folder.addFile(QStringLiteral("top.txt"));
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        PathDialog dialog(settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("dirDir"));
        QWidget *viewport = tree->viewport();

        // One click: the folder is selected and previewed, not opened.
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          Centre(dialog, Subfolder(dialog, QStringLiteral("写真"))));
        QCOMPARE(dialog.path(), folder.path());
        QCOMPARE(dialog.SelectedPath(), folder.path() + QStringLiteral("/写真"));
        QCOMPARE(PreviewNames(&dialog), QStringList({QStringLiteral("桜.jpg")}));

        // Enter opens the selected folder, and the dialog stays.
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(dialog.path(), folder.path() + QStringLiteral("/写真"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(SubfolderNames(dialog), QStringList({QStringLiteral("京都")}));

        // A double-click opens too, as the window system sends it: press,
        // release, double-click, release.
        const QPoint kyoto = Centre(dialog, Subfolder(dialog, QStringLiteral("京都")));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, kyoto);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, kyoto);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, kyoto);
        QCOMPARE(dialog.path(), folder.path() + QStringLiteral("/写真/京都"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!flgDlgOK);

        // OK returns the selected folder: here an ancestor picked with one click.
        QTreeWidgetItem *ancestor = tree->currentItem()->parent()->parent();
        QCOMPARE(ancestor->data(0, Qt::UserRole).toString(), folder.path());
        QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(dialog, ancestor));
        QCOMPARE(PreviewNames(&dialog), QStringList({QStringLiteral("top.txt")}));
        dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QVERIFY(flgDlgOK);
        QCOMPARE(settings.CurrentFolder, folder.path());
    }

    void cancelWritesNothing()
    {
        TempFolder folder;
        folder.addFolder(QStringLiteral("sub"));
        AppSettings settings;
        settings.CurrentFolder = folder.path();
        PathDialog dialog(settings);
        dialog.SetPath(folder.path() + QStringLiteral("/sub"));
        dialog.findChild<QCheckBox *>(QStringLiteral("chkH"))->click();
        dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(!flgDlgOK);
        QCOMPARE(settings.CurrentFolder, folder.path());
        QVERIFY(!settings.ShowHidden);
    }

    void mainWindowListsTheChosenFolder()
    {
        ProgramFolder program;
        TempFolder folder;
        folder.addFile(QStringLiteral("a.txt"));
        folder.addFolder(QStringLiteral("次"));
        folder.addFile(QStringLiteral("次/一.txt"));
        folder.addFile(QStringLiteral("次/二.txt"));
        program.writeSettings(folder.path());
        RecordingMessageSink messages;
        AppSettings settings;
        MainWindow w(settings);
        QVERIFY(w.FormLoad());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *count = w.findChild<QLabel *>(QStringLiteral("lblCount"));
        QCOMPARE(count->text(), QStringLiteral("1 FILES"));

        // Cancelled: the list stays.
        QString seen;
        ClickInNextModal(QStringLiteral("cmdCancel"), &seen);
        w.findChild<QPushButton *>(QStringLiteral("cmdPath"))->click();
        QCOMPARE(seen, QStringLiteral("frmPath"));
        QCOMPARE(count->text(), QStringLiteral("1 FILES"));

        // Confirmed on a subfolder, from the toolbar.
        OnNextModal([&folder](QWidget *modal) {
            static_cast<PathDialog *>(modal)->SetPath(folder.path() + QStringLiteral("/次"));
            modal->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        });
        w.Dispatch(QStringLiteral("IDOPEN"));
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("txtPath"))->text(),
                 folder.path() + QStringLiteral("/次"));
        QCOMPARE(count->text(), QStringLiteral("2 FILES"));
        QVERIFY(messages.messages().isEmpty());
        w.hide();
    }
};

QTEST_MAIN(PathDialogTest)
#include "pathdialog_test.moc"
