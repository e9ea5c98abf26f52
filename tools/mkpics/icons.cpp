// Bar icons, LEDs, header status icons and list icons.
#include "paint.h"

#include <QPainterPathStroker>
#include <QtMath>

using namespace paint;

namespace {

const int kSS = 4;  // supersampling factor of the small drawings

QPainterPath polygonPath(std::initializer_list<QPointF> pts)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QVector<QPointF>(pts)));
    path.closeSubpath();
    return path;
}

QPainterPath strokeOf(const QPainterPath &line, qreal width, Qt::PenCapStyle cap = Qt::RoundCap)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(line);
}

// Softens the corners of a filled shape by growing it slightly.
QPainterPath rounded(const QPainterPath &shape, qreal by) { return grown(shape, by); }

// ---- Bar icons (65 x 30, white on transparent) ----------------------------------------

QImage barIcon(const std::function<QPainterPath()> &shape)
{
    return supersampled(65, 30, kSS, [&](QPainter &p) { glyph(p, shape(), Qt::white, 110, 1.4, QPointF(0, 0.8)); });
}

QPainterPath triangleUp(qreal cx)
{
    return rounded(polygonPath({{cx - 10.5, 20.5}, {cx + 10.5, 20.5}, {cx, 9.0}}), 1.2);
}

QPainterPath triangleDown(qreal cx)
{
    return rounded(polygonPath({{cx - 10.5, 9.5}, {cx + 10.5, 9.5}, {cx, 21.0}}), 1.2);
}

QPainterPath arrowRight(qreal cx)
{
    QPainterPath shaft;
    shaft.moveTo(cx - 12, 15);
    shaft.lineTo(cx + 2, 15);
    QPainterPath head = rounded(polygonPath({{cx + 1, 7.5}, {cx + 12.5, 15}, {cx + 1, 22.5}}), 1.0);
    return strokeOf(shaft, 4.2, Qt::RoundCap).united(head).simplified();
}

// "Back": a return arrow, the tail rising on the right, the head pointing left.
QPainterPath arrowBack(qreal cx)
{
    QPainterPath tail;
    tail.moveTo(cx + 10, 7.5);
    tail.lineTo(cx + 10, 13.5);
    tail.quadTo(cx + 10, 18.5, cx + 5, 18.5);
    tail.lineTo(cx - 4, 18.5);
    QPainterPath head = rounded(polygonPath({{cx - 3, 11.5}, {cx - 12.5, 18.5}, {cx - 3, 25.5}}), 1.0);
    return strokeOf(tail, 3.8, Qt::RoundCap).united(head).simplified();
}

// "Rotate": one clockwise turn arrow.
QPainterPath rotateArrow(qreal cx)
{
    return arcArrow(QPointF(cx, 15), 8, 150, -290, 3.4, 6.5, 9);
}

// Two arrows chasing each other round a circle.
QPainterPath repeatArrows(qreal cx)
{
    QPainterPath a = arcArrow(QPointF(cx, 15), 8.5, 200, -150, 3.2, 6, 8.5);
    QPainterPath b = arcArrow(QPointF(cx, 15), 8.5, 20, -150, 3.2, 6, 8.5);
    return a.united(b).simplified();
}

// Barcode in a viewfinder, centred on cx.
QPainterPath barcode(qreal cx)
{
    QPainterPath path;
    // Bar widths and gaps in pixels, left to right.
    const qreal bars[] = {2, 1, 1, 2, 1, 2, 1, 1, 2};
    const qreal gaps[] = {1, 1, 1.5, 1, 1, 1.5, 1, 1};
    qreal total = 0;
    for (qreal b : bars)
        total += b;
    for (qreal g : gaps)
        total += g;
    qreal x = qRound(cx - total / 2);
    for (int i = 0; i < 9; ++i) {
        path.addRect(QRectF(x, 9, bars[i], 12));
        x += bars[i];
        if (i < 8)
            x += gaps[i];
    }
    // Viewfinder corners.
    const qreal l = qRound(cx - total / 2) - 3.5, r = qRound(cx - total / 2) + total + 3.5;
    const qreal t = 5.5, b = 24.5, arm = 4;
    QPainterPath corners;
    corners.moveTo(l, t + arm); corners.lineTo(l, t); corners.lineTo(l + arm, t);
    corners.moveTo(r - arm, t); corners.lineTo(r, t); corners.lineTo(r, t + arm);
    corners.moveTo(r, b - arm); corners.lineTo(r, b); corners.lineTo(r - arm, b);
    corners.moveTo(l + arm, b); corners.lineTo(l, b); corners.lineTo(l, b - arm);
    return path.united(strokeOf(corners, 1.5, Qt::SquareCap)).simplified();
}

