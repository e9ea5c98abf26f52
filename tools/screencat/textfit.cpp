#include "textfit.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// QQuickText's enumerations, as the scene sets them.
constexpr int ElideNone = 3;
constexpr int FixedSize = 0;
constexpr int NoWrap = 0;
constexpr int PlainText = 0;
constexpr int AutoText = 2;

// Layout boxes include the font's leading and descent: a text is cut or drawn over another
// only when more than this share of a line is concerned.
constexpr qreal LineShare = 0.3;
constexpr qreal Slack = 1.5;
// Pictures up to this size are icons that no text may cover; larger ones are backgrounds.
constexpr qreal IconSize = 65;

struct Shown
{
    QQuickItem* item = nullptr;
    QQuickItem* layer = nullptr;
    QString text;
    QRectF visible;
    qreal lineHeight = 0;
    int order = 0;
    bool picture = false;
};

qreal effectiveOpacity(QQuickItem* item)
{
    qreal o = 1;
    for (QQuickItem* i = item; i; i = i->parentItem())
        o *= i->opacity();
    return o;
}

QQuickItem* layerOf(QQuickItem* item, QQuickItem* scene)
{
    QQuickItem* i = item;
    while (i->parentItem() && i->parentItem() != scene)
        i = i->parentItem();
    return i;
}

QString placeOf(QQuickItem* item, QQuickItem* scene)
{
    QStringList names;
    for (QQuickItem* i = item; i && i != scene; i = i->parentItem()) {
        if (!i->objectName().isEmpty())
            names.prepend(i->objectName());
        if (names.size() == 2)
            break;
    }
    return names.join(QLatin1Char('/'));
}

// The part of the scene in which the item can be seen: the screen, cut down by every
// clipping ancestor and by the header and the button bar over the screens. `scrolled`
// tells that a list or a wheel clips it up or down: that is scrolling, not cutting.
QRectF roomOf(QQuickItem* item, QQuickItem* scene, const QList<QQuickItem*>& strips, bool* scrolled = nullptr)
{
    QRectF room(0, 0, scene->width(), scene->height());
    bool scrolling = false;
    bool scrolledClip = false;
    for (QQuickItem* a = item; a && a != scene; a = a->parentItem()) {
        if (a != item && (a->inherits("QQuickFlickable") || a->inherits("QQuickPathView")))
            scrolling = true;
        if (!a->clip())
            continue;
        const QRectF clip = a->mapRectToScene(a->clipRect());
        if (scrolling && (clip.top() > room.top() || clip.bottom() < room.bottom()))
            scrolledClip = true;
        room = room.intersected(clip);
    }
    if (scrolled)
        *scrolled = scrolledClip;
    QQuickItem* layer = layerOf(item, scene);
    for (QQuickItem* strip : strips) {
        if (strip == layer || strip->z() <= layer->z())
            continue;
        const QRectF r = strip->mapRectToScene(QRectF(0, 0, strip->width(), strip->height()));
        if (r.bottom() <= 0 || r.top() >= scene->height())
            continue;
        if (r.top() <= 0)
            room.setTop(std::max(room.top(), r.bottom()));
        else
            room.setBottom(std::min(room.bottom(), r.top()));
    }
    return room;
}

// The items in the order they are painted: parents before their children, siblings by z.
void paintOrder(QQuickItem* item, QList<QQuickItem*>& out)
{
    out.append(item);
    QList<QQuickItem*> children = item->childItems();
    std::stable_sort(children.begin(), children.end(),
                     [](QQuickItem* a, QQuickItem* b) { return a->z() < b->z(); });
    for (QQuickItem* c : std::as_const(children))
        paintOrder(c, out);
}

// A filled rectangle or a picture that hides what was painted before it.
bool opaque(QQuickItem* item)
{
    if (!item->isVisible() || effectiveOpacity(item) < 0.99 || item->width() < 1 || item->height() < 1)
        return false;
    if (item->inherits("QQuickRectangle"))
        return item->property("color").value<QColor>().alpha() == 255;
    return item->inherits("QQuickImage") && item->property("status").toInt() == 1;
}

