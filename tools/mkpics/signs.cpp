// Hazard signs of the laser warning screen.
#include "paint.h"

#include <QPainterPathStroker>
#include <QtMath>
#include <array>
#include <cmath>

using namespace paint;

namespace {

const QColor kSignYellow = QColor(0xff, 0xd0, 0x00);
const QColor kSignBlack = QColor(0x1a, 0x1a, 0x1a);

// Triangle with rounded corners through the three points.
QPainterPath roundedTriangle(QPointF a, QPointF b, QPointF c, qreal radius)
{
    QPainterPath path;
    const QPointF pts[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const QPointF prev = pts[(i + 2) % 3], cur = pts[i], next = pts[(i + 1) % 3];
        const QPointF d1 = prev - cur, d2 = next - cur;
        const qreal l1 = std::hypot(d1.x(), d1.y()), l2 = std::hypot(d2.x(), d2.y());
        const QPointF p1 = cur + d1 * (radius / l1), p2 = cur + d2 * (radius / l2);
        if (i == 0)
            path.moveTo(p1);
        else
            path.lineTo(p1);
        path.quadTo(cur, p2);
    }
    path.closeSubpath();
    return path;
}

// Warning sign frame: yellow rim, black band, yellow field. Returns the field's outline.
QPainterPath signFrame(QPainter &p, QPointF apex, QPointF left, QPointF right, qreal band, qreal rim, qreal radius)
{
    // Scaling about the incentre by (r - d) / r moves every edge inwards by d.
    const qreal la = std::hypot(right.x() - left.x(), right.y() - left.y());   // opposite apex
    const qreal lb = std::hypot(apex.x() - left.x(), apex.y() - left.y());     // opposite right
    const qreal lc = std::hypot(apex.x() - right.x(), apex.y() - right.y());   // opposite left
    const QPointF incentre = (apex * la + right * lb + left * lc) / (la + lb + lc);
    const qreal area = std::abs((right.x() - left.x()) * (apex.y() - left.y()) -
                                (apex.x() - left.x()) * (right.y() - left.y())) / 2;
    const qreal inradius = 2 * area / (la + lb + lc);
    auto inset = [&](qreal d) {
        const qreal k = (inradius - d) / inradius;
        auto shrink = [&](QPointF q) { return incentre + (q - incentre) * k; };
        return std::array<QPointF, 3>{shrink(apex), shrink(right), shrink(left)};
    };
    auto tri = [&](qreal d, qreal r) {
        const auto t = inset(d);
        return roundedTriangle(t[0], t[1], t[2], r);
    };
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPath(tri(0, radius).translated(0, 0.8));
    p.setBrush(kSignYellow);
    p.drawPath(tri(0, radius));
    p.setBrush(kSignBlack);
    p.drawPath(tri(rim, radius * 0.8));
    QPainterPath field = tri(rim + band, radius * 0.5);
    p.setBrush(vgrad(apex.y(), left.y(), {{0.0, kSignYellow.lighter(108)}, {1.0, kSignYellow}}));
    p.drawPath(field);
    return field;
}

QImage warningSign()
{
    return supersampled(41, 36, 4, [](QPainter &p) {
        signFrame(p, QPointF(20.5, 0.6), QPointF(0.6, 35.0), QPointF(40.4, 35.0), 2.6, 1.0, 3.2);
        // Exclamation mark: tapered bar and dot.
        QPainterPath bar;
        bar.moveTo(18.6, 12.0);
        bar.lineTo(22.4, 12.0);
        bar.lineTo(21.5, 25.0);
        bar.lineTo(19.5, 25.0);
        bar.closeSubpath();
        p.setBrush(kSignBlack);
        p.drawPath(grown(bar, 0.6));
        p.drawEllipse(QPointF(20.5, 29.0), 1.9, 1.9);
    });
}

QImage laserSign()
{
    return supersampled(100, 89, 4, [](QPainter &p) {
        const QPointF apex(50, 1.5), left(1.5, 87.5), right(98.5, 87.5);
        const QPainterPath field = signFrame(p, apex, left, right, 6.5, 2.2, 8);
        p.setClipPath(field);
        p.setBrush(kSignBlack);
        // Starburst: a disc with long and short rays alternating.
        const QPointF c(40, 60);
        p.drawEllipse(c, 6.2, 6.2);
        const int rays = 16;
        for (int i = 0; i < rays; ++i) {
            const qreal a = 2 * M_PI * i / rays + M_PI / rays;
            const qreal len = (i % 2) ? 13.5 : 20.5;
            const qreal w = (i % 2) ? 1.5 : 2.0;
            const QPointF dir(qCos(a), qSin(a));
            const QPointF nrm(-dir.y(), dir.x());
            QPolygonF ray;
            ray << c + dir * 5.0 + nrm * (w / 2) << c + dir * len << c + dir * 5.0 - nrm * (w / 2);
            p.drawPolygon(ray);
        }
        // Beam leaving to the right.
        p.drawRect(QRectF(c.x(), c.y() - 1.4, 60, 2.8));
        p.setClipping(false);
    });
}

} // namespace

void addSigns(std::vector<Picture> &out)
{
    out.push_back({"pics", "warning.png", {41, 36}, [] { return warningSign(); }});
    out.push_back({"pics", "laser.png", {100, 89}, [] { return laserSign(); }});
}
