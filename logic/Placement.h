// Window placement arithmetic, in whatever unit the caller uses (the settings
// keep twips).
#pragma once

namespace Turrion {

struct Placement {
    int left = 0;
    int top = 0;
};

// Keeps a window of the given size on the screen: a negative top or left
// becomes 0, and a window reaching past the bottom or right edge is pulled
// back so that its far edge meets the screen's.
inline Placement ClampToScreen(Placement p, int width, int height, int screenWidth,
                               int screenHeight)
{
    if (p.top < 0)
        p.top = 0;
    if (p.left < 0)
        p.left = 0;
    if (p.top + height > screenHeight)
        p.top = screenHeight - height;
    if (p.left + width > screenWidth)
        p.left = screenWidth - width;
    return p;
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

// The zoom a screen suits: the largest of 1..4 at which the main window
// (`chrome` pixels of menu bar and margins plus the 280-pixel board times the
// zoom) takes no more than about 60 % of the screen's available height; 1
// on screens too small for even that.
inline int AutomaticZoom(int availableHeight, int chrome, int largest = 4)
{
    int zoom = 1;
    for (int z = 2; z <= largest; ++z)
        if ((chrome + 280 * z) * 10 <= availableHeight * 6)
            zoom = z;
    return zoom;
}

// Where a window opens the first time: beside the main window, to its right
// when the screen has room there, else to its left, else below it; then kept
// on the screen. All in one unit, the screen's area starting at
// (screenLeft, screenTop).
inline Placement BesideMainWindow(int mainLeft, int mainTop, int mainWidth, int mainHeight,
                                  int width, int height, int screenLeft, int screenTop,
                                  int screenWidth, int screenHeight, int gap)
{
    Placement p{mainLeft + mainWidth + gap, mainTop};
    if (p.left + width > screenLeft + screenWidth) {
        p.left = mainLeft - gap - width;
        if (p.left < screenLeft) {
            p.left = mainLeft;
            p.top = mainTop + mainHeight + gap;
        }
    }
    p = ClampToScreen(Placement{p.left - screenLeft, p.top - screenTop}, width, height,
                      screenWidth, screenHeight);
    return Placement{p.left + screenLeft, p.top + screenTop};
}

} // namespace Turrion
