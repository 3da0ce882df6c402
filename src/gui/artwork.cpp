#include "gui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "base/product.h"
#include "gui/program_mark.h"

namespace pagemeld {
namespace {

constexpr int kIconSize = 32;

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void drawBadge(QPainter& p, const QColor& colour, bool plus) {
    const QRectF circle(15, 15, 16, 16);
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    p.drawEllipse(circle);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = circle.center();
    p.drawLine(QPointF(c.x() - 4.5, c.y()), QPointF(c.x() + 4.5, c.y()));
    if (plus) p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 4.5));
}

void drawArrow(QPainter& p, bool up) {
    QPainterPath arrow;
    // Drawn pointing up, then mirrored for down.
    arrow.moveTo(16, 3);
    arrow.lineTo(29, 17);
    arrow.lineTo(21, 17);
    arrow.lineTo(21, 29);
    arrow.lineTo(11, 29);
    arrow.lineTo(11, 17);
    arrow.lineTo(3, 17);
    arrow.closeSubpath();
    if (!up) {
        QTransform flip;
        flip.translate(0, kIconSize);
        flip.scale(1, -1);
        arrow = flip.map(arrow);
    }
    QLinearGradient fill(0, 0, 0, kIconSize);
    fill.setColorAt(0, kBannerLight.lighter(130));
    fill.setColorAt(1, kBannerLight.darker(120));
    p.setPen(QPen(kBannerDark, 1.5));
    p.setBrush(fill);
    p.drawPath(arrow);
}

void drawKey(QPainter& p, const QRectF& area) {
    p.save();
    p.translate(area.topLeft());
    p.scale(area.width() / kIconSize, area.height() / kIconSize);
    const QColor gold(214, 168, 38);
    const QColor edge(120, 86, 10);
    QPainterPath key;
    key.addEllipse(QRectF(2, 9, 14, 14));
    key.addRect(QRectF(14, 13.5, 16, 5));
    key.addRect(QRectF(23, 18, 3, 6));
    key.addRect(QRectF(27, 18, 3, 4));
    QPainterPath hole;
    hole.addEllipse(QRectF(6, 13, 6, 6));
    p.setPen(QPen(edge, 1.5));
    p.setBrush(gold);
    p.drawPath(key.simplified().subtracted(hole));
    p.restore();
}

void paintBanner(QPainter& p, const QRect& r, bool withText, const QString& subtitle = {}) {
    QLinearGradient fill(0, 0, 0, r.height());
    fill.setColorAt(0, kBannerLight);
    fill.setColorAt(1, kBannerDark);
    p.fillRect(r, fill);
    if (!withText) return;
    const int markSize = qMax(8, r.height() - 14);
    drawMark(p, QRectF(12, 7, markSize, markSize));

    QFont title = p.font();
    title.setBold(true);
    title.setPixelSize(qMax(10, r.height() * 2 / 5));
    p.setFont(title);
    p.setPen(Qt::white);
    const int textLeft = 12 + markSize + 14;
    const QRect titleRect(textLeft, 4, r.width() - textLeft - 8, r.height() * 3 / 5);
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignBottom, QString::fromUtf8(kProductName));

    QFont sub = p.font();
    sub.setBold(false);
    sub.setPixelSize(qMax(8, r.height() / 5));
    p.setFont(sub);
    p.setPen(QColor(206, 222, 248));
    const QRect subRect(textLeft + 2, r.height() * 3 / 5 + 4, r.width() - textLeft - 8,
                        r.height() * 2 / 5 - 6);
    p.drawText(subRect, Qt::AlignLeft | Qt::AlignTop, subtitle);
}

void paintExtras(QPainter& p, const QRect& r) {
    const QRectF box = QRectF(r).adjusted(4, 4, -4, -4);
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, kBannerLight.lighter(115));
    fill.setColorAt(1, kBannerDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, box.width() / 8, box.width() / 8);
    // Three tools of the family: three pages fanned out.
    const qreal w = box.width() * 0.42;
    const qreal h = box.height() * 0.56;
    const QColor papers[3] = {QColor(255, 236, 200), QColor(214, 240, 214), Qt::white};
    for (int i = 0; i < 3; ++i) {
        const QRectF page(box.left() + box.width() * (0.14 + 0.14 * i),
                          box.top() + box.height() * (0.12 + 0.08 * i), w, h);
        drawPage(p, page, papers[i], QColor(12, 36, 80));
    }
}

}  // namespace

ButtonIcon buttonIconFor(const std::string& name) {
    if (name == "but_passw" || name == "mbut_key" || name == "xbut_key") return ButtonIcon::Key;
    if (endsWith(name, "_add") || endsWith(name, "_add_but")) return ButtonIcon::Add;
    if (endsWith(name, "_rem") || endsWith(name, "_rem_but")) return ButtonIcon::Remove;
    if (endsWith(name, "_up")) return ButtonIcon::Up;
    if (endsWith(name, "_down")) return ButtonIcon::Down;
    return ButtonIcon::None;
}

QIcon makeButtonIcon(ButtonIcon icon) {
    if (icon == ButtonIcon::None) return {};
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
        case ButtonIcon::Add:
            drawPage(p, QRectF(3, 1, 20, 26), Qt::white, QColor(60, 60, 60));
            drawBadge(p, QColor(46, 150, 60), true);
            break;
        case ButtonIcon::Remove:
            drawPage(p, QRectF(3, 1, 20, 26), Qt::white, QColor(60, 60, 60));
            drawBadge(p, QColor(200, 50, 40), false);
            break;
        case ButtonIcon::Up:
            drawArrow(p, true);
            break;
        case ButtonIcon::Down:
            drawArrow(p, false);
            break;
        case ButtonIcon::Key:
            drawKey(p, QRectF(0, 0, kIconSize, kIconSize));
            break;
        case ButtonIcon::None:
            break;
    }
    return QIcon(pixmap);
}

Artwork artworkFor(const std::string& name) {
    if (name == "pict_logo") return Artwork::Banner;
    if (name == "pict_fundal") return Artwork::Fill;
    if (name == "pict_extras") return Artwork::Extras;
    if (name == "pict_passw") return Artwork::Key;
    return Artwork::None;
}

PictureWidget::PictureWidget(Artwork artwork, QWidget* parent) : QFrame(parent), artwork_(artwork) {
    setFrameShape(QFrame::NoFrame);
}

void PictureWidget::setSubtitle(const QString& subtitle) {
    if (subtitle_ == subtitle) return;
    subtitle_ = subtitle;
    update();
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (artwork_ == Artwork::None) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    switch (artwork_) {
        case Artwork::Banner:
            paintBanner(p, rect(), true, subtitle_);
            break;
        case Artwork::Fill:
            paintBanner(p, rect(), false);
            break;
        case Artwork::Extras:
            paintExtras(p, rect());
            break;
        case Artwork::Key:
            drawKey(p, QRectF(rect()));
            break;
        case Artwork::None:
            break;
    }
}

}  // namespace pagemeld
