// Window placement arithmetic, in whatever unit the caller uses (the settings
// keep twips). Positions read from settings.dat may be anything an int holds,
// so every sum is done in 64 bits and only a clamped result comes back.
#pragma once

#include <QRect>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Turrion {

struct Placement {
    int left = 0;
    int top = 0;
};

namespace PlacementDetail {
// One axis of ClampToScreen: not before 0, and then not past the far edge.
inline int ClampAxis(std::int64_t pos, std::int64_t size, std::int64_t screen)
{
    if (pos < 0)
        pos = 0;
    if (pos + size > screen)
        pos = screen - size;
    return int(std::clamp<std::int64_t>(pos, INT_MIN, INT_MAX));
}
} // namespace PlacementDetail

// Keeps a window of the given size on the screen: a negative top or left
// becomes 0, and a window reaching past the bottom or right edge is pulled
// back so that its far edge meets the screen's. The position may be any sum
// of remembered values; it cannot overflow.
inline Placement ClampToScreen(std::int64_t left, std::int64_t top, int width, int height,
                               int screenWidth, int screenHeight)
{
    return {PlacementDetail::ClampAxis(left, width, screenWidth),
            PlacementDetail::ClampAxis(top, height, screenHeight)};
}
inline Placement ClampToScreen(Placement p, int width, int height, int screenWidth,
                               int screenHeight)
{
    return ClampToScreen(p.left, p.top, width, height, screenWidth, screenHeight);
}

// The same onto an area that need not start at (0, 0): the screen's available
// area, without panels.
inline Placement ClampOnto(std::int64_t left, std::int64_t top, int width, int height,
                           const QRect& area)
{
    const Placement p = ClampToScreen(left - area.left(), top - area.top(), width, height,
                                      area.width(), area.height());
    return {int(std::clamp<std::int64_t>(std::int64_t(p.left) + area.left(), INT_MIN, INT_MAX)),
            int(std::clamp<std::int64_t>(std::int64_t(p.top) + area.top(), INT_MIN, INT_MAX))};
}

// The main window's place at start-up: the remembered one when either value
// is set, else centred (halves taken by integer division); then clamped.
inline Placement MainWindowPlacement(int mainLeft, int mainTop, int width, int height,
                                     int screenWidth, int screenHeight)
{
    Placement p{mainLeft, mainTop};
    if (mainLeft == 0 && mainTop == 0) {
        p.top = screenHeight / 2 - height / 2;
        p.left = screenWidth / 2 - width / 2;
    }
    return ClampToScreen(p, width, height, screenWidth, screenHeight);
}

// A window to keep room for beside the main window, which keeps its left
// edge when the zoom changes (pulled back only as far as the screen needs):
// `width` of it with the gap, the main window's left edge and the area's
// width from the area's left, and the main window's width beside the
// 360 pixels per zoom of board (margins and frame).
struct SideRoom {
    int width = 0;
    int mainLeft = 0;
    int availableWidth = 0;
    int mainChrome = 0;
};

// The zoom a screen suits: the largest of 1..4 at which the main window
// (`chrome` pixels of menu bar and margins plus the 280-pixel board times the
// zoom) takes no more than about 60 % of the screen's available height; 1
// on screens too small for even that. With a side window (the NetPlay window
// is open), a smaller zoom is taken when only that one leaves room for it
// left or right of the main window; when none does, the height decides.
inline int AutomaticZoom(int availableHeight, int chrome, int largest = 4, SideRoom side = {})
{
    int zoom = 1;
    for (int z = 2; z <= largest; ++z)
        if ((std::int64_t(chrome) + 280 * z) * 10 <= std::int64_t(availableHeight) * 6)
            zoom = z;
    if (side.width <= 0)
        return zoom;
    for (int z = zoom; z >= 1; --z) {
        const std::int64_t mainWidth = std::int64_t(side.mainChrome) + 360 * z;
        const std::int64_t left =
            std::max<std::int64_t>(0, std::min<std::int64_t>(side.mainLeft, side.availableWidth - mainWidth));
        if (left >= side.width || left + mainWidth + side.width <= side.availableWidth)
            return z;
    }
    return zoom;
}

