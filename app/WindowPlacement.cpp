#include "WindowPlacement.h"

#include "settings/AppSettings.h"

#include <algorithm>

using namespace Win32;

namespace WindowPlacement {

namespace {

long long OverlapArea(const QRect& screen, long long left, long long top, long long width, long long height)
{
    const long long w = std::min<long long>(screen.left() + screen.width(), left + width)
        - std::max<long long>(screen.left(), left);
    const long long h = std::min<long long>(screen.top() + screen.height(), top + height)
        - std::max<long long>(screen.top(), top);
    return w > 0 && h > 0 ? w * h : 0;
}

bool Ordered(const RECT& r, bool mayBeEmpty)
{
    // Beyond these a window system has no coordinates, and sums of a few squares would overflow.
    constexpr int limit = 32767;
    for (int v : { r.left, r.top, r.right, r.bottom })
        if (v < -limit || v > limit) return false;
    return mayBeEmpty ? r.right >= r.left && r.bottom >= r.top : r.right > r.left && r.bottom > r.top;
}

} // namespace

QRect PlaceOnScreen(int left, int top, int width, int height, const QList<QRect>& screens, int primary)
{
    if (screens.isEmpty())
        return QRect(left, top, std::max(width, MinimumWidth), std::max(height, MinimumHeight));
    const long long centreX = left + static_cast<long long>(width) / 2;
    const long long centreY = top + static_cast<long long>(height) / 2;
    qsizetype chosen = -1;
    long long best = 0;
    for (qsizetype i = 0; i < screens.size() && chosen < 0; ++i) {
        const QRect& s = screens[i];
        if (centreX >= s.left() && centreX < s.left() + s.width() && centreY >= s.top()
            && centreY < s.top() + s.height())
            chosen = i;
    }
    if (chosen < 0) {
        for (qsizetype i = 0; i < screens.size(); ++i) {
            const long long area = OverlapArea(screens[i], left, top, width, height);
            if (area > best) {
                best = area;
                chosen = i;
            }
        }
    }
    if (chosen < 0) chosen = std::clamp<qsizetype>(primary, 0, screens.size() - 1);
    const QRect area = screens[chosen];
    const int w = std::min(std::max(width, MinimumWidth), area.width());
    const int h = std::min(std::max(height, MinimumHeight), area.height());
    const int x = std::clamp(left, area.left(), area.left() + area.width() - w);
    const int y = std::clamp(top, area.top(), area.top() + area.height() - h);
    return QRect(x, y, w, h);
}

bool PlacementFitsView(
    const RECT& board, const RECT& palette, const RECT& text, int square, int viewWidth, int viewHeight)
{
    if (square < AppSettings::MinimumSquareSize || square > AppSettings::MaximumSquareSize) return false;
    if (!Ordered(board, false) || !Ordered(palette, false) || !Ordered(text, true)) return false;
    // Column 0 of the board is its rank-number border; the first square is right of it.
    const int firstLeft = board.left + square;
    return firstLeft >= 0 && firstLeft + square <= viewWidth && board.top >= 0
        && board.top + square <= viewHeight;
}

BoardLayout FittedDefaultLayout(int viewWidth, int viewHeight)
{
    // The default layout in squares: the board's rank-number column at 115/51 squares from the left and
    // rank 8 at 54/51 from the top; the palette two squares right of the board, four columns wide with
    // its frame; the label one square tall under the board; a quarter square to spare at the edges.
    constexpr int defaultSquare = 51, defaultLeft = 115, defaultTop = 54;
    auto layout = [](int s) {
        const int left = defaultLeft * s / defaultSquare, top = defaultTop * s / defaultSquare;
        return BoardLayout { { left, top, left + 9 * s, top + 9 * s },
            { left + 11 * s, top, left + 14 * s, top + 7 * s },
            { left - s, top + 9 * s, left + 18 * s, top + 10 * s }, s };
    };
    auto fits = [&](int s) {
        const BoardLayout l = layout(s);
        return l.palette.left + 4 * s + s / 4 <= viewWidth && l.text.bottom + s / 4 <= viewHeight;
    };
    int square = defaultSquare;
    while (square > AppSettings::MinimumSquareSize && !fits(square)) --square;
    return layout(square);
}

} // namespace WindowPlacement
