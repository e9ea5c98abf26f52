// Theme frames: header, button bar, bodies, popups, list highlight, wheels, batteries.
#include "paint.h"

using namespace paint;

namespace {

enum class Theme { Blue, Black };

QString themeName(Theme t) { return t == Theme::Blue ? QStringLiteral("blue") : QStringLiteral("black"); }

// Header strip: dark glassy gradient so the white battery, antenna and label read well.
QImage header(Theme t)
{
    QImage img = blank(240, 30);
    QPainter p;
    begin(p, img);
    if (t == Theme::Blue)
        p.fillRect(img.rect(), vgrad(0, 30, {{0.0, hex("#3d6692")}, {0.47, hex("#24476e")},
                                             {0.53, hex("#1a3a5f")}, {1.0, hex("#0f2541")}}));
    else
        p.fillRect(img.rect(), vgrad(0, 30, {{0.0, hex("#4a4a4a")}, {0.47, hex("#2a2a2a")},
                                             {0.53, hex("#1c1c1c")}, {1.0, hex("#080808")}}));
    p.fillRect(QRect(0, 0, 240, 1), rgba(255, 255, 255, 60));
    p.fillRect(QRect(0, 1, 240, 1), rgba(255, 255, 255, 18));
    p.fillRect(QRect(0, 29, 240, 1), t == Theme::Blue ? hex("#06101d") : hex("#000000"));
    p.end();
    return img;
}

// Button bar: the header's mirror, with faint dividers between the three key zones.
QImage buttonBar(Theme t)
{
    QImage img = blank(240, 30);
    QPainter p;
    begin(p, img);
    if (t == Theme::Blue)
        p.fillRect(img.rect(), vgrad(0, 30, {{0.0, hex("#38618d")}, {0.47, hex("#22446a")},
                                             {0.53, hex("#18375a")}, {1.0, hex("#0d223c")}}));
    else
        p.fillRect(img.rect(), vgrad(0, 30, {{0.0, hex("#464646")}, {0.47, hex("#282828")},
                                             {0.53, hex("#1a1a1a")}, {1.0, hex("#060606")}}));
    p.fillRect(QRect(0, 0, 240, 1), t == Theme::Blue ? hex("#06101d") : hex("#000000"));
    p.fillRect(QRect(0, 1, 240, 1), rgba(255, 255, 255, 55));
    for (int x : {70, 170}) {
        p.fillRect(QRectF(x - 1, 5, 1, 20),
                   vgrad(5, 25, {{0.0, rgba(0, 0, 0, 0)}, {0.5, rgba(0, 0, 0, 110)}, {1.0, rgba(0, 0, 0, 0)}}));
        p.fillRect(QRectF(x, 5, 1, 20),
                   vgrad(5, 25, {{0.0, rgba(255, 255, 255, 0)}, {0.5, rgba(255, 255, 255, 45)},
                                 {1.0, rgba(255, 255, 255, 0)}}));
    }
    p.end();
    return img;
}

// Body behind lists and the actual values: light (or dark) rows of 52 px with faint separators.
QImage actualBg(Theme t)
{
    QImage img = blank(240, 208);
    QPainter p;
    begin(p, img);
    for (int row = 0; row < 4; ++row) {
        const int y = row * 52;
        if (t == Theme::Blue)
            p.fillRect(QRect(0, y, 240, 52), vgrad(y, y + 52, {{0.0, hex("#f3f4f6")}, {1.0, hex("#e3e6ea")}}));
        else
            p.fillRect(QRect(0, y, 240, 52), vgrad(y, y + 52, {{0.0, hex("#2f2f2f")}, {1.0, hex("#222222")}}));
        if (row < 3) {
            p.fillRect(QRect(0, y + 51, 240, 1), t == Theme::Blue ? rgba(40, 60, 85, 40) : rgba(0, 0, 0, 150));
        }
        if (row > 0)
            p.fillRect(QRect(0, y, 240, 1), t == Theme::Blue ? rgba(255, 255, 255, 200) : rgba(255, 255, 255, 22));
    }
    p.end();
    return img;
}

// Highlight of the current list row (54 px: one pixel over each edge of the 52 px row).
QImage listHeader(Theme t)
{
    QImage img = blank(240, 54);
    QPainter p;
    begin(p, img);
    if (t == Theme::Blue) {
        p.fillRect(img.rect(), vgrad(0, 54, {{0.0, hex("#c3daf0")}, {0.48, hex("#a2c3e4")},
                                             {0.52, hex("#93b9de")}, {1.0, hex("#7aa6d1")}}));
        p.fillRect(QRect(0, 0, 240, 1), hex("#4f7fae"));
        p.fillRect(QRect(0, 1, 240, 1), rgba(255, 255, 255, 150));
        p.fillRect(QRect(0, 53, 240, 1), hex("#3e6b98"));
        p.fillRect(QRect(0, 0, 4, 54), vgrad(0, 54, {{0.0, hex("#2f5c89")}, {1.0, hex("#1b3d61")}}));
    } else {
        p.fillRect(img.rect(), vgrad(0, 54, {{0.0, hex("#767676")}, {0.48, hex("#5a5a5a")},
                                             {0.52, hex("#4e4e4e")}, {1.0, hex("#3a3a3a")}}));
        p.fillRect(QRect(0, 0, 240, 1), hex("#111111"));
        p.fillRect(QRect(0, 1, 240, 1), rgba(255, 255, 255, 70));
        p.fillRect(QRect(0, 53, 240, 1), hex("#111111"));
        p.fillRect(QRect(0, 0, 4, 54), vgrad(0, 54, {{0.0, hex("#d8d8d8")}, {1.0, hex("#9a9a9a")}}));
    }
    p.end();
    return img;
}

// Popup: full top area (the header is hidden). The title sits at y 14..66, the body below.
// White texts in the blue theme, black texts in the black theme (so that one is light).
QImage popup(Theme t)
{
    QImage img = blank(240, 290);
    QPainter p;
    begin(p, img);
    const bool blue = t == Theme::Blue;
    p.fillRect(img.rect(), blue ? hex("#081628") : hex("#1a1a1a"));
    const QRectF inner(3, 3, 234, 284);
    QPainterPath frame;
    frame.addRoundedRect(inner, 7, 7);
    p.setClipPath(frame);
    if (blue) {
        p.fillRect(inner, vgrad(3, 287, {{0.0, hex("#2a5079")}, {0.25, hex("#1f3f63")}, {1.0, hex("#0f2540")}}));
        p.fillRect(QRectF(3, 3, 234, 64), vgrad(3, 67, {{0.0, hex("#4a75a3")}, {0.5, hex("#2f5782")},
                                                         {0.52, hex("#284d76")}, {1.0, hex("#21446b")}}));
        p.fillRect(QRectF(3, 66, 234, 1), hex("#0b1c31"));
        p.fillRect(QRectF(3, 67, 234, 1), rgba(255, 255, 255, 45));
    } else {
        p.fillRect(inner, vgrad(3, 287, {{0.0, hex("#ececec")}, {0.3, hex("#e0e0e0")}, {1.0, hex("#c4c4c4")}}));
        p.fillRect(QRectF(3, 3, 234, 64), vgrad(3, 67, {{0.0, hex("#fbfbfb")}, {0.5, hex("#e6e6e6")},
                                                         {0.52, hex("#dadada")}, {1.0, hex("#cfcfcf")}}));
        p.fillRect(QRectF(3, 66, 234, 1), hex("#6a6a6a"));
        p.fillRect(QRectF(3, 67, 234, 1), rgba(255, 255, 255, 200));
    }
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(blue ? rgba(255, 255, 255, 70) : rgba(0, 0, 0, 160), 1));
    p.drawRoundedRect(inner.adjusted(0.5, 0.5, -0.5, -0.5), 6.5, 6.5);
    p.setPen(QPen(blue ? rgba(255, 255, 255, 22) : rgba(255, 255, 255, 150), 1));
    p.drawRoundedRect(inner.adjusted(1.5, 1.5, -1.5, -1.5), 5.5, 5.5);
    p.end();
    return img;
}

