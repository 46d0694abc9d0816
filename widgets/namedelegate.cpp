#include "widgets/namedelegate.h"

#include "platform/displayname.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace {

constexpr QChar Ellipsis(0x2026);

int ShownWidth(const QFontMetrics &metrics, const QString &name)
{
    return metrics.horizontalAdvance(DisplayName(name));
}

// Keeps as many whole characters of both ends of text as fit width with an
// ellipsis between them, one more at the start than at the end.
QString ElideMiddle(const QString &text, const QFontMetrics &metrics, int width)
{
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        starts.append(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    const qsizetype count = starts.size();
    starts.append(text.size());
    auto keeping = [&](qsizetype kept) -> QString {
        const qsizetype left = (kept + 1) / 2;
        const qsizetype right = kept / 2;
        return text.left(starts[left]) + Ellipsis + text.sliced(starts[count - right]);
    };
    // The width grows with every character kept: the most that fit.
    qsizetype low = 0;
    qsizetype high = count - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (ShownWidth(metrics, keeping(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return keeping(low);
}

// The colour of escaped bytes: the text's colour, halfway to its background.
QColor QuietColour(const QColor &text, const QColor &background)
{
    return QColor::fromRgbF((text.redF() + background.redF()) / 2, (text.greenF() + background.greenF()) / 2,
                            (text.blueF() + background.blueF()) / 2);
}

} // namespace

NameDelegate::NameDelegate(const QList<int> &nameColumns, QObject *parent)
    : QStyledItemDelegate(parent), m_nameColumns(nameColumns)
{}

bool NameDelegate::IsNameColumn(const QModelIndex &index) const
{
    return m_nameColumns.contains(index.column());
}

void NameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    if (IsNameColumn(index))
        PaintName(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
}

void NameDelegate::PaintName(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    // The style draws inside a margin on either side of the text's room.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget)
                           .adjusted(margin, 0, -margin, 0);
    const QString name = cell.text;
    // The background, the selection, the focus and any icon are the style's.
    cell.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    if (name.isEmpty() || room.width() <= 0)
        return;

    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    const bool selected = cell.state & QStyle::State_Selected;
    const QColor text = cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor background = selected ? cell.palette.color(group, QPalette::Highlight)
                              : cell.backgroundBrush.style() != Qt::NoBrush
                                  ? cell.backgroundBrush.color()
                                  : cell.palette.color(group, QPalette::Base);
    const QColor quiet = QuietColour(text, background);

    painter->save();
    painter->setFont(cell.font);
    painter->setClipRect(room);
    int x = room.left();
    for (const NameRun &run : DisplayRuns(ElideName(name, cell.fontMetrics, room.width()))) {
        const int advance = cell.fontMetrics.horizontalAdvance(run.text);
        painter->setPen(run.escapedBytes ? quiet : text);
        painter->drawText(QRect(x, room.top(), advance, room.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, run.text);
        x += advance;
    }
    painter->restore();
}

QSize NameDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem sample = option;
    initStyleOption(&sample, index);
    if (IsNameColumn(index))
        sample.text = DisplayName(sample.text);
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), option.widget);
    // A fallback font for kana and kanji can be taller than the list's own
    // font; its lines would lose their underscores at the bottom.
    sample.text = QStringLiteral("写真_あア");
    size.setHeight(
        qMax(size.height(),
             style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), option.widget).height()));
    return size;
}

QString ElideName(const QString &name, const QFontMetrics &metrics, int width)
{
    if (ShownWidth(metrics, name) <= width)
        return name;
    const qsizetype period = name.lastIndexOf(u'.');
    if (period > 0) {
        const QString tail = name.sliced(period);
        const int room = width - ShownWidth(metrics, tail);
        if (room >= metrics.horizontalAdvance(Ellipsis))
            return ElideMiddle(name.left(period), metrics, room) + tail;
    }
    return ElideMiddle(name, metrics, width);
}
