// Start-up of the GUI beside a bare Qt Quick window that takes the same start-up measures, in
// turns in this run: process start to the first frame as drawn, and to the first complete frame
// (the header and the button bar in place after their slide-in); the resident and private dirty
// memory at the first frame (the process holds that frame while they are read; the hold is taken
// off the complete frame's time). Each with an empty QML cache folder (a read-only root file
// system), and once more with the QML disk cache disabled (QML_DISABLE_DISK_CACHE=1, which also
// ignores the QML compiled into the program). The GUI runs against a private bus and a sample
// system root made by the simulator and filled to 256 programs and 256 jobs, offscreen. Instructions to the first frame are counted once
// each under callgrind where valgrind is installed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <vector>

#include "../procmem.h"

namespace {

struct Run {
    double ms = 0;         // the first frame
    double completeMs = 0; // the first complete frame, less the hold at the first frame
    double rssMiB = 0;
    double dirtyMiB = 0;
};

// Waits for a line of the process's output; false when it ends or 10 s pass.
bool waitForLine(QProcess& p, QByteArray& seen, const QByteArray& line, QElapsedTimer& limit)
{
    while (!seen.contains(line)) {
        if (p.state() == QProcess::NotRunning || limit.elapsed() > 10000)
            return false;
        p.waitForReadyRead(5);
        seen += p.readAllStandardOutput();
    }
    return true;
}

Run runOnce(const QString& program, QProcessEnvironment env, bool diskCache)
{
    QTemporaryDir cache;
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    if (!diskCache)
        env.insert(QStringLiteral("QML_DISABLE_DISK_CACHE"), QStringLiteral("1"));
    env.insert(QStringLiteral("NEWGUI_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("2"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProgram(program);
    QElapsedTimer t, limit;
    QByteArray seen;
    Run run;
    t.start();
    limit.start();
    p.start();
    if (!waitForLine(p, seen, "first frame", limit)) {
        std::fprintf(stderr, "%s: no first frame\n", qPrintable(program));
        std::exit(1);
    }
    run.ms = t.nsecsElapsed() / 1e6;
    run.rssMiB = procMiB(QString::number(p.processId()), "status", "VmRSS:");
    run.dirtyMiB = procMiB(QString::number(p.processId()), "smaps_rollup", "Private_Dirty:");
    const double hold = t.nsecsElapsed() / 1e6 - run.ms;
    p.write("\n");
    p.waitForBytesWritten(1000);
    if (!waitForLine(p, seen, "complete frame", limit)) {
        std::fprintf(stderr, "%s: no complete frame\n", qPrintable(program));
        std::exit(1);
    }
    run.completeMs = t.nsecsElapsed() / 1e6 - hold;
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Medians {
    double ms, completeMs, rssMiB, dirtyMiB;
};

Medians report(const char* what, const std::vector<Run>& runs)
{
    std::vector<double> v, c, m, d;
    for (const Run& r : runs) {
        v.push_back(r.ms);
        c.push_back(r.completeMs);
        m.push_back(r.rssMiB);
        d.push_back(r.dirtyMiB);
    }
    const Medians out { median(v), median(c), median(m), median(d) };
    std::printf("%-36s first frame median %6.1f ms (%5.1f..%5.1f), complete %6.1f ms, resident %5.1f MiB, private dirty %5.2f MiB (%zu runs)\n",
        what, out.ms, *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()), out.completeMs, out.rssMiB, out.dirtyMiB, runs.size());
    return out;
}

// The median of the run-by-run ratios: each pair ran back to back under the same load.
double pairedRatio(const std::vector<Run>& a, const std::vector<Run>& b, double Run::*field)
{
    std::vector<double> r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        r.push_back(a[i].*field / b[i].*field);
    return median(r);
}

// Instructions of all threads to the first frame, under callgrind (program ends at that frame).
double instructions(const QString& program, QProcessEnvironment env)
{
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (valgrind.isEmpty())
        return 0;
    QTemporaryDir dir;
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.path());
    env.insert(QStringLiteral("NEWGUI_EXIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(valgrind, { QStringLiteral("--tool=callgrind"), QStringLiteral("--callgrind-out-file=") + dir.path() + QStringLiteral("/out"), program });
    p.waitForFinished(300000);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Collected : ([0-9]+)")).match(err);
    return m.hasMatch() ? m.captured(1).toDouble() / 1e6 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? atoi(argv[1]) : 21;

    QTemporaryDir root;
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--config-file=" NG_SOURCE_DIR "/tools/dbus/bus.conf"), QStringLiteral("--nofork"), QStringLiteral("--print-address") });
    bus.waitForReadyRead(5000);
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    // The same environment for both programs.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    env.insert(QStringLiteral("TOOL_SYSROOT"), root.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=" NG_SOURCE_DIR "/tools/offscreen/display.json"));
    env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    env.remove(QStringLiteral("QML_DISABLE_DISK_CACHE"));

    QProcess sim;
    sim.setProcessEnvironment(env);
    sim.start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), root.path(), QStringLiteral("--fresh") });
    QByteArray simOut;
    for (int i = 0; i < 100 && !simOut.contains("toolsim ready"); ++i) {
        sim.waitForReadyRead(100);
        simOut += sim.readAllStandardOutput();
    }

    // A full tool: 256 programs and 256 jobs (the sample's own kept).
    for (int n = 0; n < 256; ++n) {
        const QString prg = root.path() + QStringLiteral("/home/tool/config/srbprg/prg%1.lua").arg(n);
        const QString job = root.path() + QStringLiteral("/home/tool/config/jobs/job%1.lua").arg(n, 3, 10, QLatin1Char('0'));
        for (const auto& [path, text] : { std::pair { prg, QStringLiteral("prg={}\nprg.Name = \"Program %1\"\nprg.TorqueUnit = 1\n") },
                 std::pair { job, QStringLiteral("-- job\njobName=Job %1\n") } }) {
            QFile f(path);
            if (!f.exists() && f.open(QIODevice::WriteOnly))
                f.write(text.arg(n).toUtf8());
        }
    }

    // A program file written moments ago (by the build) sits in dirty page-cache pages, which
    // the kernel counts as the process's private dirty memory until they are written back.
    sync();
    const QString bareProgram = QStringLiteral(NG_BINARY_DIR "/bench/bench_barequick");
    const QString guiProgram = QStringLiteral(NG_BINARY_DIR "/src/app/newgui");
    std::vector<Run> gui, bare, guiNoCache, bareNoCache;
    // One of each first, not counted: the programs' files are then in the page cache for all.
    runOnce(bareProgram, env, true);
    runOnce(guiProgram, env, true);
    // NG_BENCH_EARLIER: another build of the program, measured in the same turns (a change's
    // before and after).
    const QString earlierProgram = qEnvironmentVariable("NG_BENCH_EARLIER");
    std::vector<Run> earlier;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runOnce(bareProgram, env, true));
        gui.push_back(runOnce(guiProgram, env, true));
        if (!earlierProgram.isEmpty())
            earlier.push_back(runOnce(earlierProgram, env, true));
        bareNoCache.push_back(runOnce(bareProgram, env, false));
        guiNoCache.push_back(runOnce(guiProgram, env, false));
        sim.readAllStandardOutput();
    }
    // The first frame in Chinese, whose glyphs come from the system's CJK font; in turns with
    // the bare window's, as above.
    std::vector<Run> chinese, bareChinese;
    if (setLanguage(root.path(), "zh_CN")) {
        for (int i = 0; i < runs; ++i) {
            bareChinese.push_back(runOnce(bareProgram, env, true));
            chinese.push_back(runOnce(guiProgram, env, true));
            sim.readAllStandardOutput();
        }
        setLanguage(root.path(), "en");
    }
    const double bareInstr = instructions(bareProgram, env);
    const double guiInstr = instructions(guiProgram, env);
    if (!earlierProgram.isEmpty())
        std::printf("instructions to the first frame: this build %.1f M, earlier build %.1f M\n", guiInstr, instructions(earlierProgram, env));
    sim.terminate();
    sim.waitForFinished();

    const Medians b = report("bare Qt Quick window", bare);
    const Medians g = report("newgui, simulated tool", gui);
    if (!earlier.empty()) {
        report("earlier build (NG_BENCH_EARLIER)", earlier);
        std::printf("paired ratio this build / earlier build: first frame %.2f, complete %.2f\n",
            pairedRatio(gui, earlier, &Run::ms), pairedRatio(gui, earlier, &Run::completeMs));
    }
    const Medians bn = report("bare window, disk cache disabled", bareNoCache);
    const Medians gn = report("newgui, disk cache disabled", guiNoCache);
    std::printf("paired ratios (median of run-by-run): first frame %.2f, complete %.2f, disk cache disabled %.2f\n",
        pairedRatio(gui, bare, &Run::ms), pairedRatio(gui, bare, &Run::completeMs), pairedRatio(guiNoCache, bareNoCache, &Run::ms));
    std::printf("complete frame after the first: newgui %.1f ms\n", g.completeMs - g.ms);
    std::printf("METHOD\tstartup\t%d runs each, in turns: process start -> \"first frame\" / \"complete frame\" (header and bar in place) on its output, empty QML cache folder; then QML_DISABLE_DISK_CACHE=1; medians; callgrind once each\n", runs);
    std::printf("TABLE\tfirst frame as drawn\t%.1f\t%.1f\tms\n", g.ms, b.ms);
    std::printf("TABLE\tfirst complete frame (header, bar)\t%.1f\t%.1f\tms\n", g.completeMs, b.completeMs);
    std::printf("TABLE\tfirst frame, QML disk cache disabled\t%.1f\t%.1f\tms\n", gn.ms, bn.ms);
    if (guiInstr > 0)
        std::printf("TABLE\tinstructions to first frame\t%.0f\t%.0f\tM\n", guiInstr, bareInstr);
    std::printf("TABLE\tresident at first frame\t%.2f\t%.2f\tMiB\n", g.rssMiB, b.rssMiB);
    std::printf("TABLE\tprivate dirty at first frame\t%.2f\t%.2f\tMiB\n", g.dirtyMiB, b.dirtyMiB);
    if (!chinese.empty()) {
        const Medians bc = report("bare Qt Quick window (Chinese runs)", bareChinese);
        const Medians c = report("newgui, simulated tool, Chinese", chinese);
        std::printf("TABLE\tfirst frame in Chinese\t%.1f\t%.1f\tms\n", c.ms, bc.ms);
        std::printf("TABLE\tprivate dirty at first frame, Chinese\t%.2f\t%.2f\tMiB\n", c.dirtyMiB, bc.dirtyMiB);
    }
    bus.terminate();
    bus.waitForFinished();
    return 0;
}
