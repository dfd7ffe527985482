// Every picture of the game, painted with vectors at any scale from 1 to 4 in
// quarter steps (1.25 and 1.5 for desktops scaled by a fraction).
//
// The sheets keep one layout: at scale s every size and every frame offset
// of the 1x layout is multiplied by s (the King's Red frame lies at x 40 * s),
// so the drawing code's frame arithmetic only needs the factor. The pictures
// are painted at the scale, not enlarged, and the same scale always gives the
// same bytes: all "random" detail comes from fixed-seed generators.
//
// Masked sheets follow the board's drawing rule (AND the mask, then OR the
// frame): a mask is pure black exactly where the figure is and pure white
// elsewhere, and a colour frame is pure black exactly where its mask is white.
// Figures never use pure black themselves.
//
// Painting needs a QGuiApplication: the texts come from the font database.
#pragma once

#include <QImage>
#include <QSize>

namespace Art {

enum class Sheet {
    Title,       // 360 x 280
    Background,  // 360 x 280: 9 x 7 cells of 40, river in column 4, portals at (0,3), (8,3)
    King,        // 120 x 40 for these five: Blue frame, Red frame, the shared mask
    Wizard,
    Builder,
    Wall,
    Fire,
    Cannon,      // 160 x 40: Blue, Red, Blue's mask, Red's mask
    CannonBall,  // 160 x 80: four frames of a shot (flight to impact), drawn with AND;
                 // row 0 flies left (Red's shots), row 40 flies right (Blue's)
    Selector,    // 80 x 40: the selector, its mask
    Moves,       // 40 x 80, drawn with OR
    Numbers,     // 200 x 40: digit d at x 20 * d, white on black, drawn with OR
    Grass,       // 40 x 40
};

inline constexpr Sheet kAllSheets[] = {
    Sheet::Title, Sheet::Background, Sheet::King,  Sheet::Wizard,     Sheet::Builder,
    Sheet::Wall,  Sheet::Fire,       Sheet::Cannon, Sheet::CannonBall, Sheet::Selector,
    Sheet::Moves, Sheet::Numbers,    Sheet::Grass,
};

inline constexpr int kMinScale = 1;
inline constexpr int kMaxScale = 4;
// Scales come in steps of 1 / kScaleSteps: every 1x length of the layout
// that matters (cells of 40, digits of 20) is then a whole number of pixels.
inline constexpr int kScaleSteps = 4;

// The scale Paint uses for a requested one: clamped to kMinScale..kMaxScale
// (and, for a real-valued one, to the nearest step).
int ClampScale(int scale);
double ClampScale(double scale);

// The sheet's size at scale 1.
QSize BaseSize(Sheet sheet);

// A short lower-case name ("king", "cannonball"), used for file names.
const char* Name(Sheet sheet);

// The sheet painted at ClampScale(scale): Format_RGB32, BaseSize * that scale.
QImage Paint(Sheet sheet, double scale);

// The square program icon, `pixels` wide (Format_ARGB32, transparent around
// the shield); null for pixels < 1.
QImage Icon(int pixels);

} // namespace Art