// Job display: stretched to 240 x 150 and mostly covered by its own box; black texts on blue,
// white on black.
QImage jobPopup(Theme t)
{
    QImage img = blank(240, 208);
    QPainter p;
    begin(p, img);
    if (t == Theme::Blue) {
        p.fillRect(img.rect(), vgrad(0, 208, {{0.0, hex("#e6ebf1")}, {1.0, hex("#c3cedb")}}));
        p.fillRect(QRect(0, 0, 240, 62), vgrad(0, 62, {{0.0, hex("#f4f7fa")}, {1.0, hex("#d7e0ea")}}));
        p.fillRect(QRect(0, 61, 240, 1), hex("#7f98b3"));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(hex("#234461"), 3));
        p.drawRect(QRectF(1.5, 1.5, 237, 205));
    } else {
        p.fillRect(img.rect(), vgrad(0, 208, {{0.0, hex("#2c2c2c")}, {1.0, hex("#0c0c0c")}}));
        p.fillRect(QRect(0, 0, 240, 62), vgrad(0, 62, {{0.0, hex("#3c3c3c")}, {1.0, hex("#222222")}}));
        p.fillRect(QRect(0, 61, 240, 1), hex("#6a6a6a"));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(hex("#9a9a9a"), 3));
        p.drawRect(QRectF(1.5, 1.5, 237, 205));
    }
    p.end();
    return img;
}

