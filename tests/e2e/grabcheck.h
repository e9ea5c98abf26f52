#pragma once

// What the end-to-end tests look for on grabs of the display, and the set-up they share.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <functional>

#include "guirun.h"

namespace Grab {

inline bool isWhite(QRgb c) { return qRed(c) > 225 && qGreen(c) > 225 && qBlue(c) > 225; }
inline bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 70 && qBlue(c) < 70; }
inline bool isGreen(QRgb c) { return qGreen(c) > 150 && qRed(c) < 150 && qBlue(c) < 150; }
inline bool isDark(QRgb c) { return qGray(c) < 60; }

template <typename Test>
int count(const QImage& img, const QRect& r, Test test)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(img.pixel(x, y)) ? 1 : 0;
    return n;
}

inline int differing(const QImage& a, const QImage& b, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// The header has slid in: the battery outline's top edge is at y 6.
inline bool headerShown(const QImage& i)
{
    return i.size() == QSize(240, 320) && isWhite(i.pixel(20, 6)) && !isWhite(i.pixel(20, 4));
}

// A text on the bar's middle key.
inline bool barMiddle(const QImage& i) { return count(i, QRect(90, 295, 60, 20), isWhite) > 20; }

// The LEDs are round images: judged by their most saturated, brightest pixel (LED at x, y).
inline QRgb ledColour(const QImage& img, int x, int y)
{
    QRgb best = img.pixel(x + 11, y + 11);
    int bestScore = -1;
    for (int dy = 6; dy < 16; ++dy)
        for (int dx = 6; dx < 16; ++dx) {
            const QColor c(img.pixel(x + dx, y + dy));
            if (c.saturation() + c.value() > bestScore) {
                bestScore = c.saturation() + c.value();
                best = c.rgb();
            }
        }
    return best;
}

inline void save(const QImage& img, const QString& name)
{
    QDir().mkpath(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs"));
    img.save(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs/") + name + QStringLiteral(".png"));
}

// Changes the sample configuration before the GUI starts: a member of "global", or the main
// menu's entries.
inline bool editConfig(GuiRun& run, const std::function<void(QJsonObject&)>& change)
{
    QFile f(run.path(QStringLiteral("/home/tool/config/guiconfig.json")));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QJsonObject cfg = QJsonDocument::fromJson(f.readAll()).object();
    f.close();
    change(cfg);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QJsonDocument(cfg).toJson()) > 0;
}

inline bool setGlobal(GuiRun& run, const QString& key, const QString& value)
{
    return editConfig(run, [&](QJsonObject& cfg) {
        QJsonObject global = cfg.value(QStringLiteral("global")).toObject();
        global.insert(key, value);
        cfg.insert(QStringLiteral("global"), global);
    });
}

inline bool setMenu(GuiRun& run, const QStringList& states)
{
    return editConfig(run, [&](QJsonObject& cfg) {
        QJsonArray entries;
        for (const QString& state : states)
            entries.append(QJsonObject { { "state", state }, { "active", true } });
        QJsonObject view = cfg.value(QStringLiteral("view")).toObject();
        view.insert(QStringLiteral("MainMenu"), QJsonObject { { "entries", entries } });
        cfg.insert(QStringLiteral("view"), view);
    });
}

} // namespace Grab
