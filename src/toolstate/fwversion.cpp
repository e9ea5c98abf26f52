#include "fwversion.h"

#include <QStringList>

#include "systemlog.h"

FwVersion::FwVersion(const QString& version)
    : m_version(version)
{
    const QStringList parts = version.split(QLatin1Char('-'), Qt::KeepEmptyParts);
    if (parts.size() < 3) {
        SystemLog::error(QStringLiteral("Version format is not supported: \"%1\"").arg(version));
        return;
    }
    m_second = parts.at(1);
    m_third = parts.at(2);
    m_osName = QLatin1String(OsPrefix) + m_second;
}