// Number wheel: a drum lit from the front, a highlighted band around the middle number
// (35 px high), darkened edges where the small numbers turn away.
QImage wheel(Theme t, int w)
{
    const int h = 194;
    QImage img = blank(w, h);
    QPainter p;
    begin(p, img);
    const bool blue = t == Theme::Blue;
    if (blue)
        p.fillRect(img.rect(), vgrad(0, h, {{0.0, hex("#7f8c9a")}, {0.12, hex("#b9c3cd")}, {0.32, hex("#e7ebef")},
                                            {0.5, hex("#fbfcfd")}, {0.68, hex("#e7ebef")}, {0.88, hex("#b9c3cd")},
                                            {1.0, hex("#7f8c9a")}}));
    else
        p.fillRect(img.rect(), vgrad(0, h, {{0.0, hex("#000000")}, {0.14, hex("#161616")}, {0.35, hex("#2e2e2e")},
                                            {0.5, hex("#3a3a3a")}, {0.65, hex("#2e2e2e")}, {0.86, hex("#161616")},
                                            {1.0, hex("#000000")}}));
    // Side rails of the drum's housing.
    const QColor railDark = blue ? hex("#4f6277") : hex("#000000");
    const QColor railLight = blue ? rgba(255, 255, 255, 120) : rgba(255, 255, 255, 40);
    p.fillRect(QRect(0, 0, 2, h), vgrad(0, h, {{0.0, railDark}, {0.5, blue ? hex("#8da0b4") : hex("#4a4a4a")}, {1.0, railDark}}));
    p.fillRect(QRect(w - 2, 0, 2, h), vgrad(0, h, {{0.0, railDark}, {0.5, blue ? hex("#8da0b4") : hex("#4a4a4a")}, {1.0, railDark}}));
    p.fillRect(QRect(2, 0, 1, h), railLight);
    p.fillRect(QRect(w - 3, 0, 1, h), blue ? rgba(0, 0, 0, 40) : rgba(0, 0, 0, 120));

    // Selection band around the middle.
    const QRectF band(2, 75, w - 4, 44);
    if (blue) {
        p.fillRect(band, vgrad(band.top(), band.bottom(), {{0.0, rgba(150, 190, 230, 150)}, {0.5, rgba(190, 215, 240, 110)},
                                                           {1.0, rgba(120, 165, 210, 150)}}));
        p.fillRect(QRectF(2, 74, w - 4, 1), hex("#234461"));
        p.fillRect(QRectF(2, 75, w - 4, 1), rgba(255, 255, 255, 160));
        p.fillRect(QRectF(2, 119, w - 4, 1), hex("#234461"));
        p.fillRect(QRectF(2, 120, w - 4, 1), rgba(255, 255, 255, 90));
    } else {
        p.fillRect(band, vgrad(band.top(), band.bottom(), {{0.0, rgba(255, 255, 255, 55)}, {0.5, rgba(255, 255, 255, 30)},
                                                           {1.0, rgba(255, 255, 255, 55)}}));
        p.fillRect(QRectF(2, 74, w - 4, 1), hex("#b0b0b0"));
        p.fillRect(QRectF(2, 75, w - 4, 1), rgba(0, 0, 0, 120));
        p.fillRect(QRectF(2, 119, w - 4, 1), hex("#b0b0b0"));
        p.fillRect(QRectF(2, 120, w - 4, 1), rgba(0, 0, 0, 120));
    }
    p.end();
    return img;
}

