#include "pictureprovider.h"

#include <QQmlEngine>
#include <QUrl>
#include <cstring>

#include "rawpictures.h"

namespace {

QImage builtIn(const QString& name)
{
    const QByteArray key = name.toUtf8();
    for (int i = 0; i < RawPictures::Count; ++i) {
        const RawPictures::Entry& e = RawPictures::Table[i];
        if (std::strcmp(e.name, key.constData()) == 0)
            // Read-only data: the image copies itself before anything could write to it.
            return QImage(RawPictures::Data + e.offset, e.width, e.height, e.bytesPerLine, e.format);
    }
    return QImage();
}

} // namespace

PictureProvider::PictureProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
{
}

QImage PictureProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QString name = QUrl::fromPercentEncoding(id.toUtf8());
    const QImage image = builtIn(name);
    if (size)
        *size = image.size();
    if (!image.isNull() && requestedSize.isValid() && requestedSize != image.size())
        return image.scaled(requestedSize.width() > 0 ? requestedSize.width() : image.width(),
            requestedSize.height() > 0 ? requestedSize.height() : image.height(), Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
    return image;
}

void PictureProvider::install(QQmlEngine* engine)
{
    engine->addImageProvider(QStringLiteral("pics"), new PictureProvider);
}
