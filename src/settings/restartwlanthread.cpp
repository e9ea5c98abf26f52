#include "restartwlanthread.h"

#include <QProcess>

#include <csignal>
#include <unistd.h>

#include "devicepaths.h"
#include "systemlog.h"

namespace {

// A path as one word of a shell command.
QString shellQuoted(const QString& path)
{
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

void RestartWlanThread::run()
{
    // The shell becomes the script, so a script ended by a signal is seen as such and not
    // as the shell's 128 + signal.
    const QString command = QStringLiteral("exec ") + shellQuoted(DevicePaths::map(QString::fromLatin1(Script))) + QStringLiteral(" restart");
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedChannels);
    shell.setInputChannelMode(QProcess::ForwardedInputChannel);
    shell.setChildProcessModifier([] { ::setpgid(0, 0); });
    shell.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), command });
    m_exitCode = Killed;
    if (shell.waitForStarted(5000)) {
        if (shell.waitForFinished(m_timeLimitMs)) {
            if (shell.exitStatus() == QProcess::NormalExit)
                m_exitCode = shell.exitCode();
        } else {
            SystemLog::warning(QStringLiteral("wlan restart script did not finish; ended"));
            ::kill(-pid_t(shell.processId()), SIGKILL);
            shell.kill();
            shell.waitForFinished(5000);
        }
    }
    SystemLog::debug(QStringLiteral("wlan restart script started. exitcode: %1").arg(m_exitCode));
}
