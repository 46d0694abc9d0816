#pragma once

#include <QTreeView>

class FileListModel;

// lvwMain: the file list's view. It tells whether the user's keyboard or
// mouse is at work on it, so that the window can follow the rows the user
// reaches and leave alone those the program moves to, and it sizes its
// columns: the fixed-form columns as wide as their texts need, the name
// columns sharing the rest unless the user has sized them.
class FileView final : public QTreeView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileView)

public:
    FileView(FileListModel *model, QWidget *parent);

    bool HandlingInput() const { return m_input > 0; }
    // Whether the last mouse press moved the view's current row.
    bool PressMovedCurrent() const { return m_pressMovedCurrent; }

    // The width that shows every caption and a readable part of each name.
    int OpeningWidth() const;
    // Sizes every column afresh, forgetting the widths the user has set.
    void ResetColumnWidths();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int FixedColumnWidth(int column) const;
    int NameColumnMinimum() const;
    int CellPadding() const;
    // Gives the name columns the room the others leave; a column being
    // dragged and those left of it keep their widths.
    void FitNameColumns(int draggedColumn);
    void onSectionResized(int column);

    struct InputScope
    {
        explicit InputScope(int &depth) : m_depth(depth) { ++m_depth; }
        ~InputScope() { --m_depth; }
        Q_DISABLE_COPY_MOVE(InputScope)
        int &m_depth;
    };
    int m_input = 0;
    bool m_pressMovedCurrent = false;
    // Set while the view itself sizes columns.
    bool m_fittingColumns = false;
    // The name columns whose width the user has set.
    bool m_widthKept[2] = {false, false};
};
