// Commands around faults and the display language: the pending-fault list, whether the
// system service accepts acknowledgements, and switching the GUI's language.
#include "toolsim.h"

#include "cmdutil.h"
#include "devicefiles.h"
#include "devicepaths.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace ToolSimUtil;

bool ToolSim::cmdFaults(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "faults", error) || !checkOptions(a, {}, error))
        return false;
    // Newest first, as "fackerrlist" takes them: "code/class" each.
    QStringList pending;
    for (int i = m_faults.size() - 1; i >= 0; --i)
        pending << QStringLiteral("%1/%2").arg(m_faults[i].first).arg(m_faults[i].second);
    done(true, pending.isEmpty() ? QStringLiteral("none") : pending.join(QLatin1Char(' ')));
    return true;
}

bool ToolSim::cmdFaultAck(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "faultack accept|refuse", error) || !checkOptions(a, {}, error))
        return false;
    const QString mode = a.positional[0];
    if (mode != QLatin1String("accept") && mode != QLatin1String("refuse")) {
        *error = QStringLiteral("usage: faultack accept|refuse");
        return false;
    }
    m_refuseAck = mode == QLatin1String("refuse");
    done(true, mode);
    return true;
}

// What the tool's configuration does when the language is changed elsewhere (the web
// interface): global.language of the GUI settings is rewritten and the change announced.
bool ToolSim::cmdLanguage(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "language CODE", error) || !checkOptions(a, {}, error) || !plainName(a.positional[0], error))
        return false;
    const QString path = QLatin1String(DevicePaths::GuiConfigFile);
    QJsonObject cfg = readJsonObject(path);
    QJsonObject global = cfg.value(QLatin1String("global")).toObject();
    global.insert(QStringLiteral("language"), a.positional[0]);
    cfg.insert(QStringLiteral("global"), global);
    if (!DeviceFiles::writeShared(path, QJsonDocument(cfg).toJson(QJsonDocument::Indented))) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    announce(path);
    done(true, a.positional[0]);
    return true;
}
