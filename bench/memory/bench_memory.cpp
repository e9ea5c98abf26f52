// Memory after use: the resident and private dirty memory of the GUI after a walk through every
// screen and popup, and after 5,000 results sent by the simulated result service and shown,
// beside a bare Qt Quick window that shows 5,000 values in the same way; and after a flood of
// signals from a peer. Each is measured in a
// process of its own (this program started again), in turns; the medians are reported.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "mainwindow.h"
#include "screenshots.h"
#include "../barewindow.h"
#include "../procmem.h"
#include "testsupport.h"

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// With BENCH_MEMORY_SMAPS=<folder>, each reading also keeps /proc/self/smaps there as
// <gui|bare>-<what>.smaps, to tell by mapping where the memory is.
const char* g_kind = "";

void print(const char* what)
{
    if (const QByteArray dir = qgetenv("BENCH_MEMORY_SMAPS"); !dir.isEmpty()) {
        QFile in(QStringLiteral("/proc/self/smaps"));
        QFile out(QStringLiteral("%1/%2-%3.smaps").arg(QString::fromLocal8Bit(dir), QLatin1String(g_kind), QLatin1String(what)));
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(in.readAll());
    }
    std::printf("%s %.3f %.3f\n", what, procMiB(QStringLiteral("self"), "status", "VmRSS:"), procMiB(QStringLiteral("self"), "smaps_rollup", "Private_Dirty:"));
    std::fflush(stdout);
}

// Runs an event loop for `ms`, as the program's own loop runs: objects given up with
// deleteLater (a screen the loader replaced) are deleted only by a running loop, not by
// processEvents() called outside one.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int bareChild(int& argc, char** argv, int results)
{
    g_kind = "bare";
    QApplication app(argc, argv);
    QQuickWidget view;
    showBareWindow(view, BareValueScene);
    settle(1000);
    print("walk");
    if (qgetenv("BENCH_MEMORY_EXIT") == "walk")
        std::exit(0);
    for (int i = 0; i < results; ++i) {
        view.rootObject()->setProperty("value", 10.0 + i / 1000.0);
        settle(1);
    }
    settle(500);
    print("results");
    print("flood");
    return 0;
}

int guiChild(int& argc, char** argv, int results)
{
    g_kind = "gui";
    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;
    QDBusConnection emitter = QDBusConnection::connectToBus(simulated.busAddress(), QStringLiteral("emitter"));
    MainWindow window;
    window.show();
    settle(1000);
    if (qgetenv("BENCH_MEMORY_EXIT") == "start") {
        print("start");
        simulated.stop();
        std::exit(0);
    }
    const QStringList screens = { "actualValues", "mainmenu", "prgselect", "jobselect", "job", "operationmode",
        "idcodeviewer", "idcodeassign", "language", "setdate", "settime", "setdatetime", "testview", "themeselect",
        "info", "warning", "program", "exchange", "picviewer", "diagnosis", "resservices", "leave", "wlan", "game" };
    // A screen change's time: gotoState to the end of the next frame (what the loop does
    // after the change, as deleting the screen given up, comes before that frame).
    std::function<void()> onFrame;
    onEveryFrame(window.view(), [&] { if (onFrame) onFrame(); });
    auto change = [&](const QString& screen, std::vector<double>& into) {
        QEventLoop loop;
        QElapsedTimer t;
        onFrame = [&] { into.push_back(t.nsecsElapsed() / 1e6); onFrame = nullptr; loop.quit(); };
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        t.start();
        window.callRoot("gotoState", { screen });
        loop.exec();
        onFrame = nullptr;
        settle(300);
    };
    std::vector<double> firstVisit, again;
    for (const QString& screen : screens)
        change(screen, firstVisit);
    window.callRoot("gotoState", { QStringLiteral("actualValues") });
    window.callRoot("popupString", { QStringLiteral("Info"), QStringLiteral("A message"), 0, 0, QString(), QString() });
    settle(300);
    window.callRoot("closepopupString", { 0 });
    window.callRoot("gotoState", { QStringLiteral("actualValues") });
    settle(1000);
    print("walk");
    // For a heap profiler: what is still allocated after the walk is what it reports at exit.
    if (qgetenv("BENCH_MEMORY_EXIT") == "walk") {
        simulated.stop();
        std::exit(0);
    }
    QQuickItem* root = window.rootItem();
    for (int i = 0; i < results; ++i) {
        const double torque = 10.0 + i / 1000.0;
        const QDBusMessage reply = emitter.call(BenchTool::runMessage({ QStringLiteral("result"), QStringLiteral("ok"), QStringLiteral("torque=%1").arg(torque, 0, 'f', 3) }));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(reply.errorMessage()));
            return 1;
        }
        if (!waitUntil([&] { return qAbs(root->property("ac_torque").toDouble() - torque) < 1e-9; }, 5000)) {
            std::fprintf(stderr, "result %d never shown\n", i);
            return 1;
        }
    }
    settle(500);
    print("results");

    // A flood from a peer: 128,000 signals in 5 s (levels, ready states, results), sent from a
    // thread of their own while the GUI runs; then one more result, waited for on the screen.
    const int flood = 128000;
    std::thread sender([&] {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < flood; ++i) {
            QDBusMessage m;
            switch (i % 4) {
            case 0: m = QDBusMessage::createSignal(QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"), QStringLiteral("battpowerchanged")) << (i / 4) % 100; break;
            case 1: m = QDBusMessage::createSignal(QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"), QStringLiteral("rdychanged")) << i % 3 << 1; break;
            case 2: m = QDBusMessage::createSignal(QStringLiteral("/WlanObj"), QStringLiteral("com.velmar.akku.WlanInterface"), QStringLiteral("changed_rssilevel")) << -40 - i % 30; break;
            default: m = QDBusMessage::createSignal(QStringLiteral("/ResObj"), QStringLiteral("com.velmar.akku.ResInterface"), QStringLiteral("newresult")) << QStringLiteral("/home/tool/data/result.sq3") << 1 + i % 100; break;
            }
            emitter.send(m);
            if (i % 256 == 255)
                std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::nanoseconds(qint64(5e9 * (i + 1) / flood) - t.nsecsElapsed()));
        }
    });
    QElapsedTimer drained;
    drained.start();
    waitUntil([] { return false; }, 5000);
    sender.join();
    const QDBusMessage reply = emitter.call(BenchTool::runMessage({ QStringLiteral("result"), QStringLiteral("ok"), QStringLiteral("torque=99.999") }));
    if (reply.type() != QDBusMessage::ReplyMessage
        || !waitUntil([&] { return qAbs(root->property("ac_torque").toDouble() - 99.999) < 1e-9; }, 600000)) {
        std::fprintf(stderr, "the result after the flood never shown\n");
        return 1;
    }
    std::fprintf(stderr, "flood handled %.1f s after its start\n", drained.elapsed() / 1000.0);
    settle(1000);
    print("flood");
    // The walk again, timed: each screen has been visited before.
    for (const QString& screen : screens)
        change(screen, again);
    std::printf("screens %.3f %.3f\n", median(firstVisit), median(again));
    simulated.stop();
    return 0;
}

