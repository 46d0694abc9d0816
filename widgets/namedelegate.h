#pragma once

#include <QList>
#include <QStyledItemDelegate>

class QFontMetrics;

// Draws the cells of an item view whose texts are file names. A name shows
// each byte that is not UTF-8 as "\xFF" in a quieter colour than its own
// characters, and a name too long for its cell loses characters from its
// middle, never from its extension, which is what a rename changes most.
// Cells of other columns are drawn as the style draws them.
class NameDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameDelegate)

public:
    // nameColumns: the columns whose texts are names.
    NameDelegate(const QList<int> &nameColumns, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    // At least as tall as a line of Japanese text, whatever the row holds:
    // a list's rows may all take the first row's height.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    bool IsNameColumn(const QModelIndex &index) const;
    void PaintName(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    QList<int> m_nameColumns;
};

// Shortens name to fit width pixels as it is drawn (escaped bytes as
// "\xFF"): the text from its last period on stays whole where it fits, and an
// ellipsis replaces characters from the middle of the rest. Characters and
// escaped bytes are never cut in half.
QString ElideName(const QString &name, const QFontMetrics &metrics, int width);
