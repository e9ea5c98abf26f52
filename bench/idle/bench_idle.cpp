// Wake-ups while nothing changes: the GUI is shown on every screen and every kind of popup in
// turn and left alone, and every thread of the process is counted going to sleep or being put
// off the processor (voluntary and involuntary context switches, from the kernel's per-thread
// status files) over an interval of at least 12 s, with the processor time spent. A thread of
// the benchmark's own reads the counts, so the GUI thread has nothing to do with the measure.
// The header's check of the WLAN activation in the first 40 s after start is measured apart.
// The same is counted for a bare Qt Quick window with one rectangle, and for a blink (the
// battery symbol and the NOK result) beside a bare rectangle blinking.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTimer>
#include <algorithm>
#include <thread>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cstdio>
#include <vector>

#include "mainwindow.h"
#include "../barewindow.h"
#include "testsupport.h"

namespace {

// The context switches of each thread of this process but `skip`, by thread name and id.
QMap<QString, long long> perThread(long skip)
{
    QMap<QString, long long> out;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        if (task.toLong() == skip)
            continue;
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        QString name;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Name:"))
                name = QString::fromUtf8(line.mid(5).trimmed());
            if (line.startsWith("voluntary_ctxt_switches:"))
                out[name + QLatin1Char('/') + task] += line.mid(24).trimmed().toLongLong();
            if (line.startsWith("nonvoluntary_ctxt_switches:"))
                out[name + QLatin1Char('/') + task] += line.mid(27).trimmed().toLongLong();
        }
    }
    return out;
}

QMap<QString, long long> g_last; // the threads that woke in the last interval

// What the GUI thread woke for: timer and socket events by receiver.
class EventCounter : public QObject
{
public:
    bool on = false;
    QMap<QString, int> seen;
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (on && (event->type() == QEvent::Timer || event->type() == QEvent::SockAct || event->type() == QEvent::ZeroTimerEvent)) {
            QString what = QString::fromLatin1(receiver->metaObject()->className());
            if (!receiver->objectName().isEmpty())
                what += QLatin1Char('"') + receiver->objectName() + QLatin1Char('"');
            if (receiver->parent())
                what += QLatin1String(" in ") + QString::fromLatin1(receiver->parent()->metaObject()->className());
            seen[what]++;
        }
        return false;
    }
};
EventCounter* g_events = nullptr;

// Which threads woke in the last interval, and what for on the GUI thread.
QString woken()
{
    QStringList out;
    for (auto it = g_last.constBegin(); it != g_last.constEnd(); ++it)
        out << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    if (g_events)
        for (auto it = g_events->seen.constBegin(); it != g_events->seen.constEnd(); ++it)
            out << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return out.join(QStringLiteral(", "));
}

double g_cpuMs = 0; // processor time of the process in the last interval

