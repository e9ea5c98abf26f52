#include "paint.h"

#include <QPainterPathStroker>
#include <QtMath>

namespace paint {

QImage blank(int w, int h, QColor fill)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void begin(QPainter &p, QImage &img)
{
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setPen(Qt::NoPen);
}

QImage supersampled(int w, int h, int factor, const std::function<void(QPainter &)> &draw)
{
    QImage big = blank(w * factor, h * factor);
    QPainter p;
    begin(p, big);
    p.scale(factor, factor);
    draw(p);
    p.end();
    return big.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QColor rgba(int r, int g, int b, int a) { return QColor(r, g, b, a); }

QColor hex(const char *name, int alpha)
{
    QColor c(QString::fromLatin1(name));
    c.setAlpha(alpha);
    return c;
}

QLinearGradient vgrad(qreal y0, qreal y1, std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient g(0, y0, 0, y1);
    for (const auto &s : stops)
        g.setColorAt(s.first, s.second);
    return g;
}

QLinearGradient hgrad(qreal x0, qreal x1, std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient g(x0, 0, x1, 0);
    for (const auto &s : stops)
        g.setColorAt(s.first, s.second);
    return g;
}

QPainterPath arcArrow(QPointF c, qreal r, qreal startDeg, qreal spanDeg, qreal width,
                      qreal headLength, qreal headWidth)
{
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    // Stop the stroke short of the head so the tip stays sharp.
    const qreal headDeg = qRadiansToDegrees(headLength * 0.55 / r);
    const qreal sign = spanDeg < 0 ? -1.0 : 1.0;
    QPainterPath arc;
    arc.arcMoveTo(box, startDeg);
    arc.arcTo(box, startDeg, spanDeg - sign * headDeg);

    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath shape = stroker.createStroke(arc);

    // Head: base on the arc where the stroke stops, pointing along the tangent.
    const qreal endDeg = startDeg + spanDeg - sign * headDeg;
    const qreal a = qDegreesToRadians(endDeg);
    const QPointF base(c.x() + r * qCos(a), c.y() - r * qSin(a));
    const QPointF dir(-qSin(a) * sign, -qCos(a) * sign);  // tangent in screen coordinates
    const QPointF normal(-dir.y(), dir.x());
    QPolygonF head;
    head << base + dir * headLength << base + normal * (headWidth / 2)
         << base - normal * (headWidth / 2);
    QPainterPath headPath;
    headPath.addPolygon(head);
    headPath.closeSubpath();
    return shape.united(headPath).simplified();
}

QPainterPath grown(const QPainterPath &shape, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(shape).united(shape).simplified();
}

void glyph(QPainter &p, const QPainterPath &shape, const QColor &fill, int haloAlpha,
           qreal haloWidth, QPointF haloOffset)
{
    p.save();
    p.setPen(Qt::NoPen);
    if (haloAlpha > 0) {
        p.setBrush(QColor(0, 0, 0, haloAlpha));
        p.drawPath(grown(shape, haloWidth).translated(haloOffset));
    }
    p.setBrush(fill);
    p.drawPath(shape);
    p.restore();
}

} // namespace paint
