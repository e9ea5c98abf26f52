// The GUI on a bus where none of the tool's services runs, then where they hang, and the rule
// by which it judges the services' replies.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QQuickItem>
#include <QtTest>

#include "dbustestbench.h"
#include "mainwindow.h"
#include "peer.h"
#include "systemlog.h"
#include "testsupport.h"
#include "toolservices.h"

using Operation = std::function<void(MainWindow&)>;
Q_DECLARE_METATYPE(Operation)

class TestGuiNoService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void startsWithoutServices();
    void enableWithoutSystemService();
    void operationModeWithoutSystemService();
    void replyRule();
    void startsWithHungServices();
    void hungServiceCalls_data();
    void hungServiceCalls();

private:
    static int count(const QStringList& lines, const QString& prefix)
    {
        int n = 0;
        for (const QString& l : lines)
            n += l.startsWith(prefix) ? 1 : 0;
        return n;
    }
    bool monitorSees(const QString& text)
    {
        return m_monitorOutput.contains(text);
    }
    void readMonitor(const QString& until)
    {
        waitUntil([&] {
            m_monitorOutput += QString::fromUtf8(m_monitor.readAllStandardOutput());
            return m_monitorOutput.contains(until);
        }, 10000);
    }

    TempSysroot* m_root = nullptr;
    PrivateBus m_bus;
    DBusTestBench* m_bench = nullptr;
    MainWindow* m_window = nullptr;
    QStringList m_startupLog;
    QProcess m_monitor;
    QString m_monitorOutput;
    Peer m_hung;
};

// A service that hangs holds the GUI thread for 25 s per call (the bus's default time-out)
// unless the GUI bounds its waits; half of that tells the two apart on a loaded machine.
constexpr int HungBoundMs = 12000;