// Where the text's layout lies in the item, from its alignment and content size (rich text
// reports no more than the item's own rectangle as its bounds).
QRectF layoutRect(QQuickItem* item)
{
    const qreal w = item->property("contentWidth").toReal();
    const qreal h = item->property("contentHeight").toReal();
    const qreal left = item->property("leftPadding").toReal();
    const qreal right = item->width() - item->property("rightPadding").toReal();
    const qreal top = item->property("topPadding").toReal();
    const qreal bottom = item->height() - item->property("bottomPadding").toReal();
    const int h_align = item->property("effectiveHorizontalAlignment").toInt();
    const int v_align = item->property("verticalAlignment").toInt();
    const qreal x = (h_align & Qt::AlignRight) ? right - w : (h_align & Qt::AlignHCenter) ? (left + right - w) / 2 : left;
    const qreal y = (v_align & Qt::AlignBottom) ? bottom - h : (v_align & Qt::AlignVCenter) ? (top + bottom - h) / 2 : top;
    return QRectF(x, y, w, h);
}

// A rule drawn with one character repeated ("_____") is a line, not a text.
bool isRule(const QString& text)
{
    const QString t = text.trimmed();
    return t.size() > 3 && !t.at(0).isLetterOrNumber() && t.count(t.at(0)) == t.size();
}

} // namespace

QString TextFinding::kindName(Kind kind)
{
    switch (kind) {
    case Shrunk: return QStringLiteral("shrunk");
    case Elided: return QStringLiteral("elided");
    case Cut: return QStringLiteral("cut");
    case Overlap: return QStringLiteral("overlaps");
    }
    return QString();
}

