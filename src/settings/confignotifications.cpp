#include "confignotifications.h"

#include "devicepaths.h"

namespace {
const QString AllPrograms = QStringLiteral("prg_importer");
}

ConfigNotifications::ConfigNotifications(QObject* parent)
    : QObject(parent)
{
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &ConfigNotifications::flush);
}

QString ConfigNotifications::reloadKey(const QString& path)
{
    QString key;
    if (path.contains(QLatin1String("guiconfig.json")))
        key = QStringLiteral("guiconfig.json");
    else if (path.contains(QLatin1String("wlan.json")))
        key = QStringLiteral("wlan.json");
    else if (path.contains(QLatin1String("ChanCfg.json")))
        key = QStringLiteral("ChanCfg.json");
    else if (path.contains(QLatin1String("srbprg/prg")))
        key = QLatin1String("srbprg/") + path.section(QLatin1Char('/'), -1); // one file
    else if (path.contains(QLatin1String(DevicePaths::PrgImporterMarker)))
        key = AllPrograms;
    else if (path.contains(QLatin1String("job")))
        key = QStringLiteral("job");
    if (path.contains(QLatin1String("masterjob")))
        key += QLatin1String("+masterjob");
    return key;
}

void ConfigNotifications::notify(const QString& devicePath)
{
    QString key = reloadKey(devicePath);
    if (key.isEmpty())
        return;
    QString path = devicePath;
    if (key.startsWith(QLatin1String("srbprg/")) && !m_latest.contains(key)) {
        if (m_programFiles >= MaxProgramFiles) {
            key = AllPrograms;
            path = QString::fromLatin1(DevicePaths::PrgImporterMarker);
        } else {
            ++m_programFiles;
        }
    }
    if (!m_latest.contains(key))
        m_order.append(key);
    m_latest.insert(key, path);
    if (m_order.size() == 1 && !m_quiet.isActive())
        m_firstPending.start();
    if (m_firstPending.elapsed() < MaxDelayMs)
        m_quiet.start(QuietMs);
    else if (!m_quiet.isActive())
        m_quiet.start(0);
}

void ConfigNotifications::flush()
{
    const QStringList order = m_order;
    const QHash<QString, QString> latest = m_latest;
    m_order.clear();
    m_latest.clear();
    m_programFiles = 0;
    for (const QString& key : order)
        Q_EMIT changed(latest.value(key));
}
