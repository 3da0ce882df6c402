#include "gui/twips.h"

#include <QScreen>
#include <QtMath>

namespace pagemeld {

TwipsScale TwipsScale::forScreen(const QScreen* screen) {
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return TwipsScale(dpi > 0 ? kTwipsPerInch / dpi : 15.0);
}

int TwipsScale::toPixels(int twips) const {
    return qRound(twips / twipsPerPixel_);
}

int TwipsScale::toTwips(int pixels) const {
    return qRound(pixels * twipsPerPixel_);
}

QRect TwipsScale::toPixels(int left, int top, int width, int height) const {
    const int x = toPixels(left);
    const int y = toPixels(top);
    const int right = toPixels(left + width);
    const int bottom = toPixels(top + height);
    return QRect(x, y, qMax(0, right - x), qMax(0, bottom - y));
}

}  // namespace pagemeld
