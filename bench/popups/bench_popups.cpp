// Popup latency and flood. Latency: from a "fpopupString" call, and from a "sysfault" signal,
// to the first frame of the view that shows the popup, beside an empty D-Bus round trip in the
// same run. Flood: 10,000 "fpopupString" calls in one burst; the stack keeps 15 popups, the
// memory stays where it was after the first burst, and the GUI answers a call at once.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "mainwindow.h"
#include "screenshots.h"
#include "testsupport.h"

namespace {

void report(const char* what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t p99 = std::min(v.size() - 1, size_t(v.size() * 0.99));
    std::printf("%-36s median %7.3f ms   p99 %7.3f ms   (%zu samples)\n", what, v[v.size() / 2], v[p99], v.size());
}

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// A text of the screen on display (replaced screens may linger until their deferred delete).
QString itemText(QQuickItem* root, const char* name)
{
    QObject* screen = root->property("screen").value<QObject*>();
    QObject* item = screen ? screen->findChild<QObject*>(QLatin1String(name)) : nullptr;
    return item ? item->property("text").toString() : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    const int count = argc > 1 ? atoi(argv[1]) : 300;
    const int flood = argc > 2 ? atoi(argv[2]) : 10000;

    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;
    // The tool's processes talk to the GUI from connections of their own.
    QDBusConnection tool = QDBusConnection::connectToBus(simulated.busAddress(), QStringLiteral("tool"));
    QDBusInterface gui(QStringLiteral("com.velmar.akku.GUIService"), QStringLiteral("/GUI"), QStringLiteral("com.velmar.akku.gui"), tool);

    MainWindow window;
    window.show();
    QQuickItem* rootItem = window.rootItem();
    QQuickWidget* view = window.view();
    waitUntil([] { return false; }, 300);

    std::function<void()> current;
    onEveryFrame(view, [&] { if (current) current(); });
    // Sends, then waits on an event loop for the first frame in which shown() holds.
    auto measure = [&](const std::function<void()>& send, const std::function<bool()>& shown, std::vector<double>* into) {
        bool done = false;
        QElapsedTimer t;
        QEventLoop loop;
        current = [&] {
            if (!done && shown()) {
                done = true;
                into->push_back(t.nsecsElapsed() / 1e6);
                loop.quit();
            }
        };
        t.start();
        send();
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        current = nullptr;
        return done;
    };
    auto closeAll = [&] {
        window.callRoot("closepopupString", { -1 });
        waitUntil([&] { return rootItem->property("state").toString() != QLatin1String("popupgui"); }, 2000);
        waitUntil([] { return false; }, 2);
        // replaced screens go now, not at some later turn of the event loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    std::vector<double> popupLatency;
    for (int i = 0; i < count; ++i) {
        const QString header = QStringLiteral("Message %1").arg(i);
        const bool ok = measure([&] { gui.asyncCall(QStringLiteral("fpopupString"), header, QStringLiteral("Bench"), 0, 0); },
                                [&] { return itemText(rootItem, "popupHeader") == header; }, &popupLatency);
        if (!ok) {
            std::fprintf(stderr, "popup %d never shown\n", i);
            return 1;
        }
        closeAll();
    }

    std::vector<double> faultLatency;
    for (int i = 0; i < count; ++i) {
        const int code = 1 + i % 400;
        const QString line = QStringLiteral("Code: %1\n").arg(code);
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"), QStringLiteral("sysfault"));
        signal << code << 1 << int(QDateTime::currentSecsSinceEpoch());
        const bool ok = measure([&] { tool.send(signal); },
                                [&] { return itemText(rootItem, "popupBody").startsWith(line); }, &faultLatency);
        if (!ok) {
            std::fprintf(stderr, "fault popup %d never shown (is \"sysfault\" subscribed?)\n", code);
            faultLatency.clear();
            break;
        }
        window.callRoot("closepopupString", { code });
        waitUntil([&] { return rootItem->property("state").toString() != QLatin1String("popupgui"); }, 2000);
    }
    window.callRoot("setSysFault", { false });

    std::vector<double> roundTrip;
    QDBusInterface daemon(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), tool);
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        daemon.call(QStringLiteral("GetId"));
        roundTrip.push_back(t.nsecsElapsed() / 1e6);
    }

    report("fpopupString -> first frame", popupLatency);
    if (!faultLatency.empty())
        report("sysfault -> first frame", faultLatency);
    report("empty D-Bus round trip", roundTrip);
    {
        std::vector<double> v = popupLatency, r = roundTrip;
        std::sort(v.begin(), v.end());
        std::sort(r.begin(), r.end());
        std::printf("METHOD\tpopups\t\"fpopupString\" call sent -> the paint of the frame showing the popup, beside an empty D-Bus round trip (*); medians\n");
        std::printf("TABLE\tfpopupString -> frame, median (*)\t%.2f\t%.2f\tms\n", v[v.size() / 2], r[r.size() / 2]);
    }

    // Flood: a burst of calls sent without waiting for their replies (the bus allows a
    // connection only a few pending replies), handled one after the other by the GUI.
    auto burst = [&](int round) {
        QElapsedTimer t;
        t.start();
        const QString last = QStringLiteral("Flood %1").arg(flood - 1);
        for (int i = 0; i < flood; ++i) {
            QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.GUIService"), QStringLiteral("/GUI"),
                                                               QStringLiteral("com.velmar.akku.gui"), QStringLiteral("fpopupString"));
            call << QStringLiteral("Flood %1").arg(i) << QStringLiteral("round %1").arg(round) << 0 << 0;
            tool.send(call);
        }
        const double sent = t.nsecsElapsed() / 1e6;
        const QString text = QStringLiteral("round %1").arg(round);
        const bool all = waitUntil([&] {
            return itemText(rootItem, "popupHeader") == last && itemText(rootItem, "popupBody") == text;
        }, 120000);
        const double handled = t.nsecsElapsed() / 1e6;
        // one call afterwards: its answer time
        QElapsedTimer a;
        a.start();
        bool answered = false;
        auto* w = new QDBusPendingCallWatcher(gui.asyncCall(QStringLiteral("getFccTestMode")));
        QObject::connect(w, &QDBusPendingCallWatcher::finished, w, [&answered, w] { answered = !w->isError(); w->deleteLater(); });
        waitUntil([&] { return answered; }, 5000);
        const double answer = a.nsecsElapsed() / 1e6;
        QVariant stackLength;
        QMetaObject::invokeMethod(rootItem, "getStackLength", Q_RETURN_ARG(QVariant, stackLength));
        const int length = stackLength.toInt();
        std::printf("flood %d: %d calls sent in %.0f ms, the last on display after %.0f ms; stack %d; "
                    "a call afterwards answered in %.2f ms; resident %ld KiB\n",
                    round, flood, sent, handled, length, answer, residentKiB());
        closeAll();
        return all && length == 15 && answered && answer < 100.0;
    };
    const long before = residentKiB();
    std::printf("resident before the floods: %ld KiB\n", before);
    bool ok = true;
    for (int round = 1; round <= 5; ++round)
        ok = burst(round) && ok;
    simulated.stop();
    return ok ? 0 : 1;
}
