#include "widgets/sidewindow.h"

#include <algorithm>

QPoint SideWindowPosition(const QRect &screen, const QRect &main, const QSize &side, int title)
{
    // Right and bottom edges one past the last pixel, as widths count.
    const int screenRight = screen.left() + screen.width();
    const int screenBottom = screen.top() + screen.height();
    int x;
    int top = main.top();
    if (main.left() + main.width() + side.width() <= screenRight) {
        x = main.left() + main.width();
    } else if (main.left() - side.width() >= screen.left()) {
        x = main.left() - side.width();
    } else {
        x = screenRight - side.width();
        top += title;
    }
    // A window wider or taller than the screen keeps its top-left corner on it.
    x = std::max(std::min(x, screenRight - side.width()), screen.left());
    const int y = std::max(std::min(top, screenBottom - side.height()), screen.top());
    return {x, y};
}
