#pragma once

#include "mainwindow/mainwindow.h"
#include "settings/appsettings.h"
#include "settings/paths.h"
#include "settings/settingsfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <memory>

// A program folder of its own for one test, so the settings file lands there.
class ProgramFolder final
{
public:
    ProgramFolder() { SetProgramFolderOverride(m_dir.path()); }
    ~ProgramFolder() { SetProgramFolderOverride(QString()); }
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    QString path() const { return m_dir.path(); }
    QString settingsFile() const { return SettingsFilePath(); }

    // Writes a complete settings file whose folder is folder.
    void writeSettings(const QString &folder)
    {
        AppSettings settings;
        SetDefaultSettings(settings);
        settings.CurrentFolder = folder;
        SaveSettings(settings);
    }

private:
    QTemporaryDir m_dir;
};

// A main window started as the program starts, on a settings file whose
// folder is folder, shown and exposed. A refused start-up ends the test
// program: nothing after it could mean anything.
inline std::unique_ptr<MainWindow> StartWindow(ProgramFolder &program, AppSettings &settings,
                                               const QString &folder)
{
    program.writeSettings(folder);
    auto window = std::make_unique<MainWindow>(settings);
    if (!window->FormLoad())
        qFatal("start-up refused");
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("window not exposed");
    return window;
}

// Runs action on the next modal widget as soon as it is shown; the dialog is
// expected to close through what action does. Returns the object name seen
// through seen, if given.
inline void OnNextModal(std::function<void(QWidget *)> action, QString *seen = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        if (seen)
            *seen = modal->objectName();
        action(modal);
    });
    timer->start();
}

// Clicks the button of that object name in the next modal widget.
inline void ClickInNextModal(const QString &button, QString *seen = nullptr,
                             std::function<void(QWidget *)> before = {})
{
    OnNextModal(
        [button, before](QWidget *modal) {
            if (before)
                before(modal);
            auto *target = modal->findChild<QAbstractButton *>(button);
            QVERIFY2(target, qPrintable(button));
            target->click();
        },
        seen);
}

// Types text into a widget one character at a time, as the keyboard does;
// works for text outside Latin-1.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

using Rows = QList<int>;

// The current names of the window's rows, in order.
inline QStringList Names(MainWindow &w)
{
    QStringList names;
    for (int row = 1; row <= w.list().count(); ++row)
        names.append(w.list().at(row).Name);
    return names;
}

inline Rows Highlighted(MainWindow &w)
{
    Rows rows;
    for (int row = 1; row <= w.list().count(); ++row) {
        if (w.list().highlighted(row))
            rows.append(row);
    }
    return rows;
}

// Clicks a row of the list as the mouse does.
inline void ClickRow(MainWindow &w, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    auto *view = w.findChild<QTreeView *>(QStringLiteral("lvwMain"));
    const QRect rect = view->visualRect(view->model()->index(row - 1, 0));
    QVERIFY(rect.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
}
