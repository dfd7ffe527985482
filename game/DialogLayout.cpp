#include "game/DialogLayout.h"

#include <QApplication>
#include <QFontInfo>
#include <QWidget>
#include <algorithm>

namespace Turrion {

double DialogScale()
{
    // Measured in pixels, as the design was: its 8.25-point font is 11
    // pixels at 96 dots per inch.
    const QFontInfo desktop(QApplication::font());
    return std::max(1.0, desktop.pixelSize() / 11.0);
}

int DialogPx(int designPixels)
{
    return qRound(designPixels * DialogScale());
}

QRect DialogRect(const QRect& design)
{
    return QRect(DialogPx(design.x()), DialogPx(design.y()), DialogPx(design.width()),
                 DialogPx(design.height()));
}

void PlaceTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(DialogRect(QRect(left / 15, top / 15, width / 15, height / 15)));
}

QFont DialogFont(int designPixelSize, bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(DialogPx(designPixelSize));
    font.setBold(bold);
    return font;
}

} // namespace Turrion
