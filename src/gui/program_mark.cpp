#include "gui/program_mark.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pagemeld {

void drawPage(QPainter& p, const QRectF& r, const QColor& paper, const QColor& edge) {
    const qreal fold = r.width() * 0.3;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(edge, 1.5));
    p.setBrush(paper);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(paper.darker(115));
    p.drawPath(corner);
    // A few lines of text on the page.
    p.setPen(QPen(edge.lighter(160), 1.5));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 3; y += 4) {
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void drawMark(QPainter& p, const QRectF& r) {
    const QRectF back(r.left(), r.top(), r.width() * 0.62, r.height() * 0.8);
    const QRectF front(r.right() - r.width() * 0.62, r.bottom() - r.height() * 0.8,
                       r.width() * 0.62, r.height() * 0.8);
    drawPage(p, back, QColor(226, 234, 248), QColor(12, 36, 80));
    drawPage(p, front, Qt::white, QColor(12, 36, 80));
}

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit square and scaled, so the pages keep their lines and edges
    // in proportion at every size.
    constexpr qreal kUnits = 32;
    p.scale(size / kUnits, size / kUnits);
    const QRectF tile(0.5, 0.5, kUnits - 1, kUnits - 1);
    QLinearGradient fill(0, 0, 0, kUnits);
    fill.setColorAt(0, kBannerLight);
    fill.setColorAt(1, kBannerDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, 6, 6);
    drawMark(p, tile.adjusted(4, 3, -4, -3));
    return image;
}

}  // namespace pagemeld
