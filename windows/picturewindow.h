#pragma once

#include "widgets/sidewindow.h"

#include <QImage>
#include <QWidget>
#include <array>

struct AppSettings;
class FileList;
class QCheckBox;
class SlotFrame;
class PictureView;

// frmPic: the picture of the current row, and optionally of the rows just
// above and below it, beside the main window. It reads the list and never
// changes it.
class PictureWindow final : public QWidget, public SideWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureWindow)

public:
    enum Slot
    {
        Upper,
        Middle,
        Lower
    };

    PictureWindow(const FileList &list, AppSettings &settings, QWidget *owner);

    bool IsShown() const override { return isVisible(); }
    QSize Size() const override { return size(); }
    void MoveTo(const QPoint &topLeft) override { move(topLeft); }
    void ShowSide() override { show(); }
    void CloseSide() override { close(); }
    void HideSide() override { hide(); }

    // Fills a slot from a row; a row outside the list empties it.
    void ShowPicRow(Slot slot, int row);
    // Fills the upper and lower slots for the current row; with no current
    // row it empties them.
    void ShowPicUD();
    // Fills or clears the upper and lower slots as "前後も表示" says, and
    // shows or hides them.
    void RefreshUD();
    // Empties all three slots.
    void ClearScreen();

    // What the main window tells it, each doing nothing while it is closed.
    // A row click moved the current row from oldRow to newRow.
    void RowClicked(int oldRow, int newRow);
    // A click on the main window's background dropped the current row.
    void BackgroundClicked();
    // The list was filled anew from the disk.
    void ListRebuilt();
    // Rows were moved up or down; the current row went with its row.
    void RowsMoved();

    QString Caption(Slot slot) const { return m_shown[slot].caption; }
    QImage Picture(Slot slot) const { return m_shown[slot].image; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Shown
    {
        QString caption;
        QImage image;
        // The file the slot was filled from; empty once its image is cleared.
        QString file;
    };

    Shown Load(int row) const;
    // Puts rows row - 1, row and row + 1 into the slots in use, taking what
    // is already on screen for the same file and reading only the rest.
    void FollowRow(int row);
    void SetSlot(Slot slot, const Shown &shown);
    void ClearImage(Slot slot);
    void chkUDClick();

    const FileList &m_list;
    AppSettings &m_settings;
    std::array<Shown, 3> m_shown;
    std::array<SlotFrame *, 3> m_frames{};
    std::array<PictureView *, 3> m_images{};
    QCheckBox *m_chkUD;
    // Set from the moment the window opens until it closes; a window hidden
    // with the minimized main window stays open.
    bool m_open = false;
};
