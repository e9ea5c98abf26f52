#include "cardpictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QQmlEngine>
#include <QUrl>

#include "configexchange.h"
#include "saferead.h"

CardPictures::CardPictures()
    : QQuickImageProvider(QQuickImageProvider::Image, QQmlImageProviderBase::ForceAsynchronousImageLoading)
{
}

QImage CardPictures::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    QImage image;
    const QString path = ConfigExchange::onCard(QUrl::fromPercentEncoding(id.toUtf8()));
    QByteArray data;
    // One byte more than allowed tells a file that is too large from one that just fits.
    if (!path.isEmpty() && SafeRead::read(path, data, SafeRead::NoOption, MaxBytes + 1) == SafeRead::Ok && data.size() <= MaxBytes) {
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        reader.setAllocationLimit(MaxDecodeMiB);
        const QSize full = reader.size();
        if (full.isValid() && requestedSize.width() > 0 && requestedSize.height() > 0)
            reader.setScaledSize(full.scaled(requestedSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        image = reader.read();
    }
    if (size)
        *size = image.size();
    return image;
}

void CardPictures::install(QQmlEngine* engine)
{
    engine->addImageProvider(QStringLiteral("cardpics"), new CardPictures);
}
