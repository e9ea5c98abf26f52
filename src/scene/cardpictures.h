#pragma once

#include <QQuickImageProvider>

class QQmlEngine;

// "image://cardpics/<percent-encoded host path>": a picture on the memory card. It is read
// like every other file (without blocking, regular files only, at most MaxBytes) and only
// when it lies on the card once every link is resolved, then decoded from memory at the
// requested size. Anything else gives no picture, which the viewer reports.
class CardPictures : public QQuickImageProvider
{
public:
    static constexpr qint64 MaxBytes = 32 * 1024 * 1024;
    // Decoder memory per picture, in MiB (the reader refuses larger pictures).
    static constexpr int MaxDecodeMiB = 128;

    CardPictures();
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    static void install(QQmlEngine* engine);
};