void TestGuiNoService::initTestCase()
{
    m_root = new TempSysroot;
    QVERIFY(m_bus.isRunning());
    m_bench = new DBusTestBench(m_bus.address());

    // A bus monitor sees every call to the system service's interface, also those that no
    // one can receive.
    endWithTest(m_monitor);
    m_monitor.start(QStringLiteral("dbus-monitor"), { QStringLiteral("--address"), m_bus.address(), QStringLiteral("--monitor"),
        QStringLiteral("type='method_call',interface='com.velmar.akku.SysInterface'") });
    QVERIFY(m_monitor.waitForStarted());
    // Once its own probe shows up, the monitor is listening.
    QVERIFY(waitUntil([&] {
        m_bench->call(QStringLiteral("com.velmar.akku.SysService"), QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"),
            QStringLiteral("probe"));
        m_monitorOutput += QString::fromUtf8(m_monitor.readAllStandardOutput());
        return m_monitorOutput.contains(QLatin1String("member=probe"));
    }));

    SystemLog::startCapture();
    m_window = new MainWindow(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")));
    m_startupLog = SystemLog::capturedLines();
    SystemLog::stopCapture();
}

void TestGuiNoService::cleanupTestCase()
{
    m_monitor.terminate();
    m_monitor.waitForFinished(2000);
    delete m_window;
    delete m_bench;
    delete m_root;
}

// The window comes up, owns its name and answers; the queries failed without a message.
void TestGuiNoService::startsWithoutServices()
{
    QVERIFY(m_window->rootItem());
    QVERIFY(QDBusConnection::systemBus().interface()->isServiceRegistered(QStringLiteral("com.velmar.akku.GUIService")).value());
    const QDBusMessage reply = m_bench->callGui(QStringLiteral("getFccTestMode"));
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(count(m_startupLog, QStringLiteral("<3>SysService.frdyget not possible: ")), 1);
    QVERIFY(m_startupLog.contains(QStringLiteral(
        "<3>SysService.frdyget not possible: org.freedesktop.DBus.Error.ServiceUnknown, "
        "The name com.velmar.akku.SysService was not provided by any .service files")));
    // The scene keeps its defaults: none of the answers arrived.
    for (const QString& c : DBusTestBench::sceneCalls(*m_window))
        QVERIFY2(!c.startsWith(QLatin1String("setReady")), qPrintable(c));
}

// One error line, and no "frdyflagset" ever leaves.
void TestGuiNoService::enableWithoutSystemService()
{
    SystemLog::startCapture();
    m_window->enableScrewdriver();
    const QStringList log = SystemLog::capturedLines();
    SystemLog::stopCapture();
    QCOMPARE(log.size(), 1);
    QVERIFY(log.first().startsWith(QLatin1String("<3>SysService.frdyget not possible: org.freedesktop.DBus.Error.ServiceUnknown, ")));

    // Everything the GUI sent before this marker has reached the monitor.
    m_bench->call(QStringLiteral("com.velmar.akku.SysService"), QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"),
        QStringLiteral("marker"));
    readMonitor(QStringLiteral("member=marker"));
    QVERIFY(monitorSees(QStringLiteral("member=frdyget")));
    QVERIFY(!monitorSees(QStringLiteral("member=frdyflagset")));
}

void TestGuiNoService::operationModeWithoutSystemService()
{
    SystemLog::startCapture();
    const int before = DBusTestBench::sceneCalls(*m_window).size();
    m_window->setOperationMode(2, 0, 1);
    const QStringList log = SystemLog::capturedLines();
    SystemLog::stopCapture();
    QCOMPARE(log, QStringList { QStringLiteral("<3>Set operation mode failed") });
    QCOMPARE(DBusTestBench::sceneCalls(*m_window).size(), before);
}

// Success needs a method reply without an error message; an error reply counts as failed even
// when its message is empty, and a reply with too few arguments as failed where they are used.
void TestGuiNoService::replyRule()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("a.b"), QStringLiteral("/x"), QStringLiteral("a.b"), QStringLiteral("frdyget"));
    QDBusMessage reply = call.createReply(QVariantList { 3, 3 });
    QVERIFY(ToolServices::succeeded(reply));
    QVERIFY(ToolServices::succeeded(reply, 2));
    QVERIFY(!ToolServices::succeeded(reply, 3));
    QVERIFY(ToolServices::succeeded(call.createReply()));
    QVERIFY(!ToolServices::succeeded(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"), QStringLiteral("no"))));
    QVERIFY(!ToolServices::succeeded(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"), QString())));
    QVERIFY(!ToolServices::succeeded(QDBusMessage()));
}

// The system, WLAN and key services own their names but answer nothing: the start-up waits
// for none of them longer than the GUI's bound, and the ready check takes its failure path.
void TestGuiNoService::startsWithHungServices()
{
    QVERIFY(m_hung.start({ QStringLiteral("hang"), QStringLiteral("com.velmar.akku.SysService:/SysObj"),
        QStringLiteral("com.velmar.akku.WlanService:/WlanObj"), QStringLiteral("com.velmar.akku.BmsService:/BmsObj") }));
    QCOMPARE(m_hung.readLine(), QStringLiteral("owned"));
    delete m_window;
    SystemLog::startCapture();
    QElapsedTimer timer;
    timer.start();
    m_window = new MainWindow(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")));
    const qint64 elapsed = timer.elapsed();
    const QStringList log = SystemLog::capturedLines();
    SystemLog::stopCapture();
    QVERIFY2(elapsed < HungBoundMs, qPrintable(QString::number(elapsed)));
    QCOMPARE(count(log, QStringLiteral("<3>SysService.frdyget not possible: org.freedesktop.DBus.Error.NoReply, ")), 1);
    QCOMPARE(m_bench->callGui(QStringLiteral("getFccTestMode")).type(), QDBusMessage::ReplyMessage);
}

void TestGuiNoService::hungServiceCalls_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("log");
    const QStringList none;
    // The reply is used: waited for within the bound, then the failure path.
    QTest::newRow("operation mode") << Operation([](MainWindow& w) { w.setOperationMode(2, 0, 1); })
                                    << QStringList { QStringLiteral("<3>Set operation mode failed") };
    QTest::newRow("fault acknowledgement: no activity entry") << Operation([](MainWindow& w) { w.sendAck(); }) << none;
    QTest::newRow("ready check") << Operation([](MainWindow& w) { w.enableScrewdriver(); })
                                 << QStringList { QStringLiteral("<3>SysService.frdyget not possible: org.freedesktop.DBus.Error.NoReply") };
    // The station information: the file is read as it is; once one request ran out, the
    // screen's refresh every 5 s no longer waits at all.
    QTest::newRow("station information, ten times") << Operation([](MainWindow& w) {
        for (int i = 0; i < 10; ++i)
            QCOMPARE(w.getBSSID(), QStringLiteral("-"));
    }) << none;
    // The reply is not used: sent, not waited for.
    QTest::newRow("flags, configuration change, key") << Operation([](MainWindow& w) {
        w.disableScrewdriver();
        w.setGuiReady();
        w.akkuNotReady();
        w.setAkkuReady();
        w.guiCfgFileChanged();
        w.sendBmsBitSignal(0, 1);
    }) << none;
}

void TestGuiNoService::hungServiceCalls()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, log);
    SystemLog::startCapture();
    QElapsedTimer timer;
    timer.start();
    operation(*m_window);
    const qint64 elapsed = timer.elapsed();
    QStringList lines = SystemLog::capturedLines();
    SystemLog::stopCapture();
    for (QString& l : lines)
        l = l.section(QLatin1Char(','), 0, 0);
    QVERIFY2(elapsed < HungBoundMs, qPrintable(QString::number(elapsed)));
    QCOMPARE(lines, log);
    // The GUI answers its own callers meanwhile.
    QCOMPARE(m_bench->callGui(QStringLiteral("getFccTestMode")).type(), QDBusMessage::ReplyMessage);
}

QTEST_MAIN(TestGuiNoService)
#include "tst_guinoservice.moc"
