// Start-up time of the GUI to its first frame, beside that of a bare Qt Quick window, both
// measured in this run: process start to the "first frame" line. The GUI runs against an
// empty private bus and a sample system root made by the simulator, offscreen.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double runOnce(const QString& program, const QProcessEnvironment& env)
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
    const double ms = t.nsecsElapsed() / 1e6;
    p.kill();
    p.waitForFinished();
    return ms;
}

void report(const char* what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%-28s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu runs)\n", what, v[v.size() / 2], v.front(), v.back(), v.size());
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

    // Fill the system root with the sample device (the simulator does it and is stopped again,
    // so the GUI's start-up queries fail fast as on a tool whose services are not up yet).
    QProcess sim;
    sim.setProcessEnvironment(env);
    sim.start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), root.path(), QStringLiteral("--fresh") });
    for (int i = 0; i < 100 && !sim.readAllStandardOutput().contains("toolsim ready"); ++i)
        sim.waitForReadyRead(100);
    sim.terminate();
    sim.waitForFinished();

    std::vector<double> gui, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/bench/bench_barequick"), env));
        gui.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env));
    }
    report("bare Qt Quick window", bare);
    report("newgui (sample device)", gui);
    bus.terminate();
    bus.waitForFinished();
    return 0;
}
