// Country flags of the language screen, 16 x 11, files named by code without extension.
#include "paint.h"

#include <QPainterPathStroker>
#include <QtMath>

using namespace paint;

namespace {

const int W = 16;
const int H = 11;

QPainterPath star(QPointF c, qreal r, qreal rotationDeg = 0)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + rotationDeg + i * 36.0);
        const qreal rr = (i % 2) ? r * 0.382 : r;
        const QPointF pt(c.x() + rr * qCos(a), c.y() + rr * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void hstripes(QPainter &p, std::initializer_list<std::pair<int, const char *>> rows)
{
    int y = 0;
    for (const auto &r : rows) {
        p.fillRect(QRectF(0, y, W, r.first), hex(r.second));
        y += r.first;
    }
}

void vstripes(QPainter &p, const char *a, const char *b, const char *c)
{
    p.fillRect(QRectF(0, 0, 5, H), hex(a));
    p.fillRect(QRectF(5, 0, 6, H), hex(b));
    p.fillRect(QRectF(11, 0, 5, H), hex(c));
}

QPainterPath line(QPointF a, QPointF b, qreal width)
{
    QPainterPath l;
    l.moveTo(a);
    l.lineTo(b);
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::FlatCap);
    return s.createStroke(l);
}

void brazil(QPainter &p)
{
    p.fillRect(QRectF(0, 0, W, H), hex("#009c3b"));
    QPolygonF rhombus;
    rhombus << QPointF(1.6, 5.5) << QPointF(8, 1.0) << QPointF(14.4, 5.5) << QPointF(8, 10.0);
    p.setBrush(hex("#fedf00"));
    p.drawPolygon(rhombus);
    QPainterPath globe;
    globe.addEllipse(QPointF(8, 5.5), 2.7, 2.7);
    p.setBrush(hex("#002776"));
    p.drawPath(globe);
    p.setClipPath(globe);
    QPainterPath band;
    band.moveTo(5.0, 4.9);
    band.quadTo(8.2, 3.9, 11.0, 6.4);
    QPainterPathStroker s;
    s.setWidth(0.7);
    p.setBrush(Qt::white);
    p.drawPath(s.createStroke(band));
    p.setClipping(false);
}

void china(QPainter &p)
{
    p.fillRect(QRectF(0, 0, W, H), hex("#de2910"));
    p.setBrush(hex("#ffde00"));
    p.drawPath(star(QPointF(2.9, 3.0), 2.4));
    const QPointF small[] = {{5.8, 1.1}, {7.0, 2.3}, {7.0, 3.9}, {5.8, 5.1}};
    for (const QPointF &c : small)
        p.drawPath(star(c, 0.9, 20));
}

void czechia(QPainter &p)
{
    p.fillRect(QRectF(0, 0, W, 5.5), hex("#ffffff"));
    p.fillRect(QRectF(0, 5.5, W, 5.5), hex("#d7141a"));
    QPolygonF tri;
    tri << QPointF(0, 0) << QPointF(8, 5.5) << QPointF(0, 11);
    p.setBrush(hex("#11457e"));
    p.drawPolygon(tri);
}

void germany(QPainter &p) { hstripes(p, {{4, "#000000"}, {3, "#dd0000"}, {4, "#ffce00"}}); }

void unitedKingdom(QPainter &p)
{
    p.fillRect(QRectF(0, 0, W, H), hex("#012169"));
    p.setBrush(Qt::white);
    p.drawPath(line({0, 0}, {W, H}, 2.4));
    p.drawPath(line({0, H}, {W, 0}, 2.4));
    // Red saltire, counterchanged: each half sits on the clockwise side of the white one.
    p.setBrush(hex("#c8102e"));
    const qreal off = 0.45;
    const QPointF n1 = QPointF(-H, W) / std::hypot(W, H) * off;  // normal of the falling diagonal
    const QPointF n2 = QPointF(H, W) / std::hypot(W, H) * off;   // normal of the rising diagonal
    p.drawPath(line(QPointF(0, 0) + n1, QPointF(W / 2.0, H / 2.0) + n1, 0.8));
    p.drawPath(line(QPointF(W / 2.0, H / 2.0) - n1, QPointF(W, H) - n1, 0.8));
    p.drawPath(line(QPointF(0, H) - n2, QPointF(W / 2.0, H / 2.0) - n2, 0.8));
    p.drawPath(line(QPointF(W / 2.0, H / 2.0) + n2, QPointF(W, 0) + n2, 0.8));
    p.fillRect(QRectF(6, 0, 4, H), Qt::white);
    p.fillRect(QRectF(0, 3.5, W, 4), Qt::white);
    p.fillRect(QRectF(7, 0, 2, H), hex("#c8102e"));
    p.fillRect(QRectF(0, 4.5, W, 2), hex("#c8102e"));
}

void spain(QPainter &p)
{
    hstripes(p, {{3, "#c60b1e"}, {5, "#ffc400"}, {3, "#c60b1e"}});
    // Coat of arms, reduced to a shield with a crown.
    QPainterPath shield;
    shield.moveTo(3.9, 4.3);
    shield.lineTo(6.1, 4.3);
    shield.lineTo(6.1, 6.3);
    shield.quadTo(6.1, 7.3, 5.0, 7.3);
    shield.quadTo(3.9, 7.3, 3.9, 6.3);
    shield.closeSubpath();
    p.setBrush(hex("#ad1519"));
    p.drawPath(shield);
    p.fillRect(QRectF(4.0, 3.6, 2.0, 0.6), hex("#c8a415"));
    p.fillRect(QRectF(3.3, 4.3, 0.45, 3.0), hex("#9c9c9c"));
    p.fillRect(QRectF(6.25, 4.3, 0.45, 3.0), hex("#9c9c9c"));
}

