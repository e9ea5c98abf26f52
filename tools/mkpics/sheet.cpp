// Review sheet: every image on a checkerboard, enlarged, plus mock-ups of screens built
// from them. Not committed; only for looking at the pictures together.
#include "paint.h"

#include <QFont>
#include <QHash>

using namespace paint;

namespace {

QHash<QString, QImage> g_img;

QImage pic(const QString &name) { return g_img.value(name); }

void text(QPainter &p, const QRectF &r, const QString &s, int px, QColor c, int flags = Qt::AlignCenter,
          bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, flags, s);
    p.setPen(Qt::NoPen);
}

void checker(QPainter &p, const QRect &r)
{
    for (int y = r.top(); y < r.bottom(); y += 8)
        for (int x = r.left(); x < r.right(); x += 8)
            p.fillRect(QRect(x, y, 8, 8).intersected(r), (((x - r.left()) / 8 + (y - r.top()) / 8) % 2) ? hex("#9a9a9a") : hex("#7a7a7a"));
}

void headerMock(QPainter &p, const QString &theme, qreal charge, const QString &net)
{
    p.drawImage(0, 0, pic("header_" + theme + ".png"));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(QRectF(10.5, 6.5, 37, 16));
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(48, 11, 2, 7), Qt::white);
    p.fillRect(QRectF(12, 8, 35 * charge, 14), charge < 0.2 ? QColor(Qt::red) : QColor(Qt::white));
    // Antenna and bars.
    p.fillRect(QRectF(61, 7, 1, 16), Qt::white);
    for (int k = 0; k < 5; ++k)
        if (k < 3)
            p.fillRect(QRectF(66 + k * 6, 6 + 17 - (5 + 3 * k), 4, 5 + 3 * k), Qt::white);
    p.drawImage(100, 3, pic(net));
    p.drawImage(127, 4, pic("LED_Yellow2.png"));
    p.drawImage(150, 4, pic("LED_Green2.png"));
    text(p, QRectF(164, 0, 67, 30), "P:12", 20, Qt::white, Qt::AlignRight | Qt::AlignVCenter);
}

void barMock(QPainter &p, const QString &theme, const QString &l, const QString &m, const QString &r, qreal y = 290)
{
    p.drawImage(0, y, pic("buttonbar_" + theme + ".png"));
    auto one = [&](const QString &s, int iconX, QRectF tr, const char *pos) {
        if (s.startsWith('@')) {
            const QString code = s.mid(1);
            p.drawImage(iconX, y, pic(code == "scan" ? QString("icon_scan_%1.png").arg(pos) : "icon_" + code + ".png"));
        } else {
            text(p, tr.translated(0, y), s, 20, Qt::white);
        }
    };
    one(l, 0, QRectF(5, 0, 65, 30), "left");
    one(m, 105, QRectF(65, 0, 110, 30), "middle");
    one(r, 175, QRectF(170, 0, 65, 30), "right");
}

QImage listScreen(const QString &theme)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    headerMock(p, theme, 0.8, "ICON_ZK_blue_network-gruen.png");
    p.fillRect(QRect(0, 30, 240, 52), blue ? hex("#ffffff") : hex("#000000"));
    text(p, QRectF(0, 30, 240, 52), "Leave", 32, blue ? Qt::black : Qt::white);
    p.drawImage(0, 82, pic("actual_bg_" + theme + ".png"));
    p.drawImage(0, 82 + 52 - 1, pic("list_header_" + theme + ".png"));
    const QString icons[] = {"Redo_" + theme + ".png", "Off_" + theme + ".png", "transparent.png", "LED_Off2" + QString(blue ? "" : "_light") + ".png"};
    const QString names[] = {"Restart", "Shut Down", "Back", "Service"};
    for (int i = 0; i < 4; ++i) {
        const int y = 82 + i * 52;
        p.drawImage(QRectF(10, y + 15, 22, 22), pic(icons[i]));
        const QColor c = i == 1 ? (blue ? Qt::black : Qt::white) : (blue ? hex("#282828") : hex("#E8E8E8"));
        text(p, QRectF(52, y, 180, 52), names[i], 23, c, Qt::AlignLeft | Qt::AlignVCenter);
    }
    barMock(p, theme, "@up", "Select", "@down");
    p.end();
    return img;
}

QImage actualScreen(const QString &theme, bool nok)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    headerMock(p, theme, 0.15, nok ? "ICON_ZK_blue_network-rot.png" : QString::fromUtf8("Hand_gr\u00fcn.png"));
    p.fillRect(QRect(0, 30, 240, 52), nok ? hex("#ff0000") : hex("#66ff33"));
    text(p, QRectF(0, 30, 240, 52), nok ? "P:5 - S:1A - NOK" : "P:5 - S:1A - OK", 19, Qt::black, Qt::AlignCenter, true);
    p.drawImage(0, 82, pic("actual_bg_" + theme + ".png"));
    const QColor tc = blue ? Qt::black : Qt::white;
    const QString labels[] = {"T: Nm", "A: \u00b0", "t: s", "ID:"};
    const QString values[] = {nok ? "\u25b2 12.500" : "12.500", "90.00", "0.800", "4711-AB"};
    for (int i = 0; i < 4; ++i) {
        const int y = 82 + i * 52;
        QColor c = tc;
        if (nok && i == 0) {
            p.fillRect(QRect(0, y, 240, 52), hex("#ff0000"));
            c = hex("#ebebeb");
        }
        text(p, QRectF(9, y, 90, 52), labels[i], i == 3 ? 20 : 30, c, Qt::AlignLeft | Qt::AlignVCenter);
        text(p, QRectF(93, y, 137, 52), values[i], i == 3 ? 20 : 25, c, Qt::AlignRight | Qt::AlignVCenter, true);
    }
    barMock(p, theme, "", "@scan", "");
    p.end();
    return img;
}

