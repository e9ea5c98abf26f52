// Result latency: from the result service's "newresult" signal to the first frame of the view
// that shows the new values, over a few hundred results, beside the time of an empty D-Bus
// round trip measured in the same run. The simulator writes the result rows beforehand; the
// signal is then sent from a connection of its own, as the result service would.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "mainwindow.h"
#include "../barewindow.h"
#include "screenshots.h"
#include "testsupport.h"

// Calls a function when a scene property changes.
class Probe : public QObject
{
    Q_OBJECT
public:
    std::function<void()> f;
    Q_INVOKABLE void hit() { f(); }
};

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double p99(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(v.size() * 0.99))];
}

void report(const char* what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%-34s median %7.3f ms   p99 %7.3f ms   max %7.3f ms   (%zu samples)\n", what, median(v), p99(v), v.back(), v.size());
}

// Takes the baseline's signal on a connection of its own and sets the bare window's value.
class BareReceiver : public QObject
{
    Q_OBJECT
public:
    QQuickItem* root = nullptr;
public Q_SLOTS:
    void value(double v) { root->setProperty("value", v); }
};

// Sends a signal and runs the event loop until a frame of `view` satisfies `shown` (5 s at most):
// the time from the send to the end of that frame's paint, or -1.
double toFrame(QQuickWidget* view, const QDBusConnection& emitter, const QDBusMessage& signal, const std::function<bool()>& shown,
    std::function<void()>& current)
{
    double ms = -1;
    QElapsedTimer t;
    QEventLoop loop;
    current = [&] {
        if (ms < 0 && shown()) {
            ms = t.nsecsElapsed() / 1e6;
            loop.quit();
        }
    };
    t.start();
    emitter.send(signal);
    // An event loop, not a polling wait: the loop wakes for the frame itself.
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    current = nullptr;
    Q_UNUSED(view);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    const int count = argc > 1 ? atoi(argv[1]) : 300;

    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;
    QDBusConnection emitter = QDBusConnection::connectToBus(simulated.busAddress(), QStringLiteral("emitter"));

    // Results written before the GUI listens.
    std::vector<int> ids;
    std::vector<double> torques;
    for (int i = 0; i < count; ++i) {
        const double torque = 10.0 + i / 1000.0;
        const QDBusMessage reply = emitter.call(BenchTool::runMessage({ QStringLiteral("result"), QStringLiteral("ok"), QStringLiteral("torque=%1").arg(torque, 0, 'f', 3), QStringLiteral("prg=5") }));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(reply.errorMessage()));
            return 1;
        }
        ids.push_back(reply.arguments().value(0).toString().toInt());
        torques.push_back(torque);
    }

    std::printf("METHOD\tlatency\t%d results in turns with the baseline: signal sent -> the paint of the frame showing the value; baseline: a bare window taking a signal with the value on its own connection, the same batching shortcut; the first result after start apart\n", count);

    // The baseline: a bare window with one text, which a signal on the same bus changes.
    QQuickWidget bareView;
    showBareWindow(bareView, BareValueScene);
    BareReceiver receiver;
    receiver.root = bareView.rootObject();
    QDBusConnection bareBus = QDBusConnection::connectToBus(simulated.busAddress(), QStringLiteral("bare"));
    bareBus.connect(QString(), QStringLiteral("/Bare"), QStringLiteral("bench.Bare"), QStringLiteral("value"), &receiver, SLOT(value(double)));
    std::function<void()> bareCurrent;
    onEveryFrame(&bareView, [&] { if (bareCurrent) bareCurrent(); });

    MainWindow window;
    window.show();
    QQuickItem* rootItem = window.rootItem();
    QQuickWidget* view = window.view();
    waitUntil([] { return false; }, 300);

    std::vector<double> latency, bare;
    std::vector<double> handled; // signal -> values in the scene (the host's read and the scene's update)
    QElapsedTimer* running = nullptr;
    QQmlProperty torqueProperty(rootItem, QStringLiteral("ac_torque"));
    Probe probe;
    probe.f = [&] {
        if (running)
            handled.push_back(running->nsecsElapsed() / 1e6);
        running = nullptr; // the first change of each result only
    };
    torqueProperty.connectNotifySignal(&probe, probe.metaObject()->indexOfMethod("hit()"));
    std::function<void()> current;
    onEveryFrame(view, [&] { if (current) current(); });
    for (int i = 0; i < count; ++i) {
        const double expected = torques[i];
        QDBusMessage change = QDBusMessage::createSignal(QStringLiteral("/Bare"), QStringLiteral("bench.Bare"), QStringLiteral("value"));
        change << expected;
        const double b = toFrame(&bareView, emitter, change, [&] { return qAbs(receiver.root->property("value").toDouble() - expected) < 1e-9; }, bareCurrent);
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/ResObj"), QStringLiteral("com.velmar.akku.ResInterface"), QStringLiteral("newresult"));
        signal << QStringLiteral("/home/tool/data/result.sq3") << ids[i];
        QElapsedTimer t;
        t.start();
        running = &t;
        const double g = toFrame(view, emitter, signal, [&] { return qAbs(rootItem->property("ac_torque").toDouble() - expected) < 1e-9; }, current);
        running = nullptr;
        if (b < 0 || g < 0) {
            std::fprintf(stderr, "result %d never shown\n", ids[i]);
            return 1;
        }
        bare.push_back(b);
        latency.push_back(g);
    }

    // The scene's share: the same push without the bus and the database.
    std::vector<double> sceneOnly;
    for (int i = 0; i < count; ++i) {
        QVariantMap map { { "prg_nr", 5 }, { "prg_name", "Tight" }, { "result", 1 }, { "torque", 20.0 + i / 1000.0 },
            { "dTorque", 0 }, { "angle", 90.0 }, { "dAngle", 0 }, { "tgs", 0.8 }, { "dTgs", 0 }, { "cycle", "" },
            { "qcode", 0 }, { "row", 0 }, { "torqueUnit", 1 } };
        QElapsedTimer t;
        t.start();
        window.callRoot("setResults", { QVariant(map) });
        sceneOnly.push_back(t.nsecsElapsed() / 1e6);
        waitUntil([] { return false; }, 2);
    }

    std::vector<double> roundTrip;
    QDBusInterface daemon(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), emitter);
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        daemon.call(QStringLiteral("GetId"));
        roundTrip.push_back(t.nsecsElapsed() / 1e6);
    }

    // The first result after start apart: it is the first read of the result database.
    const double first = latency.front();
    const double bareFirst = bare.front();
    latency.erase(latency.begin());
    bare.erase(bare.begin());
    std::printf("first result after start: %.3f ms (bare window's first change %.3f ms)\n", first, bareFirst);
    report("newresult -> values in the scene", handled);
    report("newresult -> first frame", latency);
    report("setResults alone (scene)", sceneOnly);
    report("empty D-Bus round trip", roundTrip);
    report("bare window: change -> first frame", bare);
    std::printf("TABLE\tfirst result after start -> frame\t%.2f\t%.2f\tms\n", first, bareFirst);
    std::printf("TABLE\tnewresult -> frame, median\t%.2f\t%.2f\tms\n", median(latency), median(bare));
    std::printf("TABLE\tnewresult -> frame, p99\t%.2f\t%.2f\tms\n", p99(latency), p99(bare));
    simulated.stop();
    return 0;
}

#include "bench_result_latency.moc"
