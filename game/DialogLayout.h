// The dialogs (turn report, NetPlay window, connect dialog) were drawn in
// pixels for an 8-point desktop font. They take the desktop's own font, and
// every rectangle grows with it, so that its texts fit; the desktop's scale
// (device pixels per window pixel) is Qt's own.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace Turrion {

// Window pixels per design pixel: 1 for an 8-point desktop font, more for a
// larger one, never less than 1.
double DialogScale();
int DialogPx(int designPixels);
QRect DialogRect(const QRect& design);
// A control placed as its design gives it, in twips (15 a design pixel).
void PlaceTwips(QWidget* control, int left, int top, int width, int height);
// The desktop's font family at a design size in pixels (11 for 8.25 points),
// grown like the rectangles.
QFont DialogFont(int designPixelSize, bool bold);

} // namespace Turrion