// ---- LEDs (22 x 22) -----------------------------------------------------------------

struct LedColours {
    const char *centre, *mid, *edge;
};

QImage led(LedColours c, bool lit, bool lightRim)
{
    return supersampled(22, 22, kSS, [=](QPainter &p) {
        const QPointF ctr(11, 11);
        // Bezel.
        QLinearGradient bezel(0, 1, 0, 21);
        if (lightRim) {
            bezel.setColorAt(0, hex("#f2f2f2"));
            bezel.setColorAt(1, hex("#8a8a8a"));
        } else {
            bezel.setColorAt(0, hex("#1e1e1e"));
            bezel.setColorAt(1, hex("#b8b8b8"));
        }
        p.setBrush(rgba(0, 0, 0, 70));
        p.drawEllipse(QPointF(11, 11.6), 10.6, 10.6);
        p.setBrush(bezel);
        p.drawEllipse(ctr, 10.3, 10.3);
        // Lens.
        QRadialGradient lens(QPointF(11, 12), 8.6, QPointF(9.5, 9));
        lens.setColorAt(0.0, hex(c.centre));
        lens.setColorAt(0.55, hex(c.mid));
        lens.setColorAt(1.0, hex(c.edge));
        p.setBrush(lens);
        p.drawEllipse(ctr, 8.6, 8.6);
        if (lit) {
            // Glow reflected at the bottom of the lens.
            QRadialGradient glow(QPointF(11, 16), 5);
            glow.setColorAt(0, QColor(255, 255, 255, 70));
            glow.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(glow);
            p.drawEllipse(QPointF(11, 16), 5, 3);
        }
        // Specular highlight.
        p.setBrush(vgrad(3, 11, {{0.0, rgba(255, 255, 255, lit ? 230 : 190)}, {1.0, rgba(255, 255, 255, 0)}}));
        p.drawEllipse(QRectF(5.6, 3.6, 10.8, 7.2));
    });
}

// ---- Header status icons (24 x 24) ----------------------------------------------------

const char *const kWhite = "#ffffff";
const char *const kGreen = "#52e62a";
const char *const kRed = "#ff2d2d";

// Three linked stations: one above, two below on a common line.
QPainterPath networkShape()
{
    QPainterPath nodes;
    nodes.addRoundedRect(QRectF(7.5, 1.5, 9, 6.5), 1.4, 1.4);
    nodes.addRoundedRect(QRectF(1, 15.5, 9, 6.5), 1.4, 1.4);
    nodes.addRoundedRect(QRectF(14, 15.5, 9, 6.5), 1.4, 1.4);
    QPainterPath links;
    links.moveTo(12, 7.5);
    links.lineTo(12, 11.75);
    links.moveTo(5.5, 16);
    links.lineTo(5.5, 11.75);
    links.lineTo(18.5, 11.75);
    links.lineTo(18.5, 16);
    QPainterPath shape = nodes.united(strokeOf(links, 1.8, Qt::FlatCap)).simplified();
    // Screens of the stations.
    QPainterPath screens;
    screens.addRect(QRectF(9.3, 3.1, 5.4, 3.1));
    screens.addRect(QRectF(2.8, 17.1, 5.4, 3.1));
    screens.addRect(QRectF(15.8, 17.1, 5.4, 3.1));
    return shape.subtracted(screens);
}

