#include "scenefonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>

namespace {

// The bundled fonts are stored uncompressed in the program: the font database and FreeType
// then read them where they lie instead of each keeping a copy of a megabyte on the heap.
void addBundledFont(const QString& path)
{
    const QResource resource(path);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression)
        QFontDatabase::addApplicationFontFromData(
            QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size()));
    else
        QFontDatabase::addApplicationFont(path);
}

} // namespace

void installSceneFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tavik Sans")))
        return;
    addBundledFont(QStringLiteral(":/fonts/DejaVuSansCondensed.ttf"));
    addBundledFont(QStringLiteral(":/fonts/DejaVuSansCondensed-Bold.ttf"));
    const QStringList fallback { QStringLiteral("DejaVu Sans Condensed") };
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans"), fallback);
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans Medium"), fallback);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans Condensed")));
    // The database takes the added fonts in at its next use and then announces a change, on
    // which every Qt Quick window drops its fonts and lays out all its texts again at its
    // next frame. Taken in now, before the scene's window exists, that costs nothing.
    QFontDatabase::families();
}