QImage popupScreen(const QString &theme, bool battery)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    p.drawImage(0, 0, pic("popup_" + theme + ".png"));
    const QColor tc = blue ? Qt::white : Qt::black;
    text(p, QRectF(0, 14, 240, 52), battery ? "Information" : "Sys Fault", 32, tc);
    if (battery) {
        text(p, QRectF(12, 86, 215, 98), "No Battery\nPlease change battery", 22, tc, Qt::AlignCenter | Qt::TextWordWrap);
        p.drawImage(60, 200, pic("battery_empty_" + theme + ".png"));
        text(p, QRectF(60, 200, 121, 47), "20s", 32, hex("#ff0000"));
        barMock(p, theme, "", "", "");
    } else {
        text(p, QRectF(12, 67, 216, 213), "Code: 17\nClass: 1\n\nMotor temperature too high", 22, tc,
             Qt::AlignCenter | Qt::TextWordWrap);
        barMock(p, theme, "Ack", "OK", "");
    }
    p.end();
    return img;
}

QImage lowBatteryScreen(const QString &theme)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    p.drawImage(0, 0, pic("popup_" + theme + ".png"));
    const QColor tc = blue ? Qt::white : Qt::black;
    text(p, QRectF(0, 14, 240, 52), "Information", 32, tc);
    text(p, QRectF(12, 86, 215, 98), "Battery low", 22, tc);
    p.drawImage(60, 200, pic("battery_" + theme + ".png"));
    barMock(p, theme, "", "OK", "");
    p.end();
    return img;
}

QImage wheelScreen(const QString &theme)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    headerMock(p, theme, 1.0, "ICON_ZK_blue_network-weiss.png");
    p.fillRect(QRect(0, 30, 240, 52), blue ? hex("#ffffff") : hex("#000000"));
    text(p, QRectF(0, 30, 240, 52), "Date", 32, blue ? Qt::black : Qt::white);
    p.fillRect(QRect(0, 82, 240, 208), blue ? hex("#ececec") : hex("#585858"));
    const QColor tc = blue ? Qt::black : Qt::white;
    auto wheelAt = [&](int x, bool large, int value) {
        const int w = large ? 128 : 59;
        p.fillRect(QRect(x, 89, w, 194), blue ? hex("#ececec") : hex("#000000"));
        p.drawImage(x, 89, pic(large ? "wheel_" + theme + "_large.png" : "wheel_" + theme + ".png"));
        for (int k = -2; k <= 2; ++k) {
            const int px = k == 0 ? 35 : 23;
            const int cy = 89 + 97 + k * 36;
            text(p, QRectF(x, cy - 20, w, 40), QString::number(value + k), px, tc);
        }
    };
    wheelAt(4, false, 14);
    wheelAt(67, false, 6);
    wheelAt(130, false, 24);
    p.end();
    QImage out = blank(240 + 140, 320, Qt::black);
    QPainter q;
    begin(q, out);
    q.drawImage(0, 0, img);
    q.end();
    // Large wheel beside the screen.
    QImage big = blank(140, 320, blue ? hex("#ececec") : hex("#585858"));
    QPainter r;
    begin(r, big);
    r.drawImage(6, 60, pic("wheel_" + theme + "_large.png"));
    for (int k = -2; k <= 2; ++k)
        text(r, QRectF(6, 60 + 97 + k * 36 - 20, 128, 40), QString::number(2024 + k), k == 0 ? 35 : 23, tc);
    r.end();
    begin(q, out);
    q.drawImage(240, 0, big);
    q.end();
    return out;
}

