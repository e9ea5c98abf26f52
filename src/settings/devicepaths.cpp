#include "devicepaths.h"

#include <QDir>

namespace DevicePaths {

QString sysroot()
{
    QString root = qEnvironmentVariable("TOOL_SYSROOT");
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    if (root == QLatin1String("/"))
        root.clear();
    return root;
}

QString map(const QString& devicePath)
{
    const QString root = sysroot();
    if (root.isEmpty() || !devicePath.startsWith(QLatin1Char('/')))
        return devicePath;
    if (devicePath == root || devicePath.startsWith(root + QLatin1Char('/')))
        return devicePath;
    return root + devicePath;
}

QString unmap(const QString& hostPath)
{
    const QString root = sysroot();
    if (!root.isEmpty() && hostPath.startsWith(root + QLatin1Char('/')))
        return hostPath.mid(root.size());
    return hostPath;
}

QString runtimeRoot()
{
    if (qEnvironmentVariableIsSet("LOCAL_VAR_ROOT_PATH"))
        return qEnvironmentVariable("LOCAL_VAR_ROOT_PATH");
    return map(QStringLiteral("/var/run/"));
}

} // namespace DevicePaths
