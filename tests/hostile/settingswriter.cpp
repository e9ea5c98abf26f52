// The GUI's settings save in a process of its own, for the crash test: saves the two texts
// of savetexts.h in turn, for ever, into guiconfig.json ("cfg") or wlan.json ("wlan") under
// TOOL_SYSROOT; prints "saving" once the first save has begun.
#include <QCoreApplication>
#include <cstdio>

#include "savetexts.h"
#include "settingsfiles.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool wlan = argc > 1 && qstrcmp(argv[1], "wlan") == 0;
    SettingsFiles settings;
    std::puts("saving");
    std::fflush(stdout);
    for (int i = 0;; i ^= 1) {
        if (wlan)
            settings.setWlan(SaveTexts::text(i));
        else
            settings.setCfg(SaveTexts::text(i));
    }
}
