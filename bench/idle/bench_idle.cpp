// Wake-ups while nothing changes: the GUI is shown on every screen in turn and left alone, and
// the process's threads are counted going to sleep (voluntary context switches, from the
// kernel's per-thread status files) over an idle interval. A count does not depend on how
// loaded the machine is. The same is counted for a bare Qt Quick window with one rectangle,
// and for a blink (the battery symbol and the NOK result) beside a bare rectangle blinking.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDir>
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
#include <cstdio>
#include <vector>

#include "mainwindow.h"
#include "testsupport.h"

namespace {

// The voluntary context switches of each thread of this process, by thread name and id.
QMap<QString, long long> perThread()
{
    QMap<QString, long long> out;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        QString name;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Name:"))
                name = QString::fromUtf8(line.mid(5).trimmed());
            if (line.startsWith("voluntary_ctxt_switches:"))
                out.insert(name + QLatin1Char('/') + task, line.mid(24).trimmed().toLongLong());
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

// Runs the event loop for `ms` with nothing else to do and returns the wake-ups counted,
// less the one of the timer that ends the interval.
long long idleWakeUps(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    const QMap<QString, long long> before = perThread();
    if (g_events) {
        g_events->seen.clear();
        g_events->on = true;
    }
    loop.exec();
    if (g_events)
        g_events->on = false;
    const QMap<QString, long long> after = perThread();
    long long sum = -1;
    g_last.clear();
    for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
        const long long n = it.value() - before.value(it.key());
        sum += n;
        if (n)
            g_last.insert(it.key(), n);
    }
    return std::max(0LL, sum);
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

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    const int idleMs = argc > 1 ? atoi(argv[1]) : 2000;
    // "bench_idle <ms> blinks" measures the blinks only.
    const bool blinksOnly = argc > 2 && QByteArray(argv[2]) == "blinks";

    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;

    // The floor: a bare window with one rectangle, idle and blinking.
    double bareIdle = 0;
    double bareBlink = 0;
    {
        QQuickWidget view;
        view.setResizeMode(QQuickWidget::SizeRootObjectToView);
        view.setFixedSize(240, 320);
        QQmlComponent component(view.engine());
        component.setData("import QtQuick\nRectangle { width: 240; height: 320; color: 'black'\n"
                          "  Rectangle { id: r; x: 10; y: 6; width: 40; height: 17; color: 'white' }\n"
                          "  Timer { objectName: 'blink'; interval: 500; repeat: true; onTriggered: r.visible = !r.visible } }",
            QUrl());
        view.setContent(QUrl(), &component, component.create());
        view.show();
        settle(500);
        bareIdle = idleWakeUps(idleMs) * 1000.0 / idleMs;
        QObject* blink = view.rootObject()->findChild<QObject*>(QStringLiteral("blink"));
        blink->setProperty("running", true);
        settle(1200);
        bareBlink = idleWakeUps(idleMs * 2) / (idleMs * 2 / 500.0);
    }

    EventCounter events;
    g_events = &events;
    app.installEventFilter(&events);
    MainWindow window;
    window.show();
    settle(1000);
    window.callRoot("batteryPower", { 80 });
    // The header watches the WLAN for 40 s after a change at start-up; that is not idle.
    if (QObject* watch = window.rootItem()->findChild<QObject*>(QStringLiteral("activationTimer")))
        watch->setProperty("running", false);
    const QStringList screens = { "actualValues", "mainmenu", "prgselect", "jobselect", "job", "operationmode",
        "idcodeviewer", "idcodeassign", "language", "setdate", "settime", "setdatetime", "testview", "themeselect",
        "info", "warning", "program", "exchange", "picviewer", "diagnosis", "resservices", "leave", "wlan" };
    double worst = 0;
    QString worstScreen;
    for (const QString& screen : blinksOnly ? QStringList() : screens) {
        window.callRoot("gotoState", { screen });
        // The screen's entry transition and the caches' clean-ups after it run their course.
        settle(1500);
        const double perSecond = idleWakeUps(idleMs) * 1000.0 / idleMs;
        std::printf("  %-16s %6.1f wake-ups/s   %s\n", qPrintable(screen), perSecond, qPrintable(woken()));
        if (perSecond >= worst) {
            worst = perSecond;
            worstScreen = screen;
        }
    }
    std::printf("idle wake-ups per second, worst screen %s: %.1f (bare window %.1f)\n", qPrintable(worstScreen), worst, bareIdle);

    // Blinks: the battery symbol below 20 % and a NOK result, each over a few toggles.
    window.callRoot("gotoState", { QStringLiteral("actualValues") });
    settle(500);
    window.callRoot("batteryPower", { 10 });
    settle(1200);
    const double battery = idleWakeUps(idleMs * 2) / (idleMs * 2 / 500.0);
    std::printf("  battery blink: %s\n", qPrintable(woken()));
    window.callRoot("batteryPower", { 80 });
    QVariantMap nok { { "prg_nr", 5 }, { "prg_name", "Tight" }, { "result", 0 }, { "torque", 20.0 },
        { "dTorque", 0 }, { "angle", 90.0 }, { "dAngle", 0 }, { "tgs", 0.8 }, { "dTgs", 0 }, { "cycle", "" },
        { "qcode", 0 }, { "row", 0 }, { "torqueUnit", 1 } };
    window.callRoot("setResults", { QVariant(nok) });
    settle(1200);
    // The NOK blink alternates 500 ms and 200 ms: 2 toggles per 700 ms.
    const double nokBlink = idleWakeUps(idleMs * 2) / (idleMs * 2 / 350.0);
    std::printf("  NOK blink: %s\n", qPrintable(woken()));
    std::printf("wake-ups per toggle: battery blink %.2f, NOK blink %.2f (bare rectangle %.2f)\n", battery, nokBlink, bareBlink);

    row("idle wake-ups/s, worst screen", worst, bareIdle, "1/s");
    row("battery blink wake-ups/toggle", battery, bareBlink, "");
    row("NOK blink wake-ups/toggle", nokBlink, bareBlink, "");
    simulated.stop();
    return 0;
}
