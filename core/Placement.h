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

} // namespace Turrion
