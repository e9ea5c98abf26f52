#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QtTest>

#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "mainwindow.h"
#include "systemlog.h"
#include "testsupport.h"

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sceneMissing();
    void startupSequence();
    void screenReleased();
    void niceLimits();
    void coreDumpArgument_data();
    void coreDumpArgument();

private:
    QStringList calls(MainWindow& w) const
    {
        return w.rootItem()->property("calls").toStringList();
    }
    // Runs `check` in a forked child, so privilege and nice changes stay there.
    static bool inChild(const std::function<bool()>& check)
    {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(check() ? 0 : 1);
        int status = 0;
        return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    PrivateBus m_bus;
    TempSysroot* m_root = nullptr;
};

void TestMainWindow::initTestCase()
{
    m_root = new TempSysroot;
    QVERIFY(m_bus.isRunning());
}

// Without a scene the window still comes up; every push into the scene does nothing and
// the GUI interface still answers.
void TestMainWindow::sceneMissing()
{
    MainWindow w(nullptr, QUrl(QStringLiteral("qrc:/qml/no-such-scene.qml")));
    QVERIFY(!w.rootItem());
    w.callRoot("setReady", { true });
    w.fpopupString(QStringLiteral("h"), QStringLiteral("t"), 0, 0);
    w.fupdateprgnr(5);
    const int current = w.setNice(0);
    QVERIFY(current >= 0 && current < 19);
    SystemLog::startCapture();
    QCOMPARE(w.setNice(1), current + 1);
    QVERIFY(SystemLog::capturedLines().contains(QStringLiteral("<7>Current nice is %1").arg(current + 1)));
    SystemLog::stopCapture();
}

// Start-up pushes the state reached before the GUI came up, in a fixed order; with no tool
// service on the bus everything comes from the diagnostic tree and the settings files.
void TestMainWindow::startupSequence()
{
    TempSysroot root;
    const auto diag = [](const char* name) { return QStringLiteral("/var/run/diag/") + QLatin1String(name); };
    QVERIFY(root.write(diag("tiwlan/fccmode"), "true\n"));
    QVERIFY(root.write(diag("tiwlan/interface"), "true"));
    QVERIFY(root.write(diag("battery/status"), " 3\n"));
    QVERIFY(root.write(diag("battery/power"), "80"));
    QVERIFY(root.write(diag("enable"), "1"));
    QVERIFY(root.write(diag("sysfault"), "43")); // class 3, code 5
    QVERIFY(root.write(diag("prgnr"), "12"));
    QVERIFY(root.write(diag("idcode"), "VIN 0815"));
    QVERIFY(root.write(diag("tiwlan/station-info.dat"), "BSSID: 00 11 22 33 44 55\n"));
    QVERIFY(root.write(diag("gui/showmanop"), "1"));
    QVERIFY(root.mkdir(QStringLiteral("/home/tool/config/jobs/2")));
    QVERIFY(root.write(QStringLiteral("/home/tool/config/wlan.json"),
        "{\"interface\": true, \"connections\": [{\"wlan\": {\"ssid\": \"Halle 3\"}}]}"));

    MainWindow w(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")));
    QVERIFY(w.rootItem());
    QCOMPARE(calls(w), QStringList({
        "setFccTestMode true",
        "wlanInterface true",
        "batteryStatus 3",
        "batteryPower 80",
        "setEnable true",
        "updatePrgnr 12",
        "updateKeyPos 12 5",
        "setSysFault true",
        "popupString Sys Fault 5 0 0 5 3",
        "setSSID Halle 3",
        "setBSSID 001122334455",
        "newIdcode VIN 0815",
        "checkAllowedModes showmanop true",
    }));
    QVERIFY(w.getFccTestMode());
    QVERIFY(!w.testSoftwareActive());

    // Calls into the scene: a wrong argument count or a missing function does nothing.
    const int before = calls(w).size();
    w.callRoot("setReady", { true });
    w.callRoot("setReady", { 1, 2 });
    w.callRoot("noSuchFunction", { 1 });
    w.callRoot("updateKeyPos", { -88, 7 });
    QVariantMap result { { "prg_nr", 5 }, { "torqueUnit", 2 } };
    w.callRoot("setResults", { QVariant(result) });
    const QStringList c = calls(w).mid(before);
    QCOMPARE(c.size(), 3);
    QCOMPARE(c.mid(0, 2), QStringList({ "setReady true", "updateKeyPos -88 7" }));
    QVERIFY2(c.at(2).startsWith("setResults {") && c.at(2).contains("\"prg_nr\":5") && c.at(2).contains("\"torqueUnit\":2"), qPrintable(c.at(2)));
}

// A screen the loader gives up is deleted and released; what its script library keeps across
// visits (the WLAN screen's entries usable when the key went down) is still there when the screen is built again.
void TestMainWindow::screenReleased()
{
    MainWindow w;
    w.show();
    QObject* body = w.rootItem()->findChild<QObject*>(QStringLiteral("body"));
    QVERIFY(body);
    const auto screen = [&] { return body->property("item").value<QObject*>(); };
    const auto eval = [&](const char* text) {
        QQmlExpression e(qmlContext(screen()), screen(), QString::fromLatin1(text));
        return e.evaluate();
    };
    w.callRoot("gotoState", { QStringLiteral("wlan") });
    QCOMPARE(screen()->objectName(), QStringLiteral("wlan"));
    QCOMPARE(eval("WlanVar.tempBtns.restartwlan = true"), QVariant(true));
    QPointer<QObject> wlan = screen();
    w.callRoot("gotoState", { QStringLiteral("actualValues") });
    QTRY_VERIFY(wlan.isNull());
    QTest::qWait(100);
    w.callRoot("gotoState", { QStringLiteral("wlan") });
    QCOMPARE(screen()->objectName(), QStringLiteral("wlan"));
    QCOMPARE(eval("WlanVar.tempBtns.restartwlan"), QVariant(true));
}

// Lowering the nice value needs privileges: a process without them gets 100 and an error line.
// Extreme steps saturate at the ends of the range instead of overflowing to the other end.
void TestMainWindow::niceLimits()
{
    MainWindow w(nullptr, QUrl(QStringLiteral("qrc:/qml/no-such-scene.qml")));
    QVERIFY(inChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return false;
        SystemLog::startCapture();
        return w.setNice(-5) == 100
            && SystemLog::capturedLines().contains(QStringLiteral("<3>Set nice failed with errno %1").arg(EPERM));
    }));
    if (geteuid() != 0)
        QSKIP("lowering the nice value needs root");
    QVERIFY(inChild([&] {
        const int current = w.setNice(0);
        return w.setNice(5 - current) == 5 && w.setNice(INT_MAX) == 19 && w.setNice(-25) == -6
            && w.setNice(INT_MIN) == -20 && w.setNice(INT_MIN) == -20 && w.setNice(INT_MAX) == 19;
    }));
}