// Open right hand, palm towards the viewer, fingers up, thumb out to the left.
QPainterPath handShape()
{
    QPainterPath palm;
    palm.addRoundedRect(QRectF(6.6, 10.2, 11.6, 12.3), 3.2, 3.2);
    QPainterPath fingers;
    const qreal fw = 2.75;
    const qreal xs[] = {6.6, 9.6, 12.6, 15.6};
    const qreal tops[] = {3.6, 1.6, 2.6, 5.2};
    for (int i = 0; i < 4; ++i)
        fingers.addRoundedRect(QRectF(xs[i], tops[i], i == 3 ? 2.6 : fw, 13 - tops[i]), 1.35, 1.35);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.4, -6, 2.9, 9.5), 1.45, 1.45);
    thumb = QTransform().translate(7.6, 18.2).rotate(-42).map(thumb);
    QPainterPath hand = palm.united(fingers).united(thumb).simplified();
    // Slits between the fingers and along the thumb.
    QPainterPath slits;
    for (qreal x : {9.47, 12.47, 15.47}) {
        slits.moveTo(x, 0);
        slits.lineTo(x, 11.6);
    }
    QPainterPath thumbSlit;
    thumbSlit.moveTo(6.0, 11.0);
    thumbSlit.lineTo(7.0, 16.6);
    return hand.subtracted(strokeOf(slits, 0.55, Qt::FlatCap)).subtracted(strokeOf(thumbSlit, 0.6, Qt::RoundCap));
}

QImage statusIcon(const QPainterPath &shape, const char *colour)
{
    return supersampled(24, 24, kSS, [&](QPainter &p) { glyph(p, shape, hex(colour), 150, 1.3, QPointF(0, 0.4)); });
}

// ---- List icons (32 x 32): redo arrow and power symbol ---------------------------------

QImage listIcon(const QPainterPath &shape, bool blue)
{
    return supersampled(32, 32, kSS, [&](QPainter &p) {
        if (blue) {
            p.setBrush(rgba(255, 255, 255, 150));
            p.drawPath(shape.translated(0, 0.8));
            p.setBrush(vgrad(4, 28, {{0.0, hex("#2f5e8d")}, {1.0, hex("#16324f")}}));
        } else {
            p.setBrush(rgba(0, 0, 0, 160));
            p.drawPath(shape.translated(0, 0.8));
            p.setBrush(vgrad(4, 28, {{0.0, hex("#ffffff")}, {1.0, hex("#cfcfcf")}}));
        }
        p.drawPath(shape);
    });
}

QPainterPath redoShape()
{
    return arcArrow(QPointF(16, 16.5), 10, 205, -265, 3.6, 8, 11);
}

QPainterPath offShape()
{
    const QRectF box(6, 7, 20, 20);
    QPainterPath ring;
    ring.arcMoveTo(box, 122);
    ring.arcTo(box, 122, 296);
    QPainterPath bar;
    bar.moveTo(16, 4);
    bar.lineTo(16, 15);
    return strokeOf(ring, 3.6, Qt::RoundCap).united(strokeOf(bar, 3.6, Qt::RoundCap)).simplified();
}

// ---- Connection glyphs (kept with the resources, not used by the scene) -----------------

// Plug and socket drawn in a 24 x 24 design, scaled to `px`.
QPainterPath connectShape(bool connected)
{
    // Socket on the right, plug on the left; the plug's pins enter the socket when connected.
    const qreal shift = connected ? 0 : -3.5;
    QPainterPath socket;
    socket.addRoundedRect(QRectF(13, 7, 6, 10), 1.5, 1.5);
    QPainterPath socketCable;
    socketCable.moveTo(19, 12);
    socketCable.lineTo(23.5, 12);
    QPainterPath plug;
    plug.addRoundedRect(QRectF(5 + shift, 7, 6, 10), 1.5, 1.5);
    QPainterPath pins;
    pins.addRect(QRectF(11 + shift, 8.8, 2.5, 1.8));
    pins.addRect(QRectF(11 + shift, 13.4, 2.5, 1.8));
    QPainterPath plugCable;
    plugCable.moveTo(0.5, 12);
    plugCable.lineTo(5 + shift, 12);
    QPainterPath shape = socket.united(strokeOf(socketCable, 2, Qt::FlatCap))
                             .united(plug)
                             .united(pins)
                             .united(strokeOf(plugCable, 2, Qt::FlatCap));
    if (!connected) {
        QPainterPath slash;
        slash.moveTo(8, 21.5);
        slash.lineTo(15, 2.5);
        shape = shape.subtracted(strokeOf(slash, 3.2, Qt::FlatCap)).united(strokeOf(slash, 1.4, Qt::RoundCap));
    }
    return shape.simplified();
}

QImage connectIcon(bool connected, int px)
{
    return supersampled(px, px, kSS, [=](QPainter &p) {
        p.scale(px / 24.0, px / 24.0);
        glyph(p, connectShape(connected), Qt::white, 120, 1.4, QPointF(0, 0.5));
    });
}

} // namespace

