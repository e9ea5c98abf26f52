#include <QtTest>

#include "hosttest.h"
#include "systemlog.h"
#include "testsupport.h"

// The host window's diagnostic-tree members with the real window, a recording scene and a
// private bus without any tool service on it.
class TestMainWindowDiag : public QObject
{
    Q_OBJECT

private:
    static QString diag(const QString& name) { return QStringLiteral("/var/run/diag/") + name; }
    PrivateBus m_bus; // the host window reaches the tool's services on it

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("LOCAL_VAR_ROOT_PATH");
        QVERIFY(m_bus.isRunning());
    }

    void identificationCode()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("idcode"), " VIN 0815\n"));
        RecordedHost host;
        host.window.getInitialIDcode();
        QVERIFY(root.write(diag("idcode"), "\n"));
        host.window.getInitialIDcode();
        QCOMPARE(host.calls(), QStringList(QStringLiteral("newIdcode VIN 0815 locked")));
    }

    // The cache is filled once at start-up and then only follows the change calls; only
    // states from -1 to 1 reach the scene.
    void connectionStates()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("ResConStates/Xml"), "0"));
        RecordedHost host;
        MainWindow& w = host.window;
        QVERIFY(root.write(diag("ResConStates/OpenProtocol"), "1"));
        QVERIFY(root.write(diag("ResConStates/Xml"), "1"));
        QCOMPARE(w.getInitResConStates().toMap().value(QStringLiteral("values")).toMap().value(QStringLiteral("Xml")), QVariant(0));

        w.fResServiceConChanged(QStringLiteral("Xml"), 2);
        QVERIFY(host.calls().isEmpty());
        QCOMPARE(w.getInitResConStates().toMap().value(QStringLiteral("values")).toMap().value(QStringLiteral("Xml")), QVariant(2));
        w.fResServiceConChanged(QStringLiteral("Xml"), 1);
        w.fResServiceConChanged(QStringLiteral("OpenProtocol"), -1);
        w.fResServiceConChanged(QStringLiteral("OpenProtocol"), -2); // out of range: kept, not shown
        QCOMPARE(host.calls(), QStringList({ QStringLiteral("resServiceConChanged {\"keys\":[0],\"values\":{\"Xml\":1}}"),
                                             QStringLiteral("resServiceConChanged {\"keys\":[0],\"values\":{\"OpenProtocol\":-1,\"Xml\":1}}") }));
    }

    void changedServiceFile()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("res_services/Xml.json"), "{\"data\": []}"));
        RecordedHost host;
        MainWindow& w = host.window;
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/Xml.json"));
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/.json"));
        w.fResServiceDiagDataChanged(root.path(diag("res_services/Xml.json"))); // a host path is no device path
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/../../../etc/x.txt"));
        QCOMPARE(host.calls(), QStringList(QStringLiteral("resSerDiagDataChanged Xml")));
        QCOMPARE(w.getServices(), QStringList(QStringLiteral("Xml")));
        QCOMPARE(w.readSrvsFile(QStringLiteral("Xml")), QStringLiteral("{\"data\": []}"));
    }
};

QTEST_MAIN(TestMainWindowDiag)
#include "tst_mainwindow_diag.moc"
