#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

TempSysroot::TempSysroot()
{
    m_hadPrevious = qEnvironmentVariableIsSet("TOOL_SYSROOT");
    m_previous = qgetenv("TOOL_SYSROOT");
    qputenv("TOOL_SYSROOT", m_dir.path().toUtf8());
}

TempSysroot::~TempSysroot()
{
    if (m_hadPrevious)
        qputenv("TOOL_SYSROOT", m_previous);
    else
        qunsetenv("TOOL_SYSROOT");
}

QString TempSysroot::path(const QString& devicePath) const
{
    return m_dir.path() + devicePath;
}

bool TempSysroot::write(const QString& devicePath, const QByteArray& content) const
{
    const QString p = path(devicePath);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray TempSysroot::read(const QString& devicePath) const
{
    QFile f(path(devicePath));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TempSysroot::mkdir(const QString& devicePath) const
{
    return QDir().mkpath(path(devicePath));
}

bool TempSysroot::remove(const QString& devicePath) const
{
    const QString p = path(devicePath);
    if (QFileInfo(p).isDir())
        return QDir(p).removeRecursively();
    return QFile::remove(p);
}

void endWithTest(QProcess& process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // the test ended before the signal was armed
            ::_exit(1);
    });
}

PrivateBus::PrivateBus()
{
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({ QStringLiteral("--config-file=" NG_SOURCE_DIR "/tools/dbus/bus.conf"), QStringLiteral("--print-address"), QStringLiteral("--nofork") });
    // The bus ends with the test process also when a test never deletes it, fails or is killed.
    endWithTest(m_daemon);
    m_daemon.start();
    if (!m_daemon.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(5000);
    QByteArray line;
    while (!deadline.hasExpired() && !line.contains('\n')) {
        m_daemon.waitForReadyRead(100);
        line += m_daemon.readAllStandardOutput();
    }
    m_address = QString::fromUtf8(line).trimmed();
    if (!m_address.isEmpty())
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
}

PrivateBus::~PrivateBus()
{
    m_daemon.terminate();
    m_daemon.waitForFinished(2000);
}

bool waitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

void useBenchDisplay()
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NG_SOURCE_DIR "/tools/offscreen/display.json");
    qputenv("QT_FONT_DPI", "72");
    qputenv("QT_QUICK_BACKEND", "software");
}

// Starts "toolsim run --sysroot <root> --fresh" and waits up to 10 s for "toolsim ready".
static bool startToolSim(QProcess& sim, const QString& root)
{
    sim.start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), root, QStringLiteral("--fresh") });
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains("toolsim ready"); ++i) {
        sim.waitForReadyRead(100);
        out += sim.readAllStandardOutput();
    }
    return out.contains("toolsim ready");
}

QDBusMessage BenchTool::runMessage(const QStringList& command)
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
                                                    QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("Run"));
    m << command;
    return m;
}

bool BenchTool::start()
{
    if (!m_bus.isRunning()) {
        std::fprintf(stderr, "no dbus-daemon\n");
        return false;
    }
    // Its output goes to a file beside the sandbox, not through a pipe: reading that would
    // wake this process, whose wake-ups the benchmarks count as the GUI's.
    const QString out = m_root.root() + QStringLiteral(".toolsim.out");
    m_sim = std::make_unique<QProcess>();
    m_sim->setProcessChannelMode(QProcess::MergedChannels);
    m_sim->setStandardOutputFile(out);
    m_sim->start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), m_root.root(), QStringLiteral("--fresh") });
    QFile file(out);
    for (int i = 0; i < 100; ++i) {
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains("toolsim ready"))
            return true;
        file.close();
        if (m_sim->waitForFinished(100))
            break;
    }
    std::fprintf(stderr, "the simulator did not start\n");
    return false;
}

void BenchTool::stop()
{
    if (!m_sim)
        return;
    m_sim->terminate();
    m_sim->waitForFinished();
    m_sim.reset();
    QFile::remove(m_root.root() + QStringLiteral(".toolsim.out"));
}
