#include "powercontrol.h"

#include "devicepaths.h"
#include "systemlog.h"

QString PowerControl::command(const QString& name)
{
    if (DevicePaths::sysroot().isEmpty())
        return name;
    const QString dir = name == QLatin1String("hwclock") ? QStringLiteral("/sbin/") : QStringLiteral("/bin/");
    return DevicePaths::map(dir + name);
}

bool PowerControl::startScript(const QString& devicePath)
{
    if (m_power.state() != QProcess::NotRunning) {
        SystemLog::warning(QStringLiteral("%1 not started: a power script still runs").arg(devicePath));
        return false;
    }
    m_power.start(DevicePaths::map(devicePath), {}, QIODevice::ReadWrite);
    return m_power.waitForStarted(5000);
}

void PowerControl::runToEnd(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, args);
    if (!process.waitForStarted(5000))
        return;
    if (!process.waitForFinished(CommandTimeoutMs)) {
        SystemLog::warning(QStringLiteral("%1 did not finish; ended").arg(program));
        process.kill();
        process.waitForFinished(1000);
    }
}

void PowerControl::setClock(const QString& datetime)
{
    SystemLog::info(QStringLiteral("about to invoke date -s ") + datetime);
    runToEnd(command(QStringLiteral("date")), { QStringLiteral("-s"), datetime });
    runToEnd(command(QStringLiteral("hwclock")), { QStringLiteral("-uw") });
}
