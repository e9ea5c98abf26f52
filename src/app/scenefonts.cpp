#include "scenefonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

void installSceneFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tavik Sans")))
        return;
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansCondensed.ttf"));
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansCondensed-Bold.ttf"));
    const QStringList fallback { QStringLiteral("DejaVu Sans Condensed") };
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans"), fallback);
    QFont::insertSubstitutions(QStringLiteral("Tavik Sans Medium"), fallback);
    QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans Condensed")));
}