QImage warningScreen()
{
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    p.fillRect(QRect(0, 0, 240, 290), Qt::white);
    p.fillRect(QRect(0, 0, 240, 52), hex("#ffff00"));
    text(p, QRectF(0, 0, 240, 52), "Caution", 32, Qt::black);
    p.drawImage(8, 8, pic("warning.png"));
    text(p, QRectF(4, 56, 232, 40), "LASER RADIATION\nDO NOT STARE INTO BEAM", 16, Qt::black, Qt::AlignCenter | Qt::TextWordWrap, true);
    p.drawImage(70, 100, pic("laser.png"));
    text(p, QRectF(4, 192, 232, 90), "Class 2 laser product. The scanner emits visible light.", 16, Qt::black,
         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
    barMock(p, "blue", "", "", "@down");
    p.end();
    return img;
}

QImage jobScreen(const QString &theme)
{
    const bool blue = theme == "blue";
    QImage img = actualScreen(theme, false);
    QPainter p;
    begin(p, img);
    p.drawImage(QRect(0, 90, 240, 150), pic("jobPopup_" + theme + ".png"));
    p.setBrush(blue ? QColor("lightgray") : QColor("#000000"));
    p.setPen(QPen(blue ? QColor("#234461") : QColor("#9a9a9a"), 2));
    p.drawRect(QRectF(1, 84, 238, 154));
    p.setPen(Qt::NoPen);
    const QColor tc = blue ? Qt::black : Qt::white;
    text(p, QRectF(0, 100, 240, 45), "Job: 3", 30, tc);
    text(p, QRectF(12, 145, 216, 90), "Prg: 7 received", 22, tc);
    p.end();
    return img;
}

QImage languageScreen(const QString &theme)
{
    const bool blue = theme == "blue";
    QImage img = blank(240, 320, Qt::black);
    QPainter p;
    begin(p, img);
    headerMock(p, theme, 0.5, "ICON_ZK_blue_network-weiss.png");
    p.fillRect(QRect(0, 30, 240, 52), blue ? hex("#ffffff") : hex("#000000"));
    text(p, QRectF(0, 30, 240, 52), "Language", 32, blue ? Qt::black : Qt::white);
    p.drawImage(0, 82, pic("actual_bg_" + theme + ".png"));
    p.drawImage(0, 82 - 1, pic("list_header_" + theme + ".png"));
    const char *codes[] = {"de", "en", "fr", "jp"};
    const char *names[] = {"Deutsch", "English", "Fran\u00e7ais", "Japanese"};
    for (int i = 0; i < 4; ++i) {
        const int y = 82 + i * 52;
        p.drawImage(QRectF(17, y + 15, 31, 22), pic(QString("flag:") + codes[i]));
        text(p, QRectF(62, y, 170, 52), QString::fromUtf8(names[i]), 23, blue ? Qt::black : Qt::white,
             Qt::AlignLeft | Qt::AlignVCenter);
    }
    barMock(p, theme, "@up", "Select", "@down");
    p.end();
    return img;
}

} // namespace

QImage makeContactSheet(const std::vector<Picture> &pics, const std::vector<QImage> &images)
{
    for (size_t i = 0; i < pics.size(); ++i)
        g_img.insert(pics[i].dir == "flags" ? "flag:" + pics[i].name : pics[i].name, images[i]);

    const int width = 1400;
    // Mock-ups first.
    std::vector<QImage> mocks = {listScreen("blue"), listScreen("black"), actualScreen("blue", false),
                                 actualScreen("black", true), popupScreen("blue", true), popupScreen("black", true),
                                 popupScreen("blue", false), popupScreen("black", false), lowBatteryScreen("blue"),
                                 lowBatteryScreen("black"), wheelScreen("blue"), wheelScreen("black"),
                                 warningScreen(), jobScreen("blue"), jobScreen("black"),
                                 languageScreen("blue"), languageScreen("black")};
    // Lay out: mock-ups in rows, then every image enlarged with its name.
    struct Cell { QImage img; QString label; int scale; };
    std::vector<Cell> cells;
    for (size_t i = 0; i < pics.size(); ++i) {
        const QSize s = images[i].size();
        const int scale = s.width() <= 24 ? 6 : (s.width() <= 65 && s.height() <= 48 ? 3 : (s.width() <= 128 ? 2 : 1));
        cells.push_back({images[i], pics[i].dir + "/" + pics[i].name, scale});
    }

    // First pass computes the height.
    auto layout = [&](QPainter *p) {
        int x = 10, y = 10, rowH = 0;
        for (const QImage &m : mocks) {
            if (x + m.width() > width - 10) {
                x = 10;
                y += rowH + 12;
                rowH = 0;
            }
            if (p)
                p->drawImage(x, y, m);
            x += m.width() + 12;
            rowH = std::max(rowH, m.height());
        }
        x = 10;
        y += rowH + 24;
        rowH = 0;
        for (const Cell &c : cells) {
            const int w = std::max(c.img.width() * c.scale, 110) + 8;
            const int h = c.img.height() * c.scale + 22;
            if (x + w > width - 10) {
                x = 10;
                y += rowH + 10;
                rowH = 0;
            }
            if (p) {
                const QRect r(x, y, c.img.width() * c.scale, c.img.height() * c.scale);
                checker(*p, r);
                p->setRenderHint(QPainter::SmoothPixmapTransform, false);
                p->drawImage(r, c.img);
                p->setRenderHint(QPainter::SmoothPixmapTransform, true);
                text(*p, QRectF(x, y + r.height() + 2, w, 18), c.label, 11, Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
            }
            x += w + 6;
            rowH = std::max(rowH, h);
        }
        return y + rowH + 10;
    };
    const int height = layout(nullptr);
    QImage sheet = blank(width, height, hex("#303030"));
    QPainter p;
    begin(p, sheet);
    layout(&p);
    p.end();
    return sheet;
}
