#include "wlanstatus.h"

#include <QVariantList>
#include <QVariantMap>

#include "saferead.h"
#include "jsonfile.h"

namespace WlanStatus {

int signalBars(int level)
{
    if (level < -150 || level > -30)
        return 0;
    if (level >= -50)
        return 5;
    if (level >= -55)
        return 4;
    if (level >= -65)
        return 3;
    if (level >= -74)
        return 2;
    return 1;
}

QString ssid(const QString& wlanConfigPath)
{
    const QString notFound = QStringLiteral("Not found");
    QVariant parsed;
    if (!JsonFile::parse(parsed, wlanConfigPath))
        return notFound;
    const QVariantMap config = parsed.toMap();
    if (!config.value(QStringLiteral("interface")).toBool())
        return config.contains(QStringLiteral("interface")) ? QStringLiteral("-") : notFound;
    const QVariantList connections = config.value(QStringLiteral("connections")).toList();
    if (connections.isEmpty())
        return notFound;
    const QVariantMap wlan = connections.first().toMap().value(QStringLiteral("wlan")).toMap();
    const auto it = wlan.constFind(QStringLiteral("ssid"));
    return it == wlan.constEnd() ? notFound : it->toString();
}

bool interfaceActive(const QString& wlanConfigPath)
{
    QVariant parsed;
    if (!JsonFile::parse(parsed, wlanConfigPath))
        return false;
    return parsed.toMap().value(QStringLiteral("interface")).toBool();
}

QString bssid(const QString& stationInfoPath)
{
    QString result = QStringLiteral("-");
    QByteArray content;
    if (SafeRead::read(stationInfoPath, content, SafeRead::NoOption) != SafeRead::Ok)
        return result;
    for (const QByteArray& raw : content.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (!line.contains(QLatin1String("BSSID")) || !line.contains(QLatin1Char(':')))
            continue;
        QString value = line.section(QLatin1Char(':'), 1, 1);
        value.remove(QLatin1Char('\n'));
        value.remove(QLatin1Char(' '));
        result = value;
    }
    return result;
}

} // namespace WlanStatus
