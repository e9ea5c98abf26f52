// Commands around the services' presence on the bus.
#include "toolsim.h"

#include "cmdutil.h"

using namespace ToolSimUtil;

// A service leaves the bus and comes back under the same name, as after its restart: a
// restarted system service knows nothing of the GUI's ready flag.
bool ToolSim::cmdRestart(const Args& a, const Done& done, QString* error)
{
    static const char* usage = "restart sys|wlan (the service leaves the bus and comes back)";
    if (!needArgs(a, 1, 1, usage, error) || !checkOptions(a, {}, error))
        return false;
    const QString which = a.positional[0];
    QString name;
    if (which == QLatin1String("sys"))
        name = QStringLiteral("com.velmar.akku.SysService");
    else if (which == QLatin1String("wlan"))
        name = QStringLiteral("com.velmar.akku.WlanService");
    else {
        *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
        return false;
    }
    m_bus.unregisterService(name);
    if (which == QLatin1String("sys"))
        m_ist &= ~(1 << 7); // the GUI's flag
    if (!m_bus.registerService(name)) {
        *error = QStringLiteral("cannot own %1: %2").arg(name, m_bus.lastError().message());
        return false;
    }
    say(QStringLiteral("   %1 restarted").arg(name));
    done(true, QStringLiteral("ok"));
    return true;
}
