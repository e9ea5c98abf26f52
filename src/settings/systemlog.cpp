#include "systemlog.h"

#include <QMutex>
#include <cstdio>
#include <syslog.h>

namespace SystemLog {

namespace {
QMutex g_captureMutex;
bool g_capturing = false;
QStringList g_captured;
bool g_opened = false;
}

void open()
{
    openlog("newgui", LOG_PID, LOG_USER);
    g_opened = true;
}

void write(Level level, const QString& message)
{
    const QByteArray text = message.toUtf8();
    if (!g_opened)
        open();
    syslog(level, "%s", text.constData());
    static const bool mirror = qEnvironmentVariableIntValue("NEWGUI_LOG_STDERR") != 0;
    if (mirror) {
        std::fprintf(stderr, "<%d>%s\n", int(level), text.constData());
        std::fflush(stderr);
    }
    QMutexLocker lock(&g_captureMutex);
    if (g_capturing)
        g_captured << QStringLiteral("<%1>%2").arg(int(level)).arg(message);
}

void startCapture()
{
    QMutexLocker lock(&g_captureMutex);
    g_captured.clear();
    g_capturing = true;
}

QStringList capturedLines()
{
    QMutexLocker lock(&g_captureMutex);
    return g_captured;
}

void stopCapture()
{
    QMutexLocker lock(&g_captureMutex);
    g_capturing = false;
    g_captured.clear();
}

} // namespace SystemLog