QStringList plainLines(const QString& text, bool styled)
{
    QString plain = text;
    if (styled) {
        plain.replace(QRegularExpression(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption),
                      QStringLiteral("\n"));
        plain.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        plain.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
        plain.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        plain.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        plain.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        plain.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    plain.replace(QChar(0x2028), QLatin1Char('\n'));
    return plain.split(QLatin1Char('\n'));
}

QList<TextFinding> inspectTexts(QQuickItem* scene, bool scrolls)
{
    QList<TextFinding> findings;
    if (!scene)
        return findings;

    QList<QQuickItem*> strips;
    QList<QQuickItem*> boxes;
    QList<QQuickItem*> all;
    paintOrder(scene, all);
    for (QQuickItem* i : std::as_const(all)) {
        if (i->parentItem() == scene && (i->objectName() == QLatin1String("header")
                                         || i->objectName() == QLatin1String("buttonBar")) && i->isVisible())
            strips.append(i);
        if (i->objectName() == QLatin1String("jobPopupBox") && i->isVisible() && effectiveOpacity(i) > 0.01)
            boxes.append(i);
    }

    QList<Shown> shown;
    for (QQuickItem* item : std::as_const(all)) {
        if (!item->inherits("QQuickText") || !item->isVisible() || effectiveOpacity(item) < 0.01)
            continue;
        const QString text = item->property("text").toString();
        if (text.trimmed().isEmpty() || isRule(text))
            continue;
        const QRectF layout = layoutRect(item);
        const QRectF drawn = item->mapRectToScene(layout.isEmpty() ? item->boundingRect() : layout);
        if (drawn.width() <= 0 || drawn.height() <= 0)
            continue;
        // under the job display
        QQuickItem* layer = layerOf(item, scene);
        bool covered = false;
        for (QQuickItem* box : std::as_const(boxes)) {
            if (layerOf(box, scene) != layer && layerOf(box, scene)->z() > layer->z()
                && box->mapRectToScene(QRectF(0, 0, box->width(), box->height())).intersects(drawn))
                covered = true;
        }
        bool listClips = false;
        const QRectF room = roomOf(item, scene, strips, &listClips);
        const bool scrolled = scrolls || listClips;
        const QRectF visible = drawn.intersected(room);
        if (covered || visible.isEmpty())
            continue;

        const QFont font = item->property("font").value<QFont>();
        const QFontMetricsF metrics(font);
        const int format = item->property("textFormat").toInt();
        const bool styled = format != PlainText && (format != AutoText || Qt::mightBeRichText(text));
        const QStringList lines = plainLines(text, styled);
        qreal natural = 0;
        for (const QString& line : lines)
            natural = std::max(natural, metrics.horizontalAdvance(line));

        const bool elides = item->property("elide").toInt() != ElideNone;
        const bool truncated = item->property("truncated").toBool();
        const bool fits = item->property("fontSizeMode").toInt() != FixedSize;
        const bool wraps = item->property("wrapMode").toInt() != NoWrap;
        const bool ownWidth = item->width() > 0.5 && std::abs(item->width() - item->implicitWidth()) > 0.5;
        const qreal inner = item->width() - item->property("leftPadding").toReal() - item->property("rightPadding").toReal();
        const qreal lineSlack = LineShare * metrics.height();

        TextFinding f;
        f.text = lines.join(QLatin1Char(' ')).simplified();
        f.where = placeOf(item, scene);
        f.width = natural;
        f.room = ownWidth ? inner : room.width();
        f.box = drawn;
        bool found = true;
        if (drawn.left() < room.left() - Slack || drawn.right() > room.right() + Slack) {
            f.kind = TextFinding::Cut;
            f.width = drawn.width();
            f.room = visible.width();
        } else if (!scrolled && (drawn.top() < room.top() - lineSlack || drawn.bottom() > room.bottom() + lineSlack)) {
            f.kind = TextFinding::Cut;
            f.vertical = true;
            f.width = drawn.height();
            f.room = visible.height();
        } else if (truncated && elides) {
            f.kind = TextFinding::Elided;
        } else if (fits && !wraps && natural > f.room + Slack) {
            f.kind = TextFinding::Shrunk;
        } else {
            found = false;
        }
        if (found)
            findings.append(f);
        shown.append({ item, layer, f.text, visible, metrics.height(), int(all.indexOf(item)) });
    }

    // Small pictures (icons, lights, flags) must not be drawn over by a text either.
    for (QQuickItem* item : std::as_const(all)) {
        if (!item->inherits("QQuickImage") || !item->isVisible() || effectiveOpacity(item) < 0.01
            || item->property("status").toInt() != 1 || item->width() > IconSize || item->height() > IconSize
            || item->width() < 2 || item->height() < 2
            || item->property("source").toUrl().fileName().startsWith(QLatin1String("transparent")))
            continue;
        const QRectF visible = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()))
                                   .intersected(roomOf(item, scene, strips));
        if (!visible.isEmpty())
            shown.append({ item, layerOf(item, scene), QStringLiteral("picture ") + item->property("source").toUrl().fileName(),
                           visible, item->height(), int(all.indexOf(item)), true });
    }

    for (int a = 0; a < shown.size(); ++a) {
        for (int b = a + 1; b < shown.size(); ++b) {
            const Shown& x = shown.at(a);
            const Shown& y = shown.at(b);
            if (x.layer != y.layer || (x.picture && y.picture) || x.item->isAncestorOf(y.item) || y.item->isAncestorOf(x.item))
                continue;
            const QRectF both = x.visible.intersected(y.visible);
            if (both.width() <= 2 || both.height() <= LineShare * std::min(x.lineHeight, y.lineHeight))
                continue;
            // something opaque painted after the first of them hides the place where they meet
            bool hidden = false;
            for (int c = std::min(x.order, y.order) + 1; c < all.size() && !hidden; ++c) {
                QQuickItem* cover = all.at(c);
                if (cover != x.item && cover != y.item && opaque(cover)) {
                    const QRectF r = cover->mapRectToScene(QRectF(0, 0, cover->width(), cover->height()))
                                         .intersected(roomOf(cover, scene, strips));
                    hidden = r.adjusted(-1, -1, 1, 1).contains(both);
                }
            }
            if (hidden)
                continue;
            TextFinding f;
            f.kind = TextFinding::Overlap;
            f.text = x.text;
            f.other = y.text;
            f.where = placeOf(x.item, scene);
            f.width = both.width();
            f.room = both.height();
            f.box = both;
            findings.append(f);
        }
    }
    return findings;
}