void addIcons(std::vector<Picture> &out)
{
    const qreal mid = 32.5;
    out.push_back({"pics", "icon_up.png", {65, 30}, [=] { return barIcon([=] { return triangleUp(mid); }); }});
    out.push_back({"pics", "icon_down.png", {65, 30}, [=] { return barIcon([=] { return triangleDown(mid); }); }});
    out.push_back({"pics", "icon_back.png", {65, 30}, [=] { return barIcon([=] { return arrowBack(mid); }); }});
    out.push_back({"pics", "icon_right.png", {65, 30}, [=] { return barIcon([=] { return arrowRight(mid); }); }});
    out.push_back({"pics", "icon_repeati.png", {65, 30}, [=] { return barIcon([=] { return rotateArrow(mid); }); }});
    out.push_back({"pics", "icon_repeat.png", {65, 30}, [=] { return barIcon([=] { return repeatArrows(mid); }); }});
    // The bar places its icons at x 0, 105 and 175 and its texts centred at 37.5, 120 and
    // 202.5; each scan variant puts the glyph near where that key's text would be centred.
    out.push_back({"pics", "icon_scan.png", {65, 30}, [=] { return barIcon([=] { return barcode(mid); }); }});
    out.push_back({"pics", "icon_scan_left.png", {65, 30}, [] { return barIcon([] { return barcode(37.5); }); }});
    out.push_back({"pics", "icon_scan_middle.png", {65, 30}, [] { return barIcon([] { return barcode(16); }); }});
    out.push_back({"pics", "icon_scan_right.png", {65, 30}, [] { return barIcon([] { return barcode(27.5); }); }});

    out.push_back({"pics", "LED_Off2.png", {22, 22}, [] { return led({"#bdbdbd", "#7a7a7a", "#3c3c3c"}, false, false); }});
    out.push_back({"pics", "LED_Off2_light.png", {22, 22}, [] { return led({"#f4f4f4", "#c4c4c4", "#858585"}, false, true); }});
    out.push_back({"pics", "LED_Green2.png", {22, 22}, [] { return led({"#d8ffb8", "#46d81e", "#146a05"}, true, false); }});
    out.push_back({"pics", "LED_Yellow2.png", {22, 22}, [] { return led({"#fffbc4", "#ffd000", "#8c6a00"}, true, false); }});
    out.push_back({"pics", "LED_Red2.png", {22, 22}, [] { return led({"#ffc2b4", "#f0250f", "#7c0a02"}, true, false); }});

    out.push_back({"pics", "ICON_ZK_blue_network-weiss.png", {24, 24}, [] { return statusIcon(networkShape(), kWhite); }});
    out.push_back({"pics", "ICON_ZK_blue_network-gruen.png", {24, 24}, [] { return statusIcon(networkShape(), kGreen); }});
    out.push_back({"pics", "ICON_ZK_blue_network-rot.png", {24, 24}, [] { return statusIcon(networkShape(), kRed); }});
    out.push_back({"pics", QStringLiteral("Hand_wei\u00df.png"), {24, 24}, [] { return statusIcon(handShape(), kWhite); }});
    out.push_back({"pics", QStringLiteral("Hand_gr\u00fcn.png"), {24, 24}, [] { return statusIcon(handShape(), kGreen); }});
    out.push_back({"pics", "Hand_rot.png", {24, 24}, [] { return statusIcon(handShape(), kRed); }});

    out.push_back({"pics", "Redo_blue.png", {32, 32}, [] { return listIcon(redoShape(), true); }});
    out.push_back({"pics", "Redo_black.png", {32, 32}, [] { return listIcon(redoShape(), false); }});
    out.push_back({"pics", "Off_blue.png", {32, 32}, [] { return listIcon(offShape(), true); }});
    out.push_back({"pics", "Off_black.png", {32, 32}, [] { return listIcon(offShape(), false); }});

    out.push_back({"pics", "transparent.png", {1, 1}, [] { return blank(1, 1); }});

    for (int px : {16, 24, 32}) {
        const QString s = QString::number(px);
        out.push_back({"pics", "connect_white_" + s + ".png", {px, px}, [=] { return connectIcon(true, px); }});
        out.push_back({"pics", "disconnect_white_" + s + ".png", {px, px}, [=] { return connectIcon(false, px); }});
    }
}