// Battery, lying, terminal on the right. Full: four green cells. Empty: red outline with a
// thin red remainder, the inside kept light for the red seconds counter drawn over it.
QImage battery(Theme t, bool empty)
{
    return supersampled(121, 48, 4, [t, empty](QPainter &p) {
        const bool blue = t == Theme::Blue;
        const QRectF body(3, 5, 104, 38);
        const QRectF terminal(107, 16, 9, 16);
        const QColor outline = empty ? hex("#e41b1b") : (blue ? hex("#f2f5f8") : hex("#1e1e1e"));

        // Shadow.
        p.setBrush(rgba(0, 0, 0, blue ? 90 : 60));
        p.drawRoundedRect(body.translated(1, 1.5).adjusted(-1.5, -1.5, 1.5, 1.5), 7, 7);
        p.drawRoundedRect(terminal.translated(1, 1.5).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);

        // Terminal.
        p.setBrush(vgrad(terminal.top(), terminal.bottom(), {{0.0, outline.lighter(130)}, {1.0, outline.darker(140)}}));
        QPainterPath term;
        term.addRoundedRect(terminal.adjusted(-3, 0, 0, 0), 3, 3);
        p.drawPath(term);

        // Shell and inside.
        p.setBrush(outline);
        p.drawRoundedRect(body.adjusted(-1.5, -1.5, 1.5, 1.5), 7, 7);
        const QRectF inside = body.adjusted(2.5, 2.5, -2.5, -2.5);
        if (empty)
            p.setBrush(vgrad(inside.top(), inside.bottom(), {{0.0, hex("#fbfbfb")}, {1.0, hex("#d9d9d9")}}));
        else
            p.setBrush(vgrad(inside.top(), inside.bottom(), {{0.0, hex("#2a2f35")}, {1.0, hex("#111417")}}));
        p.drawRoundedRect(inside, 4.5, 4.5);

        const QRectF cells = inside.adjusted(3, 3, -3, -3);
        if (empty) {
            const QRectF rest(cells.left(), cells.top(), 7, cells.height());
            p.setBrush(vgrad(rest.top(), rest.bottom(), {{0.0, hex("#ff6a5a")}, {0.5, hex("#e41b1b")}, {1.0, hex("#9d0d0d")}}));
            p.drawRoundedRect(rest, 2, 2);
        } else {
            const int n = 4;
            const qreal gap = 3;
            const qreal cw = (cells.width() - gap * (n - 1)) / n;
            for (int i = 0; i < n; ++i) {
                const QRectF c(cells.left() + i * (cw + gap), cells.top(), cw, cells.height());
                p.setBrush(vgrad(c.top(), c.bottom(), {{0.0, hex("#b4f58c")}, {0.45, hex("#5fd12f")},
                                                       {0.55, hex("#46b81c")}, {1.0, hex("#2a7d0e")}}));
                p.drawRoundedRect(c, 2, 2);
            }
        }
        // Gloss over the upper half.
        QPainterPath gloss;
        gloss.addRoundedRect(QRectF(inside.left() + 2, inside.top() + 1.5, inside.width() - 4, inside.height() * 0.42), 3, 3);
        p.setBrush(vgrad(inside.top(), inside.top() + inside.height() * 0.45,
                         {{0.0, rgba(255, 255, 255, empty ? 120 : 110)}, {1.0, rgba(255, 255, 255, 0)}}));
        p.drawPath(gloss);
    });
}

// Status backgrounds of the tool data line (kept with the resources, not used by the scene).
QImage toolDataBg(const char *top, const char *bottom, int alpha)
{
    QImage img = blank(240, 52);
    QPainter p;
    begin(p, img);
    p.fillRect(img.rect(), vgrad(0, 52, {{0.0, hex(top, alpha)}, {1.0, hex(bottom, alpha)}}));
    p.fillRect(QRect(0, 0, 240, 26), vgrad(0, 26, {{0.0, rgba(255, 255, 255, 110)}, {1.0, rgba(255, 255, 255, 25)}}));
    p.fillRect(QRect(0, 51, 240, 1), rgba(0, 0, 0, 60));
    p.end();
    return img;
}

} // namespace

void addFrames(std::vector<Picture> &out)
{
    for (Theme t : {Theme::Blue, Theme::Black}) {
        const QString n = themeName(t);
        out.push_back({"pics", "header_" + n + ".png", {240, 30}, [t] { return header(t); }});
        out.push_back({"pics", "buttonbar_" + n + ".png", {240, 30}, [t] { return buttonBar(t); }});
        out.push_back({"pics", "actual_bg_" + n + ".png", {240, 208}, [t] { return actualBg(t); }});
        out.push_back({"pics", "list_header_" + n + ".png", {240, 54}, [t] { return listHeader(t); }});
        out.push_back({"pics", "popup_" + n + ".png", {240, 290}, [t] { return popup(t); }});
        out.push_back({"pics", "jobPopup_" + n + ".png", {240, 208}, [t] { return jobPopup(t); }});
        out.push_back({"pics", "wheel_" + n + ".png", {59, 194}, [t] { return wheel(t, 59); }});
        out.push_back({"pics", "wheel_" + n + "_large.png", {128, 194}, [t] { return wheel(t, 128); }});
        out.push_back({"pics", "battery_" + n + ".png", {121, 48}, [t] { return battery(t, false); }});
        out.push_back({"pics", "battery_empty_" + n + ".png", {121, 48}, [t] { return battery(t, true); }});
    }
    out.push_back({"pics", "Tooldata_bg_red.png", {240, 52}, [] { return toolDataBg("#ff3b2f", "#c40000", 255); }});
    out.push_back({"pics", "Tooldata_bg_green.png", {240, 52}, [] { return toolDataBg("#8cff5c", "#3fc010", 255); }});
    out.push_back({"pics", "Tooldata_bg_white.png", {240, 52}, [] { return toolDataBg("#fafafa", "#d8d8d8", 255); }});
    out.push_back({"pics", "Tooldata_bg_trans.png", {240, 52}, [] { return toolDataBg("#ffffff", "#ffffff", 0); }});
}
