#include "windows/picturewindow.h"

#include "engine/filelist.h"
#include "platform/displayname.h"
#include "settings/appsettings.h"
#include "widgets/dialogchrome.h"
#include "windows/picturewindow_reader.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Pictures are read no larger than this: a slot of a side window never
// needs more, and a huge photograph is read quickly at this size.
constexpr QSize ReadBox(1024, 1024);

// The window's designed size, in twips.
constexpr int DesignedWidth = 4800;
constexpr int DesignedHeight = 6900;

} // namespace

// A slot's frame, whose caption is the file name, shortened to fit.
class SlotFrame final : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

    void SetCaption(const QString &caption)
    {
        m_caption = DisplayName(caption);
        setToolTip(caption);
        Fit();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QGroupBox::resizeEvent(event);
        Fit();
    }

private:
    void Fit() { setTitle(fontMetrics().elidedText(m_caption, Qt::ElideMiddle, qMax(0, width() - 24))); }

    QString m_caption;
};

// A slot's image: its picture fitted in, centred, never enlarged.
class PictureView final : public QWidget
{
public:
    using QWidget::QWidget;

    void SetImage(const QImage &image)
    {
        m_image = image;
        m_fitted = {};
        update();
    }

protected:
    void resizeEvent(QResizeEvent *) override { m_fitted = {}; }

    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull())
            return;
        const qreal ratio = devicePixelRatioF();
        const QSize room = size() * ratio;
        if (m_fitted.isNull()) {
            m_fitted = m_image.width() > room.width() || m_image.height() > room.height()
                           ? m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : m_image;
            m_fitted.setDevicePixelRatio(ratio);
        }
        QRect target(QPoint(), m_fitted.deviceIndependentSize().toSize());
        target.moveCenter(rect().center());
        QPainter(this).drawImage(target, m_fitted);
    }

private:
    QImage m_image;
    QImage m_fitted;
};

PictureWindow::PictureWindow(const FileList &list, AppSettings &settings, QWidget *owner)
    : QWidget(owner, Qt::Tool), m_list(list), m_settings(settings),
      m_chkUD(new QCheckBox(QStringLiteral("前後も表示"), this))
{
    setObjectName(QStringLiteral("frmPic"));
    setWindowTitle(QStringLiteral("画像の表示 (BMP JPG GIF)"));
    m_chkUD->setObjectName(QStringLiteral("chkUD"));
    m_chkUD->setToolTip(QStringLiteral("リストの前後も表示します"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chkUD);
    static constexpr const char *FrameNames[] = {"fraUp", "fraMain", "fraDown"};
    static constexpr const char *ImageNames[] = {"imgUp", "imgMain", "imgDown"};
    for (int slot = Upper; slot <= Lower; ++slot) {
        auto *frame = new SlotFrame(this);
        frame->setObjectName(QLatin1StringView(FrameNames[slot]));
        frame->setMinimumSize(64, 48);
        auto *image = new PictureView(frame);
        image->setObjectName(QLatin1StringView(ImageNames[slot]));
        (new QVBoxLayout(frame))->addWidget(image);
        layout->addWidget(frame, slot == Middle ? 2 : 1);
        m_frames[slot] = frame;
        m_images[slot] = image;
    }
    connect(m_chkUD, &QCheckBox::clicked, this, &PictureWindow::chkUDClick);

    SetDialogChrome(this, WindowSizing::Resizable);
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    resize(qRound(DesignedWidth * dpi / 1440.0), qRound(DesignedHeight * dpi / 1440.0));
}

void PictureWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_open)
        return;
    // Opening: every slot empty; the middle one waits for the next row click.
    m_open = true;
    for (int slot = Upper; slot <= Lower; ++slot)
        SetSlot(Slot(slot), {});
    m_chkUD->setChecked(m_settings.PictureShowNeighbours);
    RefreshUD();
}

void PictureWindow::closeEvent(QCloseEvent *event)
{
    for (int slot = Upper; slot <= Lower; ++slot)
        ClearImage(Slot(slot));
    m_settings.PictureWindowOpen = false;
    m_open = false;
    event->accept();
}

PictureWindow::Shown PictureWindow::Load(int row) const
{
    Shown shown;
    shown.caption = m_list.at(row).Name;
    shown.file = RowPictureFile(m_list, row);
    if (IsPictureName(shown.caption))
        shown.image = ReadPicture(shown.file, ReadBox);
    return shown;
}

void PictureWindow::SetSlot(Slot slot, const Shown &shown)
{
    m_shown[slot] = shown;
    m_frames[slot]->SetCaption(shown.caption);
    m_images[slot]->SetImage(shown.image);
}

void PictureWindow::ClearImage(Slot slot)
{
    m_shown[slot].image = {};
    m_shown[slot].file.clear();
    m_images[slot]->SetImage({});
}

void PictureWindow::ShowPicRow(Slot slot, int row)
{
    SetSlot(slot, row >= 1 && row <= m_list.count() ? Load(row) : Shown{});
}

void PictureWindow::ShowPicUD()
{
    const int current = m_list.CurrentRow();
    if (current == 0) {
        SetSlot(Upper, {});
        SetSlot(Lower, {});
    } else if (m_settings.PictureShowNeighbours) {
        ShowPicRow(Upper, current - 1);
        ShowPicRow(Lower, current + 1);
    }
}

void PictureWindow::RefreshUD()
{
    const bool on = m_settings.PictureShowNeighbours;
    if (on) {
        ShowPicUD();
    } else {
        ClearImage(Upper);
        ClearImage(Lower);
    }
    m_frames[Upper]->setVisible(on);
    m_frames[Lower]->setVisible(on);
}

void PictureWindow::ClearScreen()
{
    for (int slot = Upper; slot <= Lower; ++slot)
        SetSlot(Slot(slot), {});
}

void PictureWindow::chkUDClick()
{
    m_settings.PictureShowNeighbours = m_chkUD->isChecked();
    RefreshUD();
}

void PictureWindow::FollowRow(int row)
{
    std::array<Shown, 3> next = m_shown;
    for (int slot = Upper; slot <= Lower; ++slot) {
        if (slot != Middle && !m_settings.PictureShowNeighbours)
            continue;
        const int target = row + slot - Middle;
        if (target < 1 || target > m_list.count()) {
            next[slot] = {};
            continue;
        }
        const QString file = RowPictureFile(m_list, target);
        const auto onScreen = std::find_if(m_shown.begin(), m_shown.end(),
                                           [&file](const Shown &shown) { return shown.file == file; });
        next[slot] = onScreen != m_shown.end() ? *onScreen : Load(target);
    }
    for (int slot = Upper; slot <= Lower; ++slot)
        SetSlot(Slot(slot), next[slot]);
}

void PictureWindow::RowClicked(int oldRow, int newRow)
{
    if (!IsShown())
        return;
    if (!m_settings.PictureShowNeighbours) {
        ShowPicRow(Middle, newRow);
    } else if (oldRow == 0 || oldRow == newRow) {
        // Nothing on screen is known to be current: read all three again.
        ShowPicRow(Middle, newRow);
        ShowPicUD();
    } else {
        FollowRow(newRow);
    }
}

void PictureWindow::BackgroundClicked()
{
    if (!IsShown())
        return;
    SetSlot(Middle, {});
    if (m_settings.PictureShowNeighbours)
        ShowPicUD();
}

void PictureWindow::ListRebuilt()
{
    if (IsShown())
        ClearScreen();
}

void PictureWindow::RowsMoved()
{
    if (IsShown() && m_list.CurrentRow() >= 1)
        FollowRow(m_list.CurrentRow());
}
