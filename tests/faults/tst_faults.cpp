// System faults and their acknowledgement with the real host window, the simulated tool as
// the system service on a private bus, and the activity log as a real SQLite file.
#include <QElapsedTimer>
#include <QProcess>
#include <QQuickItem>
#include <QtTest>

#include <sys/stat.h>

#include "activitylog.h"
#include "activitylogfile.h"
#include "dbustestbench.h"
#include "mainwindow.h"
#include "systemlog.h"
#include "testsupport.h"

namespace {

const QString ActivityDb = QStringLiteral("/var/log/activity.sq3");

bool logged(const QString& line)
{
    return SystemLog::capturedLines().filter(line).size() > 0;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void faultRoad();
    void badReports();
    void activityLogFailures();

private:
    // The scene calls of the fault handlers since `from` (the simulator's other events interleave).
    QStringList callsSince(int from) const
    {
        static const QRegularExpression faultCall(QStringLiteral("^(setSysFault|popupString|closepopupString|removeSysfaultFromStack) "));
        return DBusTestBench::sceneCalls(*m_window).mid(from).filter(faultCall);
    }
    int mark() const { return DBusTestBench::sceneCalls(*m_window).size(); }
    bool sceneGets(const QString& entry, int from)
    {
        return waitUntil([&] { return callsSince(from).contains(entry); }, 10000);
    }

    TempSysroot* m_root = nullptr;
    PrivateBus m_bus;
    DBusTestBench* m_bench = nullptr;
    MainWindow* m_window = nullptr;
};

void TestFaults::initTestCase()
{
    qunsetenv("LOCAL_VAR_ROOT_PATH");
    m_root = new TempSysroot;
    QVERIFY(m_bus.isRunning());
    m_bench = new DBusTestBench(m_bus.address());
    QVERIFY2(m_bench->startSimulator(m_root->root()), qPrintable(m_bench->simulatorOutput()));
    m_window = new MainWindow(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")));
    QVERIFY(m_window->rootItem());
    m_window->setLanguage(QStringLiteral("de")); // the sample's German texts
}

void TestFaults::cleanupTestCase()
{
    delete m_window;
    delete m_bench;
    delete m_root;
}

// Two faults from the system service, acknowledged one after the other: the popups carry
// the translated texts, each accepted acknowledgement is logged (600), the next pending
// fault comes back with the display parameters its stacked popup had, and the indicator
// goes off with the last one. A refused acknowledgement logs nothing.
void TestFaults::faultRoad()
{
    const QString db = m_root->path(ActivityDb);
    int from = mark();
    QCOMPARE(m_bench->run({ "fault", "17", "3" }).arguments().value(0).toString(), QStringLiteral("139"));
    QVERIFY(sceneGets(QStringLiteral("popupString Sys Fault Motortemperatur zu hoch 0 0 17 3"), from));
    QCOMPARE(callsSince(from).first(), QStringLiteral("setSysFault true"));
    from = mark();
    m_bench->run({ "fault", "5", "1" });
    QVERIFY(sceneGets(QStringLiteral("popupString Sys Fault Verbindung zur Steuerung unterbrochen 0 0 5 1"), from));

    m_bench->run({ "faultack", "refuse" });
    m_window->sendAck();
    QVERIFY(ActivityLogFile::displayEntries(db).isEmpty());
    m_bench->run({ "faultack", "accept" });

    m_window->rootItem()->setProperty("stackedFault", QVariantMap { { "code", 17 }, { "timer", 2 }, { "waitForAck", 1 } });
    from = mark();
    m_window->sendAck();
    QCOMPARE(ActivityLogFile::displayEntries(db), QStringList(QStringLiteral("600")));
    QVERIFY(sceneGets(QStringLiteral("popupString Sys Fault Motortemperatur zu hoch 2 1 17 3"), from));
    QCOMPARE(callsSince(from), QStringList({ "closepopupString 5", "removeSysfaultFromStack 17",
                                             "popupString Sys Fault Motortemperatur zu hoch 2 1 17 3" }));
    from = mark();
    m_window->sendAck();
    QVERIFY(sceneGets(QStringLiteral("closepopupString 17"), from));
    QCOMPARE(callsSince(from), QStringList({ "setSysFault false", "closepopupString 17" }));
    QCOMPARE(m_bench->run({ "faults" }).arguments().value(0).toString(), QStringLiteral("none"));

    // Nothing pending: the service refuses, nothing is logged.
    m_window->sendAck();
    m_window->addActivityEntryNokAck();
    QCOMPARE(ActivityLogFile::displayEntries(db), QStringList({ "600", "600", "526 5" }));
}

// Reports no tool should send, and the ones that open no popup.
void TestFaults::badReports()
{
    SystemLog::startCapture();
    const int from = mark();
    MainWindow& w = *m_window;
    w.fsysfault(0, 1, 0);
    w.fsysfault(-8, 2, 0);
    w.fsysfault(403, 0, 0);
    w.fsysfault(403, 2, 0);         // battery power critical: indicator only
    w.fsysfault(999, 9, 0);         // no text, class out of range: shown and logged
    w.fsysfault(12, -1, 0);
    w.ackfsysfault(42, 0);          // not shown: closing it changes nothing in the scene's stack
    w.ackfsysfault(42, -3);
    QCOMPARE(callsSince(from), QStringList({ "setSysFault true",
                                             "setSysFault true", "popupString Sys Fault 999 0 0 999 9",
                                             "popupString Sys Fault Fehler Winkelgeber 0 0 12 -1",
                                             "setSysFault false", "closepopupString 42",
                                             "setSysFault false", "closepopupString 42" }));
    QVERIFY(logged(QStringLiteral("<4>Fault 999 reported with class 9")));
    SystemLog::stopCapture();
}

// The database is never created; a locked, corrupt or FIFO database costs the GUI at most
// a bounded wait and the entry, never the rows already there.
void TestFaults::activityLogFailures()
{
    TempSysroot root;
    const QString db = root.path(ActivityDb);
    SystemLog::startCapture();
    QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
    QVERIFY(logged(QStringLiteral("<3>Activity database not found!")));
    QVERIFY(!QFile::exists(db));

    QVERIFY(root.mkdir(QStringLiteral("/var/log")));
    QCOMPARE(::mkfifo(QFile::encodeName(db).constData(), 0644), 0);
    QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
    QVERIFY(QFile::remove(db));

    QVERIFY(root.write(ActivityDb, QByteArray("not a database, but someone's data\n").repeated(100)));
    QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
    QCOMPARE(root.read(ActivityDb), QByteArray("not a database, but someone's data\n").repeated(100));
    QVERIFY(QFile::remove(db));

    QVERIFY(ActivityLogFile::create(db));
    QVERIFY(ActivityLog::append(111, QStringLiteral("ManOp"), {}, {}, {}));

    // Another writer holds the database for as long as this test needs.
    QProcess holder;
    endWithTest(holder);
    holder.start(QStringLiteral("sqlite3"), { db });
    QVERIFY(holder.waitForStarted());
    holder.write("BEGIN EXCLUSIVE; INSERT INTO activity (timestamp, user, code) VALUES (1, 1, 1); SELECT 'held';\n");
    QVERIFY(waitUntil([&] { return holder.readAllStandardOutput().contains("held"); }, 10000));
    QElapsedTimer t;
    t.start();
    QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(logged(QStringLiteral("<4>Activity entry 600 not written")));
    holder.write("COMMIT;\n.quit\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));

    QVERIFY(ActivityLog::append(600, {}, {}, {}, {}));
    QCOMPARE(ActivityLogFile::displayEntries(db), QStringList({ "111 ManOp", "600" }));
    SystemLog::stopCapture();
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
