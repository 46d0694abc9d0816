#pragma once

#include "gui_harness.h"

#include "engine/messages.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/qtmessagesink.h"
#include "rules/date_dialog.h"
#include "windows/contractdialog.h"
#include "windows/progresswindow.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <functional>

// Every dialog and message box of the program, opened the way the program
// opens it, for a test to look at while it is open. check sees the dialog's
// window; the dialog is closed (cancelled) after it.
using DialogCheck = std::function<void(QWidget *)>;

struct DialogOpening
{
    const char *name;
    std::function<void(MainWindow &, const DialogCheck &)> open;
};

namespace every_dialog {

// Runs check on the next modal dialog, then cancels it, while open runs.
inline void WhileOpen(const DialogCheck &check, const std::function<void()> &open)
{
    OnNextModal([check](QWidget *modal) {
        check(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    open();
}

inline DialogOpening Command(const char *name, const char *key, bool onRow = false)
{
    return {name, [key, onRow](MainWindow &w, const DialogCheck &check) {
                if (onRow) {
                    auto *list = w.findChild<QTreeView *>(QStringLiteral("lvwMain"));
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualRect(list->model()->index(0, 0)).center());
                }
                WhileOpen(check, [&w, key] { w.Dispatch(QLatin1StringView(key)); });
            }};
}

inline DialogOpening Message(const char *name, const QString &title)
{
    return {name, [title](MainWindow &w, const DialogCheck &check) {
                QtMessageSink sink(&w);
                ScopedMessageSink installed(sink);
                WhileOpen(check, [&title] { Messages().ShowMessage(QStringLiteral("テスト"), title); });
            }};
}

} // namespace every_dialog

// A window started on files with names a.txt, b.txt and c.txt is expected.
inline QList<DialogOpening> EveryDialog()
{
    using namespace every_dialog;
    return {
        Command("frmPath", "IDOPEN"),
        Command("frmOption", "IDOPT"),
        Command("frmOne", "IDEDIT", true),
        Command("frmDel", "IDDEL", true),
        Command("frmChg", "IDCHG"),
        Command("frmIns", "IDINS"),
        Command("frmAtt", "IDATT"),
        Command("frmNumber", "IDNUM"),
        {"frmDate", [](MainWindow &w, const DialogCheck &check) { WhileOpen(check, [&w] { ExeDay(w); }); }},
        {"frmContract",
         [](MainWindow &w, const DialogCheck &check) { WhileOpen(check, [&w] { ShowContract(&w); }); }},
        Message("message box/program title", QString()),
        Message("message box/long title", QStringLiteral("使用できない文字が含まれています")),
        {"frmProgress",
         [](MainWindow &w, const DialogCheck &check) {
             ProgressWindow::SetTiming(0, 0);
             ProgressWindow progress(&w, ProgressWindow::OtherInput::Dropped);
             progress.BeginStage(QStringLiteral("試し変換"), 10, true);
             progress.Advance(1);
             check(QApplication::activeModalWidget());
             progress.Finish();
         }},
    };
}
