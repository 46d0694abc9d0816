#include "mainwindow/toolbar.h"

#include "mainwindow/toolbarimages.h"
#include "widgets/keys.h"

#include <QAction>
#include <QKeyEvent>
#include <utility>

namespace {

struct ToolButton
{
    const char *key;
    const char16_t *tooltip;
    int separatorsAfter;
    // In the portable form of QKeySequence.
    const char *shortcut;
};

constexpr ToolButton ToolButtons[] = {
    {"IDOPEN", u"フォルダの指定をします", 0, "Ctrl+O"},
    {"IDOPT", u"ちょっとした設定です", 1, "Ctrl+,"},
    {"IDUP", u"指定した項目を一段上に", 0, "Alt+Up"},
    {"IDDOWN", u"指定した項目を一段下に", 1, "Alt+Down"},
    {"IDEDIT", u"選択項目を個別に編集します", 0, "F2"},
    {"IDDEL", u"リストから除外します（削除はしません）", 2, "Del"},
    {"IDCHG", u"指定した文字列を置換します", 0, "Ctrl+H"},
    {"IDINS", u"先頭または末尾に文字を挿入します", 0, "Ctrl+I"},
    {"IDATT", u"すべてのファイルの属性を変換します", 0, "Ctrl+T"},
    {"IDNUM", u"リストの先頭から順に連続番号を", 0, "Ctrl+N"},
    {"IDLS", u"押すたびに変わります", 2, "Shift+F3"},
    {"IDETC", u"その他変換ダイアログを表示します", 0, "F7"},
    {"IDPIC", u"画像ダイアログを表示します", 2, "F3"},
    {"IDEXT", u"拡張子を保護します（推奨：ＯＮ）", 0, "Ctrl+Shift+E"},
};

// The row commands and their greyed images.
constexpr std::pair<const char *, const char *> RowCommands[] = {
    {"IDUP", "IDNUP"},
    {"IDDOWN", "IDNDOWN"},
    {"IDDEL", "IDNDEL"},
    {"IDEDIT", "IDNEDIT"},
};

} // namespace

MainToolbar::MainToolbar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tlbMain"));
    setIconSize(QSize(20, 20));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolButton &button : ToolButtons) {
        const QString key = QLatin1StringView(button.key);
        QAction *action = addAction(ToolbarIcon(key), QString());
        action->setObjectName(key);
        // The name a screen reader gives the button and its entry in the
        // toolbar's overflow menu.
        action->setText(QString::fromUtf16(button.tooltip));
        const QKeySequence shortcut(QLatin1StringView(button.shortcut), QKeySequence::PortableText);
        action->setShortcut(shortcut);
        action->setToolTip(WithShortcut(QString::fromUtf16(button.tooltip), shortcut));
        action->setProperty("imageKey", key);
        action->setCheckable(key == u"IDEXT");
        for (int i = 0; i < button.separatorsAfter; ++i)
            addSeparator();
        // Reached with Tab like any button; the arrows move along the bar.
        if (QWidget *widget = widgetForAction(action)) {
            widget->setFocusPolicy(Qt::TabFocus);
            widget->installEventFilter(this);
        }
    }
}

bool MainToolbar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            QList<QWidget *> buttons;
            for (QAction *action : actions()) {
                QWidget *widget = action->isSeparator() ? nullptr : widgetForAction(action);
                if (widget && (widget == watched || (widget->isEnabled() && widget->isVisible())))
                    buttons.append(widget);
            }
            const qsizetype at = buttons.indexOf(static_cast<QWidget *>(watched));
            const qsizetype next = key == Qt::Key_Right ? at + 1 : at - 1;
            if (at >= 0 && next >= 0 && next < buttons.size())
                buttons.at(next)->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void MainToolbar::EnableRowCommands(bool enabled)
{
    for (const auto &[key, greyed] : RowCommands) {
        const QString buttonKey = QLatin1StringView(key);
        if (QAction *action = Action(buttonKey))
            action->setEnabled(enabled);
        SetButtonImage(buttonKey, enabled ? buttonKey : QString(QLatin1StringView(greyed)));
    }
}

void MainToolbar::ShowExtensionProtected(bool on)
{
    SetButtonImage(QStringLiteral("IDEXT"), on ? QStringLiteral("IDNEXT") : QStringLiteral("IDEXT"));
    // A click has already flipped the button; this keeps it equal to the
    // setting whoever changed it.
    if (QAction *action = Action(QStringLiteral("IDEXT")))
        action->setChecked(on);
}

void MainToolbar::SetButtonPressed(const QString &buttonKey, bool pressed)
{
    QAction *action = Action(buttonKey);
    if (!action || buttonKey == u"IDEXT")
        return;
    // Checkable only while pressed, so that a click never leaves it down.
    if (pressed)
        action->setCheckable(true);
    action->setChecked(pressed);
    if (!pressed)
        action->setCheckable(false);
}

QString MainToolbar::ImageKey(const QString &buttonKey) const
{
    const QAction *action = Action(buttonKey);
    return action ? action->property("imageKey").toString() : QString();
}

QAction *MainToolbar::Action(const QString &buttonKey) const
{
    return findChild<QAction *>(buttonKey);
}

void MainToolbar::SetButtonImage(const QString &buttonKey, const QString &imageKey)
{
    QAction *action = Action(buttonKey);
    if (!action || action->property("imageKey").toString() == imageKey)
        return;
    action->setIcon(ToolbarIcon(imageKey));
    action->setProperty("imageKey", imageKey);
}
