#pragma once

#include <QQuickImageProvider>

class QQmlEngine;

// "image://pics/<file name>": the scene's pictures, drawn from the program's read-only data
// where they lie. Nothing is decoded and no picture is copied into the heap, and no picture
// format plugin is consulted. A name that is not built in gives no picture.
class PictureProvider : public QQuickImageProvider
{
public:
    PictureProvider();
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // Makes the provider known to `engine` as "pics".
    static void install(QQmlEngine* engine);
};