// The Moves panel's two places on a board shown at `board` (the 360 by 280
// view at any zoom): the middle column, rows 0..1 or rows 4..5, by the
// cursor's row. A window that stays open must leave both free.
inline std::vector<QRect> MovesPanelPlaces(const QRect& board)
{
    auto at = [&board](int x, int y, int w, int h) {
        const std::int64_t bw = board.width(), bh = board.height();
        const int left = board.left() + int(x * bw / 360), top = board.top() + int(y * bh / 280);
        return QRect(QPoint(left, top), QPoint(board.left() + int((x + w) * bw / 360) - 1,
                                              board.top() + int((y + h) * bh / 280) - 1));
    };
    return {at(160, 0, 40, 80), at(160, 160, 40, 80)};
}

// Where a window that has never been placed opens, all in screen pixels:
// `area` is the screen's available area, `main` the main window's frame,
// `board` the board view inside it, `other` another open dialog (empty when
// there is none). The first of these that covers none of the board (nor the
// other dialog) wins: right of the main window, left of it, below, above,
// then beside the other dialog; every place is first kept on the screen.
// When none is free, the place covering the least of the board, never the
// Moves panel where any other place exists, then the least of the other
// dialog and of the main window.
inline Placement ChooseDialogPlace(QSize size, const QRect& area, const QRect& main,
                                   const QRect& board, const QRect& other, int gap)
{
    const int w = size.width(), h = size.height();
    std::vector<QPoint> tries = {
        {main.right() + 1 + gap, main.top()}, {main.left() - gap - w, main.top()},
        {main.left(), main.bottom() + 1 + gap}, {main.left(), main.top() - gap - h}};
    if (!other.isEmpty())
        for (const QPoint& p : {QPoint(other.right() + 1 + gap, other.top()),
                                QPoint(other.left() - gap - w, other.top()),
                                QPoint(other.left(), other.bottom() + 1 + gap),
                                QPoint(other.left(), other.top() - gap - h)})
            tries.push_back(p);
    // Then every place whose edges meet an edge that matters: the screen's,
    // the board's, the panel's and the other dialog's.
    const std::vector<QRect> panels = MovesPanelPlaces(board);
    std::vector<int> xs = {area.left(), area.right() + 1 - w};
    std::vector<int> ys = {area.top(), area.bottom() + 1 - h};
    for (const QRect& r : {board, panels[0], panels[1], other}) {
        if (r.isEmpty())
            continue;
        xs.insert(xs.end(), {r.left() - gap - w, r.right() + 1 + gap, r.left()});
        ys.insert(ys.end(), {r.top() - gap - h, r.bottom() + 1 + gap, r.top()});
    }
    for (int y : ys)
        for (int x : xs)
            tries.push_back({x, y});

    auto covered = [](const QRect& a, const QRect& b) {
        const QRect i = a.intersected(b);
        return i.isEmpty() ? std::int64_t(0) : std::int64_t(i.width()) * i.height();
    };
    struct Cost {
        bool panel;
        std::int64_t board, other, main;
        bool operator<(const Cost& c) const
        {
            if (panel != c.panel)
                return !panel;
            if (board != c.board)
                return board < c.board;
            if (other != c.other)
                return other < c.other;
            return main < c.main;
        }
    };
    Placement best;
    Cost bestCost{true, INT64_MAX, INT64_MAX, INT64_MAX};
    for (std::size_t i = 0; i < tries.size(); ++i) {
        const Placement p = ClampOnto(tries[i].x(), tries[i].y(), w, h, area);
        const QRect at(p.left, p.top, w, h);
        const Cost cost{covered(at, panels[0]) + covered(at, panels[1]) > 0, covered(at, board),
                        other.isEmpty() ? 0 : covered(at, other), covered(at, main)};
        if (cost < bestCost) {
            best = p;
            bestCost = cost;
        }
    }
    return best;
}

} // namespace Turrion