void france(QPainter &p) { vstripes(p, "#0055a4", "#ffffff", "#ef4135"); }
void hungary(QPainter &p) { hstripes(p, {{4, "#ce2939"}, {3, "#ffffff"}, {4, "#477050"}}); }
void indonesia(QPainter &p) { hstripes(p, {{5, "#e70011"}, {1, "#f3b8bc"}, {5, "#ffffff"}}); }
void ireland(QPainter &p) { vstripes(p, "#169b62", "#ffffff", "#ff883e"); }
void italy(QPainter &p) { vstripes(p, "#009246", "#ffffff", "#ce2b37"); }

void japan(QPainter &p)
{
    p.fillRect(QRectF(0, 0, W, H), Qt::white);
    p.setBrush(hex("#bc002d"));
    p.drawEllipse(QPointF(8, 5.5), 3.3, 3.3);
}

void poland(QPainter &p) { hstripes(p, {{5, "#ffffff"}, {1, "#eea0ae"}, {5, "#dc143c"}}); }

void portugal(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 6.4, H), hex("#006600"));
    p.fillRect(QRectF(6.4, 0, W - 6.4, H), hex("#ff0000"));
    const QPointF c(6.4, 5.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(hex("#ffe900"), 0.9));
    p.drawEllipse(c, 2.35, 2.35);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(5.4, 4.2, 2.0, 2.5), 0.5, 0.5);
    p.setBrush(hex("#003399"));
    p.drawRect(QRectF(6.1, 4.7, 0.6, 1.5));
    p.drawRect(QRectF(5.7, 5.15, 1.4, 0.6));
}

void russia(QPainter &p) { hstripes(p, {{4, "#ffffff"}, {3, "#0039a6"}, {4, "#d52b1e"}}); }

void slovakia(QPainter &p)
{
    hstripes(p, {{4, "#ffffff"}, {3, "#0b4ea2"}, {4, "#ee1c25"}});
    QPainterPath shield;
    shield.moveTo(3.0, 2.1);
    shield.lineTo(8.0, 2.1);
    shield.lineTo(8.0, 6.6);
    shield.quadTo(8.0, 8.6, 5.5, 9.6);
    shield.quadTo(3.0, 8.6, 3.0, 6.6);
    shield.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(shield);
    const QPainterPath inner = QTransform().translate(5.5, 5.8).scale(0.8, 0.82).translate(-5.5, -5.8).map(shield);
    p.setBrush(hex("#ee1c25"));
    p.drawPath(inner);
    p.setClipPath(inner);
    p.setBrush(hex("#0b4ea2"));
    p.drawEllipse(QPointF(5.5, 9.6), 2.6, 1.9);
    p.setClipping(false);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.15, 2.9, 0.7, 5.0));
    p.drawRect(QRectF(4.3, 4.0, 2.4, 0.6));
    p.drawRect(QRectF(3.9, 5.3, 3.2, 0.65));
}

void unitedStates(QPainter &p)
{
    for (int row = 0; row < H; ++row)
        p.fillRect(QRectF(0, row, W, 1), (row % 2) ? hex("#ffffff") : hex("#b22234"));
    p.fillRect(QRectF(0, 0, 7, 6), hex("#3c3b6e"));
    p.setBrush(rgba(255, 255, 255, 200));
    for (int y = 0; y < 5; ++y)
        for (int x = (y % 2) ? 2 : 1; x < 7; x += 2)
            p.drawEllipse(QPointF(x + 0.0, y + 0.95), 0.42, 0.42);
}

QImage flag(void (*draw)(QPainter &))
{
    QImage img = supersampled(W, H, 8, [draw](QPainter &p) { draw(p); });
    // Soft light from above and a faint edge so white flags stand off white rows.
    QPainter p;
    begin(p, img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, W, H), vgrad(0, H, {{0.0, rgba(255, 255, 255, 45)}, {0.45, rgba(255, 255, 255, 0)},
                                               {0.55, rgba(0, 0, 0, 0)}, {1.0, rgba(0, 0, 0, 35)}}));
    p.setPen(rgba(0, 0, 0, 55));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, W - 1, H - 1));
    p.end();
    return img;
}

} // namespace

void addFlags(std::vector<Picture> &out)
{
    const std::pair<const char *, void (*)(QPainter &)> flags[] = {
        {"br", brazil}, {"cn", china},   {"cz", czechia},  {"de", germany},  {"en", unitedKingdom},
        {"es", spain},  {"fr", france},  {"hu", hungary},  {"id", indonesia}, {"ie", ireland},
        {"it", italy},  {"jp", japan},   {"pl", poland},   {"pt", portugal}, {"ru", russia},
        {"sk", slovakia}, {"us", unitedStates},
    };
    for (const auto &f : flags) {
        auto draw = f.second;
        out.push_back({"flags", QString::fromLatin1(f.first), {W, H}, [draw] { return flag(draw); }});
    }
}
