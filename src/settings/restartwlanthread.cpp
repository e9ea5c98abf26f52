#include "restartwlanthread.h"

#include <cstdlib>
#include <sys/wait.h>

#include "devicepaths.h"
#include "systemlog.h"

namespace {

// A path as one word of a shell command.
QByteArray shellQuoted(const QString& path)
{
    QByteArray quoted = path.toUtf8();
    quoted.replace('\'', "'\\''");
    return '\'' + quoted + '\'';
}

} // namespace

void RestartWlanThread::run()
{
    // The shell becomes the script, so a script ended by a signal is seen as such and not
    // as the shell's 128 + signal.
    const QByteArray command = "exec " + shellQuoted(DevicePaths::map(QString::fromLatin1(Script))) + " restart";
    const int status = std::system(command.constData());
    if (status != -1 && WIFEXITED(status))
        m_exitCode = WEXITSTATUS(status);
    else
        m_exitCode = Killed;
    SystemLog::debug(QStringLiteral("wlan restart script started. exitcode: %1").arg(m_exitCode));
}
