// The program's mark, two pages one slid over the other, and the sheet of paper it
// is made of. Drawn with QtGui alone: the window's banner and button icons use it,
// and so does the build, which draws the Windows programs' icon from it.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

class QPainter;

namespace pagemeld {

// The banner's colours, top and bottom.
inline const QColor kBannerLight(49, 102, 197);
inline const QColor kBannerDark(18, 52, 104);

// A sheet of paper with a folded corner and a few lines of text, filling `r`.
void drawPage(QPainter& p, const QRectF& r, const QColor& paper, const QColor& edge);

// The mark, filling `r`.
void drawMark(QPainter& p, const QRectF& r);

// The program's icon at `size` pixels square: the mark on a rounded tile in the
// banner's colours, with a transparent surround.
QImage programIcon(int size);

}  // namespace pagemeld
