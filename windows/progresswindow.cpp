#include "windows/progresswindow.h"

#include "engine/messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

int ShowAfterMs = 500;
int UpdateEveryMs = 50;

} // namespace

class ProgressDialog final : public QDialog
{
public:
    explicit ProgressDialog(QWidget *parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("frmProgress"));
        setWindowTitle(ProgramTitle);
        // Closing from the title bar would leave the work running unseen.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setWindowModality(Qt::ApplicationModal);

        m_stage = new QLabel(this);
        m_stage->setObjectName(QStringLiteral("lblStage"));
        m_count = new QLabel(this);
        m_count->setObjectName(QStringLiteral("lblProgress"));
        m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_bar = new QProgressBar(this);
        m_bar->setObjectName(QStringLiteral("prgProgress"));
        m_bar->setTextVisible(false);
        m_stop = new QPushButton(QStringLiteral("中止"), this);
        m_stop->setObjectName(QStringLiteral("cmdCancel"));
        m_stop->setAutoDefault(false);
        // The window keeps its size and its layout when the button goes.
        QSizePolicy keepRoom = m_stop->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        m_stop->setSizePolicy(keepRoom);
        connect(m_stop, &QPushButton::clicked, this, [this] { m_stopRequested = true; });

        auto *labels = new QHBoxLayout;
        labels->addWidget(m_stage);
        labels->addStretch(1);
        labels->addWidget(m_count);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(m_stop);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(labels);
        layout->addWidget(m_bar);
        layout->addLayout(buttons);
        m_bar->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40);
        setFixedSize(sizeHint());
    }

    void Show(const QString &stage, qint64 total, qint64 done, bool stoppable)
    {
        m_stoppable = stoppable;
        m_stop->setVisible(stoppable);
        m_stage->setText(stage);
        if (total > 0) {
            m_count->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
            // A bar counts in int; a permille keeps any count in range.
            m_bar->setRange(0, 1000);
            m_bar->setValue(int(done * 1000 / total));
        } else {
            m_count->setText(QString::number(done));
            m_bar->setRange(0, 0);
        }
    }

    bool StopRequested() const { return m_stopRequested; }

    // Keys typed while the window is up belong to the window the user typed
    // them into: the window never takes the focus, and where the platform
    // hands it the focus all the same, it hands the focus back.
    void KeepFocusAway()
    {
        m_keepFocusAway = true;
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

protected:
    bool event(QEvent *event) override
    {
        if (m_keepFocusAway && event->type() == QEvent::WindowActivate && parentWidget())
            parentWidget()->window()->activateWindow();
        return QDialog::event(event);
    }

    // Escape and the window manager's close stop a stoppable stage, and do
    // nothing otherwise.
    void reject() override
    {
        if (m_stoppable)
            m_stopRequested = true;
    }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        reject();
    }

private:
    QLabel *m_stage;
    QLabel *m_count;
    QProgressBar *m_bar;
    QPushButton *m_stop;
    bool m_stoppable = false;
    bool m_stopRequested = false;
    bool m_keepFocusAway = false;
};

ProgressWindow::ProgressWindow(QWidget *parent, OtherInput otherInput)
    : m_parent(parent), m_otherInput(otherInput)
{}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::SetTiming(int showAfterMs, int updateEveryMs)
{
    ShowAfterMs = showAfterMs;
    UpdateEveryMs = updateEveryMs;
}

void ProgressWindow::BeginStage(const QString &stage, qint64 total, bool stoppable)
{
    if (!m_working) {
        m_working = true;
        m_clock.start();
        m_nextUpdate = ShowAfterMs;
    }
    m_stage = stage;
    m_total = total;
    m_done = 0;
    m_stoppable = stoppable;
    if (m_dialog)
        Update();
}

bool ProgressWindow::Advance(qint64 done)
{
    m_done = done;
    // Reading the clock is cheap; showing and painting is not.
    if (m_clock.elapsed() >= m_nextUpdate)
        Update();
    return !(m_stoppable && m_dialog && m_dialog->StopRequested());
}

void ProgressWindow::Finish()
{
    m_working = false;
    m_dialog.reset();
}

void ProgressWindow::Update()
{
    if (!m_dialog) {
        m_dialog = std::make_unique<ProgressDialog>(m_parent);
        if (m_otherInput == OtherInput::Held)
            m_dialog->KeepFocusAway();
        m_dialog->Show(m_stage, m_total, m_done, m_stoppable);
        m_dialog->show();
    } else {
        m_dialog->Show(m_stage, m_total, m_done, m_stoppable);
    }
    // Held input stays queued for its windows until the work ends. Otherwise
    // the window's modality keeps input from every other window, and a click
    // on the stop button gets through.
    QApplication::processEvents(m_otherInput == OtherInput::Held ? QEventLoop::ExcludeUserInputEvents
                                                                 : QEventLoop::AllEvents);
    m_nextUpdate = m_clock.elapsed() + UpdateEveryMs;
}
