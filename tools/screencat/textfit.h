#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QQuickItem;

// What the operator would see of the texts on one frame of the scene: every visible text
// that does not fit the room it has, and every two texts drawn over each other.
struct TextFinding
{
    enum Kind { Shrunk, Elided, Cut, Overlap };
    Kind kind = Cut;
    QString text;     // the text as the scene holds it (markup reduced to plain text)
    qreal width = 0;  // its width at its own font size
    qreal room = 0;   // the width it has
    bool vertical = false; // width and room are heights
    QString other;    // Overlap: the text it is drawn over
    QString where;    // the objectNames of the item and its nearest named ancestor
    QRectF box;       // where on the scene

    bool fails() const { return kind == Cut || kind == Overlap; }
    static QString kindName(Kind kind);
};

// Inspects every visible Text item under `scene` (the 240 x 320 root). On a screen that
// `scrolls`, a text running out at the top or the bottom is scrolled, not cut.
QList<TextFinding> inspectTexts(QQuickItem* scene, bool scrolls = false);

// The text of a Text item without markup, one entry per line.
QStringList plainLines(const QString& text, bool styled);
