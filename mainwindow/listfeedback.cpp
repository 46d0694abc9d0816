// The main window's account of its list: the rows' fates beside the count,
// the way to the next problem, the history of the list's edits, and what
// the last run did.

#include "engine/messages.h"
#include "mainwindow/filelistmodel.h"
#include "mainwindow/fileview.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/toolbar.h"
#include "windows/picturewindow.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QSet>

void MainWindow::BuildListFeedback()
{
    auto action = [this](const QString &text, const char *name, const QList<QKeySequence> &keys) {
        auto *made = new QAction(text, this);
        made->setObjectName(QLatin1StringView(name));
        made->setShortcuts(keys);
        // Line edits keep their own Ctrl+Z: a shortcut of the window gives
        // way to a text box that has the focus.
        made->setShortcutContext(Qt::WindowShortcut);
        m_lvwMain->addAction(made);
        return made;
    };
    m_editUndoAction =
        action(QStringLiteral("元に戻す"), "mnuEditUndo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_editRedoAction =
        action(QStringLiteral("やり直し"), "mnuEditRedo",
               {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QAction *next =
        action(QStringLiteral("次の問題のある行へ"), "mnuNextProblem", {QKeySequence(Qt::Key_F8)});
    QAction *previous = action(QStringLiteral("前の問題のある行へ"), "mnuPrevProblem",
                               {QKeySequence(Qt::SHIFT | Qt::Key_F8)});
    m_lvwMain->addAction(m_undoAction);
    m_editUndoAction->setEnabled(false);
    m_editRedoAction->setEnabled(false);

    connect(m_editUndoAction, &QAction::triggered, this, &MainWindow::UndoEdit);
    connect(m_editRedoAction, &QAction::triggered, this, &MainWindow::RedoEdit);
    connect(next, &QAction::triggered, this, [this] { GoToProblem(true); });
    connect(previous, &QAction::triggered, this, [this] { GoToProblem(false); });
    connect(&m_list, &FileList::historyChanged, this, [this] {
        m_editUndoAction->setEnabled(m_list.canUndo());
        m_editRedoAction->setEnabled(m_list.canRedo());
    });
    connect(m_model, &FileListModel::statusChanged, this, &MainWindow::ShowStatusLine);
    // The lines take the room there is and never widen the window; the
    // whole text of the run's line is its tooltip.
    m_lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblResult->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblResult->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::ShowStatusLine()
{
    m_lblStatus->setText(MakeStatusText(m_model->status()));
    // What the last run did holds only until the list changes.
    m_lblResult->clear();
    m_lblResult->setToolTip({});
}

void MainWindow::ShowRunSummary(const QStringList &newNames)
{
    QSet<QString> listed;
    listed.reserve(m_list.count());
    for (int row = 1; row <= m_list.count(); ++row)
        listed.insert(m_list.at(row).Name);
    qsizetype unlisted = 0;
    for (const QString &name : newNames)
        unlisted += listed.contains(name) ? 0 : 1;
    QString text = QStringLiteral("%1 個のファイルの名前を変えました").arg(newNames.size());
    if (unlisted > 0)
        text += QStringLiteral("（うち %1 個は新しい名前が「対象ファイル」に合わないので，一覧にありません）")
                    .arg(unlisted);
    m_lblResult->setText(text);
    m_lblResult->setToolTip(text);
}

void MainWindow::UndoEdit()
{
    if (m_busy || !m_list.canUndo())
        return;
    m_list.undo();
    ShowStepApplied();
}

void MainWindow::RedoEdit()
{
    if (m_busy || !m_list.canRedo())
        return;
    m_list.redo();
    ShowStepApplied();
}

void MainWindow::ShowStepApplied()
{
    m_lblCount->setText(MakeCountText(m_list.count()));
    m_pictures->ListRebuilt();
    if (m_list.CurrentRow() > 0) {
        m_tlbMain->EnableRowCommands(true);
        ShowCurrentRowInView();
    } else {
        m_tlbMain->EnableRowCommands(false);
    }
}

void MainWindow::GoToProblem(bool forward)
{
    const int row = m_model->status().nextProblem(m_list.CurrentRow(), forward);
    if (row == 0)
        return;
    ClearCurrentRow();
    m_list.clearHighlights();
    m_list.setCurrentRow(row);
    m_list.setHighlighted(row, true);
    EnableRowCommands();
    ShowCurrentRowInView();
    FocusList();
}
