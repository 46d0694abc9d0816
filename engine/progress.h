#pragma once

#include <QString>
#include <QtGlobal>

// Where long work says how far it has come, and learns whether the user
// asked it to stop. The window shows it once the work has run for a while;
// tests script it.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;

    // Starts a stage of total steps (0 when the total is not known). Only a
    // stage begun as stoppable can be stopped by the user.
    virtual void BeginStage(const QString &stage, qint64 total, bool stoppable) = 0;

    // done steps of the stage are finished. False when the user asked a
    // stoppable stage to stop: the work then stops at once, cleanly.
    virtual bool Advance(qint64 done) = 0;

    // The work is over; whatever showed it goes away.
    virtual void Finish() = 0;
};

// A sink that may be missing: every call on a null sink does nothing, and
// the work always goes on. Finishes the work when it goes out of scope.
class ProgressScope final
{
public:
    explicit ProgressScope(ProgressSink *sink) : m_sink(sink) {}
    ~ProgressScope() { Finish(); }
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;

    void BeginStage(const QString &stage, qint64 total, bool stoppable = false)
    {
        if (m_sink) {
            m_sink->BeginStage(stage, total, stoppable);
            m_begun = true;
        }
    }
    bool Advance(qint64 done) { return !m_sink || m_sink->Advance(done); }
    void Finish()
    {
        if (m_begun)
            m_sink->Finish();
        m_begun = false;
    }

private:
    ProgressSink *m_sink;
    bool m_begun = false;
};
