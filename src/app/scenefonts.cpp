#include "scenefonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>

#include <fontconfig/fontconfig.h>

namespace {

// The scene brings its own fonts. Fontconfig only has to find the system's fonts for scripts
// they lack, and to say how glyphs are drawn. Its default set-up reads and parses some eighty
// files of rules and templates at every start, and runs those rules again for every font size
// the scene uses; this one is a few lines. It keeps the system's font folders and caches and
// Debian's way of drawing (slight hinting, grey-scale antialiasing). A fontconfig file or path
// given in the environment is left to fontconfig.
const char FontConfig[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <match target="pattern"><edit name="hintstyle" mode="append"><const>hintslight</const></edit></match>
  <match target="pattern"><edit name="antialias" mode="append"><bool>true</bool></edit></match>
  <match target="pattern"><edit name="lcdfilter" mode="append"><const>lcddefault</const></edit></match>
</fontconfig>
)";

// Before anything in the process has asked fontconfig: Qt's first use then takes this one.
void installFontConfig()
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE") || qEnvironmentVariableIsSet("FONTCONFIG_PATH"))
        return;
    FcConfig* config = FcConfigCreate();
    if (!config)
        return;
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(FontConfig), FcTrue)
        && FcConfigBuildFonts(config))
        FcConfigSetCurrent(config);
    FcConfigDestroy(config);
}

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

// Chinese and Japanese, which neither the device's font nor the bundled one draws: a system
// font the package depends on (fonts-wqy-microhei). Named after the scene's families it is
// their first fallback, so fontconfig's choice among other installed fonts does not matter;
// Qt opens it only for a character the first family lacks, so Latin and Cyrillic text never
// loads it.
const QString CjkFallback = QStringLiteral("WenQuanYi Micro Hei");

} // namespace

void installSceneFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    installFontConfig();
    if (QFontDatabase::families().contains(QStringLiteral("Tavik Sans"))) {
        QFont::insertSubstitution(QStringLiteral("Tavik Sans"), CjkFallback);
        QFont::insertSubstitution(QStringLiteral("Tavik Sans Medium"), CjkFallback);
        return;
    }
    addBundledFont(QStringLiteral(":/fonts/DejaVuSansCondensed.ttf"));
    addBundledFont(QStringLiteral(":/fonts/DejaVuSansCondensed-Bold.ttf"));
    const QStringList fallback { QStringLiteral("DejaVu Sans Condensed"), CjkFallback };
    QFont::insertSubstitution(QStringLiteral("DejaVu Sans Condensed"), CjkFallback);
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans"), fallback);
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans Medium"), fallback);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans Condensed")));
    // The database takes the added fonts in at its next use and then announces a change, on
    // which every Qt Quick window drops its fonts and lays out all its texts again at its
    // next frame. Taken in now, before the scene's window exists, that costs nothing.
    QFontDatabase::families();
}