struct Sample {
    double rss[3] = {};
    double dirty[3] = {};
    double firstVisit = 0; // screen change to frame, median (the GUI only)
    double again = 0;
};

bool runChild(const QString& self, const char* mode, int results, Sample& s)
{
    QProcess p;
    p.start(self, { QLatin1String(mode), QString::number(results) });
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s child failed: %s\n", mode, p.readAllStandardError().constData());
        return false;
    }
    for (const QByteArray& line : p.readAllStandardError().split('\n'))
        if (line.startsWith("flood handled"))
            std::printf("  %s\n", line.constData());
    int i = 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 3 && i < 3 && (f[0] == "walk" || f[0] == "results" || f[0] == "flood")) {
            s.rss[i] = f[1].toDouble();
            s.dirty[i] = f[2].toDouble();
            ++i;
        } else if (f.size() == 3 && f[0] == "screens") {
            s.firstVisit = f[1].toDouble();
            s.again = f[2].toDouble();
        }
    }
    return i == 3;
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    // The program's heap set-up (main.cpp), for the GUI and the bare window alike.
    if (!qEnvironmentVariableIsSet("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
    if (argc > 2 && QByteArray(argv[1]) == "bare")
        return bareChild(argc, argv, atoi(argv[2]));
    if (argc > 2 && QByteArray(argv[1]) == "gui")
        return guiChild(argc, argv, atoi(argv[2]));
    const int results = argc > 1 ? atoi(argv[1]) : 5000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 3;
    QCoreApplication app(argc, argv);
    // A program file written moments ago (by the build) sits in dirty page-cache pages, which
    // the kernel counts as the process's private dirty memory until they are written back.
    sync();
    std::printf("METHOD\tmemory\tVmRSS and Private_Dirty (smaps_rollup) of a process of its own after a walk through every screen and after %d results shown, and after 128,000 signals in 5 s (bare: no signals); medians of %d, in turns; a screen change (gotoState to the end of the next frame) on the first walk and on a second one\n", results, rounds);
    std::vector<double> v[2][6]; // [gui, bare][resident, private dirty: after the walk, the results, the flood]
    std::vector<double> firstVisit, again;
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 2; ++k) {
            Sample s;
            if (!runChild(QCoreApplication::applicationFilePath(), k ? "bare" : "gui", results, s))
                return 1;
            v[k][0].push_back(s.rss[0]);
            v[k][1].push_back(s.dirty[0]);
            v[k][2].push_back(s.rss[1]);
            v[k][3].push_back(s.dirty[1]);
            v[k][4].push_back(s.rss[2]);
            v[k][5].push_back(s.dirty[2]);
            if (!k) {
                firstVisit.push_back(s.firstVisit);
                again.push_back(s.again);
            }
            std::printf("  %s: after the walk resident %.2f MiB, private dirty %.2f MiB; after %d results %.2f MiB, %.2f MiB; after the flood %.2f MiB, %.2f MiB; screen change %.2f ms, visited before %.2f ms\n",
                k ? "bare window" : "newgui     ", s.rss[0], s.dirty[0], results, s.rss[1], s.dirty[1], s.rss[2], s.dirty[2], s.firstVisit, s.again);
        }
    }
    const char* rows[6] = { "resident after the walk", "private dirty after the walk", "resident after 5,000 results",
        "private dirty after 5,000 results", "resident after 128,000 signals in 5 s", "private dirty after the signals" };
    for (int i = 0; i < 6; ++i)
        std::printf("TABLE\t%s\t%.2f\t%.2f\tMiB\n", rows[i], median(v[0][i]), median(v[1][i]));
    std::printf("TABLE\tscreen change -> frame, first visit, median\t%.2f\t0\tms\n", median(firstVisit));
    std::printf("TABLE\tscreen change -> frame, visited before\t%.2f\t0\tms\n", median(again));
    return 0;
}
