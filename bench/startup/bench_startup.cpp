// Start-up time of the GUI to its first frame, beside that of a bare Qt Quick window, both
// measured in this run: process start to the "first frame" line, and the resident memory then. The GUI runs against an
// empty private bus and a sample system root made by the simulator, offscreen.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Run {
    double ms = 0;
    double rssMiB = 0;
};

// Resident memory of a running process, from the kernel's status file.
double residentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

Run runOnce(const QString& program, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProgram(program);
    QElapsedTimer t;
    t.start();
    p.start();
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        p.waitForReadyRead(20);
        if (p.readAllStandardOutput().contains("first frame"))
            break;
    }
    Run run;
    run.ms = t.nsecsElapsed() / 1e6;
    run.rssMiB = residentMiB(p.processId());
    p.kill();
    p.waitForFinished();
    return run;
}

void report(const char* what, std::vector<Run> runs)
{
    std::vector<double> v, m;
    for (const Run& r : runs) {
        v.push_back(r.ms);
        m.push_back(r.rssMiB);
    }
    std::sort(v.begin(), v.end());
    std::sort(m.begin(), m.end());
    std::printf("%-28s median %7.1f ms   min %7.1f ms   max %7.1f ms   resident at first frame %6.1f MiB   (%zu runs)\n",
        what, v[v.size() / 2], v.front(), v.back(), m[m.size() / 2], v.size());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? atoi(argv[1]) : 7;

    QTemporaryDir root;
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--config-file=" NG_SOURCE_DIR "/tools/dbus/bus.conf"), QStringLiteral("--nofork"), QStringLiteral("--print-address") });
    bus.waitForReadyRead(5000);
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    env.insert(QStringLiteral("TOOL_SYSROOT"), root.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=" NG_SOURCE_DIR "/tools/offscreen/display.json"));
    env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    env.insert(QStringLiteral("NEWGUI_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));

    // The simulated tool fills the system root with the sample device and answers the GUI's
    // start-up queries; without it the queries fail at once, as on a tool whose services are
    // not up yet.
    QProcess sim;
    sim.setProcessEnvironment(env);
    sim.start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), root.path(), QStringLiteral("--fresh") });
    QByteArray simOut;
    for (int i = 0; i < 100 && !simOut.contains("toolsim ready"); ++i) {
        sim.waitForReadyRead(100);
        simOut += sim.readAllStandardOutput();
    }

    std::vector<Run> gui, guiAlone, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/bench/bench_barequick"), env));
        gui.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env));
        sim.readAllStandardOutput();
    }
    sim.terminate();
    sim.waitForFinished();
    for (int i = 0; i < runs; ++i)
        guiAlone.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env));

    report("bare Qt Quick window", bare);
    report("newgui, simulated tool", gui);
    report("newgui, no tool services", guiAlone);
    bus.terminate();
    bus.waitForFinished();
    return 0;
}
