// Start-up time of the GUI to its first frame, beside that of a bare Qt Quick window, both
// measured in this run, interleaved: process start to the "first frame" line, the resident and
// private dirty memory then (the GUI stays at that frame while they are read) and the private
// dirty memory once the work after the first frame is done. Every run starts with an empty QML cache (a fresh cache
// folder), as on a device whose root file system is read-only. The GUI runs against a private
// bus and a sample system root made by the simulator, offscreen.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <vector>

namespace {

struct Run {
    double ms = 0;
    double rssMiB = 0;
    double dirtyMiB = 0;
    double settledDirtyMiB = 0;
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

// Private dirty memory (heap, written data, stacks) of a running process.
double privateDirtyMiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : rollup.readAll().split('\n'))
        if (line.startsWith("Private_Dirty:"))
            return line.mid(14).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// `cold`: a QML cache folder of its own, empty. The GUI stays at its first frame until it gets
// a line: the memory is read there, and with `settled` once more 300 ms after the line.
Run runOnce(const QString& program, QProcessEnvironment env, bool cold = true, bool settled = false)
{
    QTemporaryDir cache;
    if (cold)
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
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
    run.dirtyMiB = privateDirtyMiB(p.processId());
    if (settled) {
        p.write("\n");
        p.waitForBytesWritten(1000);
        QThread::msleep(300);
        run.settledDirtyMiB = privateDirtyMiB(p.processId());
    }
    p.kill();
    p.waitForFinished();
    return run;
}

// Sets the language of the sample's GUI configuration, as the language screen stores it.
bool setLanguage(const QString& root, const char* code)
{
    QFile file(root + QStringLiteral("/home/tool/config/guiconfig.json"));
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray text = file.readAll();
    const int at = text.indexOf("\"language\":");
    const int start = text.indexOf('"', at + 11);
    const int end = text.indexOf('"', start + 1);
    if (at < 0 || start < 0 || end < 0)
        return false;
    text.replace(start + 1, end - start - 1, code);
    file.resize(0);
    return file.write(text) == text.size();
}

struct Medians {
    double ms, rssMiB, dirtyMiB, settledDirtyMiB;
};

Medians report(const char* what, std::vector<Run> runs)
{
    std::vector<double> v, m, d, sd;
    for (const Run& r : runs) {
        v.push_back(r.ms);
        m.push_back(r.rssMiB);
        d.push_back(r.dirtyMiB);
        sd.push_back(r.settledDirtyMiB);
    }
    std::sort(v.begin(), v.end());
    std::sort(m.begin(), m.end());
    std::sort(d.begin(), d.end());
    std::sort(sd.begin(), sd.end());
    std::printf("%-34s median %7.1f ms   min %7.1f ms   max %7.1f ms   at first frame: resident %6.1f MiB, private dirty %6.1f MiB   (%zu runs)\n",
        what, v[v.size() / 2], v.front(), v.back(), m[m.size() / 2], d[d.size() / 2], v.size());
    return { v[v.size() / 2], m[m.size() / 2], d[d.size() / 2], sd[sd.size() / 2] };
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? atoi(argv[1]) : 25;

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
    // Report the first frame and stay: the memory is read from a process that is not tearing
    // itself down.
    env.insert(QStringLiteral("NEWGUI_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("2"));

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

    // A program file written moments ago (by the build) sits in dirty page-cache pages, which
    // the kernel counts as the process's private dirty memory until they are written back.
    sync();
    std::vector<Run> gui, guiWarm, guiAlone, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/bench/bench_barequick"), env, true, true));
        gui.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env, true, true));
        guiWarm.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env, false));
        sim.readAllStandardOutput();
    }
    // The first frame in Chinese, whose glyphs come from the system's CJK font; with a bare
    // window's run in between, as above.
    std::vector<Run> chinese, bareChinese;
    if (setLanguage(root.path(), "zh_CN")) {
        for (int i = 0; i < runs; ++i) {
            bareChinese.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/bench/bench_barequick"), env, true, true));
            chinese.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env, true, true));
            sim.readAllStandardOutput();
        }
        setLanguage(root.path(), "en");
    }
    sim.terminate();
    sim.waitForFinished();
    for (int i = 0; i < runs; ++i)
        guiAlone.push_back(runOnce(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), env));

    const Medians b = report("bare Qt Quick window", bare);
    const Medians g = report("newgui, simulated tool", gui);
    report("newgui, simulated tool, warm cache", guiWarm);
    report("newgui, no tool services", guiAlone);
    std::printf("TABLE\tfirst frame, cold QML cache\t%.1f\t%.1f\tms\n", g.ms, b.ms);
    std::printf("TABLE\tresident at first frame\t%.2f\t%.2f\tMiB\n", g.rssMiB, b.rssMiB);
    std::printf("TABLE\tprivate dirty at first frame\t%.2f\t%.2f\tMiB\n", g.dirtyMiB, b.dirtyMiB);
    std::printf("TABLE\tprivate dirty 0.3 s after first frame\t%.2f\t%.2f\tMiB\n", g.settledDirtyMiB, b.settledDirtyMiB);
    if (!chinese.empty()) {
        const Medians bc = report("bare Qt Quick window (Chinese runs)", bareChinese);
        const Medians c = report("newgui, simulated tool, Chinese", chinese);
        std::printf("TABLE\tfirst frame in Chinese, cold cache\t%.1f\t%.1f\tms\n", c.ms, bc.ms);
        std::printf("TABLE\tresident at first frame, Chinese\t%.2f\t%.2f\tMiB\n", c.rssMiB, bc.rssMiB);
        std::printf("TABLE\tprivate dirty at first frame, Chinese\t%.2f\t%.2f\tMiB\n", c.dirtyMiB, bc.dirtyMiB);
    }
    bus.terminate();
    bus.waitForFinished();
    return 0;
}