double cpuMs()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Runs the event loop for `ms` with nothing else to do and returns the context switches of the
// process's threads meanwhile. The interval is timed and read by a thread of its own, which is
// not counted and wakes the GUI thread only once the counts are read.
long long idleWakeUps(int ms)
{
    QEventLoop loop;
    long long sum = 0;
    if (g_events) {
        g_events->seen.clear();
        g_events->on = true;
    }
    std::thread measurer([&] {
        const long self = syscall(SYS_gettid);
        const QMap<QString, long long> before = perThread(self);
        const double cpuBefore = cpuMs();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        const QMap<QString, long long> after = perThread(self);
        g_cpuMs = cpuMs() - cpuBefore;
        g_last.clear();
        for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
            const long long n = it.value() - before.value(it.key());
            sum += n;
            if (n)
                g_last.insert(it.key(), n);
        }
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    measurer.join();
    if (g_events)
        g_events->on = false;
    return sum;
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void row(const char* figure, double self, double baseline, const char* unit)
{
    std::printf("TABLE\t%s\t%.2f\t%.2f\t%s\n", figure, self, baseline, unit);
}

// Shows each kind of popup the GUI has, over the start screen.
void openPopup(MainWindow& w, const QString& kind)
{
    if (kind == QLatin1String("popup"))
        w.callRoot("popupString", { QStringLiteral("Info"), QStringLiteral("A message"), 0, 0, QString(), QString() });
    else if (kind == QLatin1String("popup ack"))
        w.callRoot("popupString", { QStringLiteral("Info"), QStringLiteral("Acknowledge"), 0, 1, QString(), QString() });
    else if (kind == QLatin1String("sysfault"))
        QMetaObject::invokeMethod(&w, "fsysfault", Q_ARG(int, 1001), Q_ARG(int, 2), Q_ARG(int, 0));
    else if (kind == QLatin1String("nok ack"))
        w.callRoot("shownokackpopup", {});
    else if (kind == QLatin1String("battery"))
        w.callRoot("batteryStatus", { 1 });
    else if (kind == QLatin1String("wlan error"))
        w.callRoot("showWlanError", { QStringLiteral("No connection") });
    else if (kind == QLatin1String("job message"))
        w.callRoot("jobDisplayMsg", { QStringLiteral("Job"), QStringLiteral("Next bolt") });
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    const int idleMs = std::max(argc > 1 ? atoi(argv[1]) : 12000, 100);
    // "bench_idle <ms> <name>..." measures the named screens and popups only ("blinks": none).
    QStringList only;
    for (int i = 2; i < argc; ++i)
        only << QString::fromLocal8Bit(argv[i]);

    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;
    std::printf("METHOD\tidle\tcontext switches (voluntary + involuntary) of all threads over %.0f s per screen and popup (the information screen, with its 5 s cycle, over 30 s) once the first 40 s after start (the header's WLAN watch, measured apart) are over, read by an uncounted thread; blinks per toggle over 8 s\n", idleMs / 1000.0);

    // The floor: a bare window with one rectangle, idle and blinking.
    double bareIdle = 0;
    double bareBlink = 0;
    double bareBlinkCpu = 0;
    {
        QQuickWidget view;
        showBareWindow(view, "import QtQuick\nRectangle { width: 240; height: 320; color: 'black'\n"
                             "  Rectangle { id: r; x: 10; y: 6; width: 40; height: 17; color: 'white' }\n"
                             "  Timer { objectName: 'blink'; interval: 500; repeat: true; onTriggered: r.visible = !r.visible } }");
        settle(500);
        bareIdle = idleWakeUps(idleMs) * 1000.0 / idleMs;
        std::printf("  bare window      %6.2f wake-ups/s  %5.2f ms CPU/s   %s\n", bareIdle, g_cpuMs * 1000.0 / idleMs, qPrintable(woken()));
        QObject* blink = view.rootObject()->findChild<QObject*>(QStringLiteral("blink"));
        blink->setProperty("running", true);
        settle(1200);
        bareBlink = idleWakeUps(8000) / (8000 / 500.0);
        bareBlinkCpu = g_cpuMs / (8000 / 500.0);
    }

    EventCounter events;
    g_events = &events;
    app.installEventFilter(&events);
    QElapsedTimer sinceStart;
    sinceStart.start();
    MainWindow window;
    window.show();
    settle(1000);
    window.callRoot("batteryPower", { 80 });
    // For 40 s after start the header checks the WLAN activation every 2 s: measured on its
    // own, and the screens after it.
    double watch = -1;
    if (only.isEmpty()) {
        watch = idleWakeUps(idleMs) * 1000.0 / idleMs;
        std::printf("  start, WLAN watch %5.2f wake-ups/s  %5.2f ms CPU/s   %s\n", watch, g_cpuMs * 1000.0 / idleMs, qPrintable(woken()));
    }
    settle(std::max<int>(0, 41000 - sinceStart.elapsed()));
    const QStringList screens = { "actualValues", "mainmenu", "prgselect", "jobselect", "job", "operationmode",
        "idcodeviewer", "idcodeassign", "language", "setdate", "settime", "setdatetime", "testview", "themeselect",
        "info", "warning", "program", "exchange", "picviewer", "diagnosis", "resservices", "leave", "wlan", "game" };
    const QStringList popups = { "popup", "popup ack", "sysfault", "nok ack", "battery", "wlan error", "job message" };
    struct Worst {
        double perSecond = -1;
        double cpu = 0;
        QString name;
    } worstScreen, worstPopup, info;
    auto measure = [&](const QString& name, Worst& worst) {
        // The screen's entry transition and the caches' clean-ups after it run their course.
        settle(1500);
        // The information screen's cycle is 5 s (a station request with every fifth refresh):
        // over six whole cycles, not two and a bit.
        const int ms = name == QLatin1String("info") ? std::max(idleMs, 30000) : idleMs;
        const double perSecond = idleWakeUps(ms) * 1000.0 / ms;
        const double cpu = g_cpuMs * 1000.0 / ms;
        std::printf("  %-16s %6.2f wake-ups/s  %5.2f ms CPU/s   %s\n", qPrintable(name), perSecond, cpu, qPrintable(woken()));
        std::fflush(stdout);
        Worst& into = name == QLatin1String("info") ? info : worst;
        if (perSecond > into.perSecond)
            into = { perSecond, cpu, name };
    };
    for (const QString& screen : screens) {
        if (!only.isEmpty() && !only.contains(screen))
            continue;
        window.callRoot("gotoState", { screen });
        measure(screen, worstScreen);
    }
    // While a popup waits (a NOK to acknowledge, a fault) the tool is not ready: the header's
    // ready lamp blinks, if it is on screen.
    QMetaObject::invokeMethod(&window, "freadychanged", Q_ARG(int, 0), Q_ARG(int, 1));
    for (const QString& kind : popups) {
        if (!only.isEmpty() && !only.contains(kind))
            continue;
        window.callRoot("gotoState", { QStringLiteral("actualValues") });
        settle(300);
        openPopup(window, kind);
        measure(kind, worstPopup);
        window.callRoot("closepopupString", { 0 });
        window.callRoot("closejobdisplaymsg", { 0 });
        window.callRoot("removeAll", { 1001 });
        window.callRoot("setNokAckPopupOpened", { false });
    }

    // Ready, without a fault, for the blinks.
    QMetaObject::invokeMethod(&window, "ackfsysfault", Q_ARG(int, 1001), Q_ARG(int, 0));
    QMetaObject::invokeMethod(&window, "freadychanged", Q_ARG(int, 1), Q_ARG(int, 1));

    // Blinks: the battery symbol below 20 % and a NOK result (its torque marked), each over 8 s.
    window.callRoot("gotoState", { QStringLiteral("actualValues") });
    settle(500);
    window.callRoot("batteryPower", { 10 });
    settle(1200);
    const double battery = idleWakeUps(8000) / (8000 / 500.0);
    std::printf("  battery blink: %s\n", qPrintable(woken()));
    window.callRoot("batteryPower", { 80 });
    QVariantMap nok { { "prg_nr", 5 }, { "prg_name", "Tight" }, { "result", 0 }, { "torque", 20.0 },
        { "dTorque", 0 }, { "angle", 90.0 }, { "dAngle", 0 }, { "tgs", 0.8 }, { "dTgs", 0 }, { "cycle", "" },
        { "qcode", 0x18 }, { "row", 0 }, { "torqueUnit", 1 } };
    window.callRoot("setResults", { QVariant(nok) });
    settle(1200);
    // The NOK blink alternates 500 ms and 200 ms: 2 toggles per 700 ms.
    const double nokBlink = idleWakeUps(8000) / (8000 / 350.0);
    const double nokBlinkCpu = g_cpuMs / (8000 / 350.0);
    std::printf("  NOK blink: %s, %.3f ms CPU per toggle (bare rectangle %.3f)\n", qPrintable(woken()), nokBlinkCpu, bareBlinkCpu);
    std::printf("wake-ups per toggle: battery blink %.2f, NOK blink %.2f (bare rectangle %.2f)\n", battery, nokBlink, bareBlink);

    if (watch >= 0)
        row("idle wake-ups/s, start screen, first 40 s", watch, bareIdle, "1/s");
    if (worstScreen.perSecond >= 0)
        row(qPrintable(QStringLiteral("idle wake-ups/s, worst screen (%1)").arg(worstScreen.name)), worstScreen.perSecond, bareIdle, "1/s");
    if (info.perSecond >= 0)
        row("idle wake-ups/s, information screen", info.perSecond, bareIdle, "1/s");
    if (worstPopup.perSecond >= 0) {
        row(qPrintable(QStringLiteral("idle wake-ups/s, worst popup (%1)").arg(worstPopup.name)), worstPopup.perSecond, bareIdle, "1/s");
        row(qPrintable(QStringLiteral("idle CPU, worst popup (%1)").arg(worstPopup.name)), worstPopup.cpu, 0, "ms/s");
    }
    row("battery blink wake-ups/toggle", battery, bareBlink, "");
    row("NOK blink wake-ups/toggle", nokBlink, bareBlink, "");
    row("NOK blink CPU per toggle", nokBlinkCpu, bareBlinkCpu, "ms");
    simulated.stop();
    return 0;
}
