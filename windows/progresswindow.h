#pragma once

#include "engine/progress.h"

#include <QElapsedTimer>
#include <memory>

class QWidget;
class ProgressDialog;

// Shows long work in frmProgress, a small modal window with the stage, the
// count and, for a stoppable stage, a button to stop it. The window comes up
// only once the work has run for about half a second, and then keeps every
// window of the program painted.
class ProgressWindow final : public ProgressSink
{
public:
    // What becomes of the user's input to other windows while the window is up.
    enum class OtherInput
    {
        Dropped, // the window is modal: only it takes input (a rename run)
        Held,    // nothing takes input, and the window never takes the focus: input
                 // reaches the windows it was meant for after the work (a scan)
    };

    ProgressWindow(QWidget *parent, OtherInput otherInput);
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    void BeginStage(const QString &stage, qint64 total, bool stoppable) override;
    bool Advance(qint64 done) override;
    void Finish() override;

    // How long work runs before the window comes up, and how often it is
    // brought up to date, in milliseconds (tests make both 0).
    static void SetTiming(int showAfterMs, int updateEveryMs);

private:
    void Update();

    QWidget *m_parent;
    OtherInput m_otherInput;
    std::unique_ptr<ProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    qint64 m_nextUpdate = 0;
    bool m_working = false;
    QString m_stage;
    qint64 m_total = 0;
    qint64 m_done = 0;
    bool m_stoppable = false;
};