void TestMainWindow::coreDumpArgument_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("unlimited");
    QTest::newRow("third entry") << QStringList({ "x", "_enableCoreDump" }) << true;
    QTest::newRow("second entry") << QStringList({ "_enableCoreDump" }) << false;
    QTest::newRow("other case") << QStringList({ "x", "_ENABLECOREDUMP" }) << false;
}

// The real program, started with a soft core limit of 0: only "_enableCoreDump" at index 2
// lifts it.
void TestMainWindow::coreDumpArgument()
{
    QFETCH(QStringList, args);
    QFETCH(bool, unlimited);
    struct rlimit saved;
    getrlimit(RLIMIT_CORE, &saved);
    struct rlimit zero = saved;
    zero.rlim_cur = 0;
    setrlimit(RLIMIT_CORE, &zero);

    QProcess gui;
    gui.setProgram(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"));
    gui.setArguments(args);
    gui.start();
    setrlimit(RLIMIT_CORE, &saved);
    QVERIFY(gui.waitForStarted());
    // The limit is set before the window exists; once the start-up data load logs its first
    // line it is there.
    QByteArray err;
    QVERIFY(waitUntil([&] {
        gui.waitForReadyRead(20);
        err += gui.readAllStandardError();
        return err.contains("PREFIX for var run path");
    }, 20000));
    QString line;
    QFile limits(QStringLiteral("/proc/%1/limits").arg(gui.processId()));
    QVERIFY(limits.open(QIODevice::ReadOnly));
    for (const QString& l : QString::fromUtf8(limits.readAll()).split('\n'))
        if (l.startsWith(QLatin1String("Max core file size")))
            line = l;
    gui.kill();
    gui.waitForFinished();
    const QStringList fields = line.simplified().split(' ');
    QVERIFY2(fields.size() >= 5, qPrintable(line));
    QCOMPARE(fields.at(4) == QLatin1String("unlimited"), unlimited);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
