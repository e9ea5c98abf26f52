#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <functional>
#include <vector>

// One generated file: where it goes, its name and how it is drawn.
struct Picture {
    QString dir;   // "pics" or "flags"
    QString name;  // file name inside dir
    QSize size;
    std::function<QImage()> make;
};

// Collectors of each drawing module; main() concatenates them.
void addFrames(std::vector<Picture> &out);
void addIcons(std::vector<Picture> &out);
void addSigns(std::vector<Picture> &out);
void addFlags(std::vector<Picture> &out);

// Contact sheet of everything generated, for review only.
QImage makeContactSheet(const std::vector<Picture> &pics, const std::vector<QImage> &images);

namespace paint {

QImage blank(int w, int h, QColor fill = Qt::transparent);

// Draws in w x h logical pixels on a canvas `factor` times larger and shrinks it
// with area averaging: crisper small shapes than plain antialiasing.
QImage supersampled(int w, int h, int factor, const std::function<void(QPainter &)> &draw);

void begin(QPainter &p, QImage &img);

QColor rgba(int r, int g, int b, int a = 255);
QColor hex(const char *name, int alpha = 255);

// Vertical gradient from y0 to y1 with stops given as (position, colour).
QLinearGradient vgrad(qreal y0, qreal y1, std::initializer_list<std::pair<qreal, QColor>> stops);
QLinearGradient hgrad(qreal x0, qreal x1, std::initializer_list<std::pair<qreal, QColor>> stops);

// Path of a stroked arc with an arrowhead at its end. Angles in degrees, counter-clockwise
// from 3 o'clock as on screen; a negative span runs clockwise.
QPainterPath arcArrow(QPointF centre, qreal radius, qreal startDeg, qreal spanDeg,
                      qreal width, qreal headLength, qreal headWidth);

// Outline of `shape` grown by `width` / 2 (for halos behind glyphs).
QPainterPath grown(const QPainterPath &shape, qreal width);

// Fills the glyph with `fill` over a soft dark halo so it reads on light and dark grounds.
void glyph(QPainter &p, const QPainterPath &shape, const QColor &fill, int haloAlpha = 90,
           qreal haloWidth = 1.6, QPointF haloOffset = QPointF(0, 0.6));

} // namespace paint
