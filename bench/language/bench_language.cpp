// Language switch with the main menu on display: the host's setLanguage (read and parse the
// language file, re-translate the scene) and the first frame after it, then the whole road
// from the tool: the simulator rewrites the GUI settings and announces them ("cfgfilechanged"),
// the GUI reloads its configuration and switches. German and English alternate.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QQuickItem>
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
    std::printf("%-40s median %7.3f ms   p99 %7.3f ms   max %7.3f ms   (%zu samples)\n", what, v[v.size() / 2],
        v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back(), v.size());
}

// The menu's title as the scene shows it.
QString title(QQuickItem* root)
{
    auto* screen = qobject_cast<QQuickItem*>(root->property("screen").value<QObject*>());
    return screen ? screen->property("headerText").toString() : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchDisplay();
    const int count = argc > 1 ? atoi(argv[1]) : 200;

    BenchTool simulated;
    QApplication app(argc, argv);
    if (!simulated.start())
        return 1;
    QDBusConnection ctl = QDBusConnection::connectToBus(simulated.busAddress(), QStringLiteral("ctl"));

    MainWindow window;
    window.show();
    QQuickItem* rootItem = window.rootItem();
    QMetaObject::invokeMethod(rootItem, "gotoState", Q_ARG(QVariant, QStringLiteral("mainmenu")));
    waitUntil([] { return false; }, 300);
    if (title(rootItem) != QLatin1String("Menu")) {
        std::fprintf(stderr, "main menu not shown: %s\n", qPrintable(title(rootItem)));
        return 1;
    }

    std::function<void()> onFrame;
    onEveryFrame(window.view(), [&] { if (onFrame) onFrame(); });
    auto measure = [&](const std::function<void(const QString&)>& start, const QString& code, const QString& expected,
                       std::vector<double>* call, std::vector<double>* frame) {
        QElapsedTimer t;
        QEventLoop loop;
        bool seen = false;
        onFrame = [&] {
            if (!seen && title(rootItem) == expected) {
                seen = true;
                frame->push_back(t.nsecsElapsed() / 1e6);
                loop.quit();
            }
        };
        t.start();
        start(code);
        if (call)
            call->push_back(t.nsecsElapsed() / 1e6);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        if (!seen)
            loop.exec();
        onFrame = nullptr;
        return seen;
    };

    std::vector<double> call, frame, road;
    for (int i = 0; i < count; ++i) {
        const bool german = i % 2 == 0;
        if (!measure([&](const QString& c) { window.setLanguage(c); }, german ? QStringLiteral("de") : QStringLiteral("en"),
                     german ? QStringLiteral("Menü") : QStringLiteral("Menu"), &call, &frame)) {
            std::fprintf(stderr, "switch %d not shown\n", i);
            return 1;
        }
    }
    for (int i = 0; i < count / 4; ++i) {
        const bool german = i % 2 == 0;
        if (!measure([&](const QString& c) { ctl.asyncCall(BenchTool::runMessage({ QStringLiteral("language"), c })); },
                     german ? QStringLiteral("de") : QStringLiteral("en"), german ? QStringLiteral("Menü") : QStringLiteral("Menu"),
                     nullptr, &road)) {
            std::fprintf(stderr, "switch %d from the tool not shown\n", i);
            return 1;
        }
    }

    std::vector<double> roundTrip;
    QDBusInterface daemon(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), ctl);
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        daemon.call(QStringLiteral("GetId"));
        roundTrip.push_back(t.nsecsElapsed() / 1e6);
    }

    report("setLanguage (read, parse, retranslate)", call);
    report("setLanguage -> first frame", frame);
    report("tool's language change -> first frame", road);
    report("empty D-Bus round trip", roundTrip);
    std::sort(road.begin(), road.end());
    std::sort(roundTrip.begin(), roundTrip.end());
    std::printf("METHOD\tlanguage\tthe settings rewritten and announced by the simulator -> the paint of the frame in the other language, beside an empty D-Bus round trip (*); medians\n");
    std::printf("TABLE\tlanguage change -> frame, median (*)\t%.2f\t%.2f\tms\n", road[road.size() / 2], roundTrip[roundTrip.size() / 2]);
    simulated.stop();
    return 0;
}
