#pragma once

#include <QToolBar>

// tlbMain: the main window's toolbar. Each button's action carries its key
// (IDOPEN, IDUP, ...) as objectName and remembers the key of the image it
// shows; the window runs the commands.
class MainToolbar final : public QToolBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainToolbar)

public:
    explicit MainToolbar(QWidget *parent);

    // Enables IDUP, IDDOWN, IDDEL and IDEDIT with their own images, or
    // disables them with their greyed ones.
    void EnableRowCommands(bool enabled);
    // IDEXT is down, with the image IDNEXT, exactly while the extension is
    // protected.
    void ShowExtensionProtected(bool on);
    // The pressed look a rule's button has while its dialog is open; IDEXT
    // keeps its own.
    void SetButtonPressed(const QString &buttonKey, bool pressed);
    // The key of the image a button shows now (IDUP or IDNUP, ...).
    QString ImageKey(const QString &buttonKey) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *Action(const QString &buttonKey) const;
    void SetButtonImage(const QString &buttonKey, const QString &imageKey);
};
