// Converting the model's twips (1/1440 inch) to the screen's pixels and back.
#pragma once

#include <QRect>
#include <QSize>

class QScreen;

namespace pagemeld {

class TwipsScale {
public:
    static constexpr double kTwipsPerInch = 1440.0;

    explicit TwipsScale(double twipsPerPixel = 15.0) : twipsPerPixel_(twipsPerPixel) {}
    // 1440 / the screen's logical dots per inch: 15 at 96 DPI.
    static TwipsScale forScreen(const QScreen* screen);

    double twipsPerPixel() const { return twipsPerPixel_; }
    int toPixels(int twips) const;
    int toTwips(int pixels) const;
    // Both edges are rounded on their own, so controls that touch in twips touch on
    // the screen too.
    QRect toPixels(int left, int top, int width, int height) const;

private:
    double twipsPerPixel_;
};

}  // namespace pagemeld
