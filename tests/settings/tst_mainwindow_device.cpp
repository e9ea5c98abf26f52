#include <QNetworkInterface>
#include <QtTest>

#include <sys/stat.h>

#include "activitylogfile.h"
#include "devicepaths.h"
#include "fwversion.h"
#include "hosttest.h"
#include "infovalues.h"
#include "plctable.h"
#include "testsupport.h"

// The PLC table, the WLAN restart, clock and power, the activity entries, the information
// values and the diagnostic tree's members: real files and scripts in a temporary system root, the real window
// with a recording scene, a private bus without the tool's services.
class TestMainWindowDevice : public QObject
{
    Q_OBJECT

private:
    PrivateBus m_bus; // the host window reaches the tool's services on it
    const QString PlcModule = QStringLiteral("/home/tool/config/plctab/mod_tool.lua");
    static QString diag(const QString& name) { return QStringLiteral("/var/run/diag/") + name; }

    static bool writeScript(const TempSysroot& root, const QString& devicePath, const QByteArray& body)
    {
        if (!root.write(devicePath, "#!/bin/sh\n" + body))
            return false;
        return QFile::setPermissions(root.path(devicePath), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("LOCAL_VAR_ROOT_PATH");
        QVERIFY(m_bus.isRunning());
    }

    void plcTable_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QString>("keys"); // L|M|R
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("allPrograms");
        QByteArray progs;
        for (int p = 0; p < 8; ++p)
            progs += "module.in_tab[" + QByteArray::number(10 + p) + "] = plc.In.Prog" + QByteArray::number(p) + "\n";
        QTest::newRow("keys") << QByteArray("module.active = TRUE\nmodule.in_tab[4] = plc.In.ManOp\n"
                                            "  module.in_tab[6]=plc.In.Prog3  \r\n")
                              << "ManOp||Prog3" << true << false;
        QTest::newRow("later wins, others ignored")
            << QByteArray("module.active=true\nmodule.in_tab[5] = plc.In.Start\nmodule.in_tab[x] = plc.In.Stop\n"
                          "module.in_tab[7] = plc.In.Stop\nmodule.in_tab[5] = plc.In.Reset\n") + progs
            << "|Reset|" << false << true;
        QTest::newRow("Prog7 missing") << progs.left(progs.lastIndexOf("module")) << "||" << false << false;
        QTest::newRow("empty") << QByteArray() << "||" << false << false;
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary += char((i * 131) & 0xff);
        QTest::newRow("binary, a NUL ends the line")
            << binary + "\nmodule.in_tab[4] = plc.In.ManOp\0module.in_tab[5] = plc.In.Start\n" << "ManOp||" << false << false;
    }

    void plcTable()
    {
        QFETCH(QByteArray, module);
        QFETCH(QString, keys);
        QFETCH(bool, active);
        QFETCH(bool, allPrograms);
        TempSysroot root;
        QVERIFY(root.write(PlcModule, module));
        const QString dir = root.path(QString::fromLatin1(DevicePaths::PlcTable));
        const QVariantMap texts = PlcTable::keyTexts(dir);
        QCOMPARE(QStringList({ texts.value("L").toString(), texts.value("M").toString(), texts.value("R").toString() })
                     .join(QLatin1Char('|')), keys);
        QCOMPARE(PlcTable::moduleActive(dir), active);
        QCOMPARE(PlcTable::allProgramsAvailable(dir), allPrograms);
    }

    // A release of an assigned key is logged even though no key/PLC service answers.
    void keyReleaseIsLogged()
    {
        TempSysroot root;
        const QString activities = root.path(QString::fromLatin1(DevicePaths::ActivityDb));
        QVERIFY(root.mkdir(QStringLiteral("/var/log")) && ActivityLogFile::create(activities));
        RecordedHost host;
        MainWindow& w = host.window;
        QCOMPARE(w.getMappedBmsBits().value("L").toString(), QString()); // no module: nothing assigned
        QVERIFY(root.write(PlcModule, "module.in_tab[4] = plc.In.ManOp\n"));
        w.sendBmsBitSignal(0, 1);
        w.sendBmsBitSignal(0, 0);
        w.sendBmsBitSignal(1, 0);
        w.setDateTime(QStringLiteral("x")); // no date command in this root: only the entry
        QCOMPARE(ActivityLogFile::displayEntries(activities), QStringList({ "111 ManOp", "501" }));
    }

    void restartOutcomes_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("call");
        QTest::newRow("success") << QByteArray("exit 0") << "restartWlanProcessSuccess";
        QTest::newRow("in progress") << QByteArray("exit 1") << "restartWlanProcessFailed 1";
        QTest::newRow("failed") << QByteArray("exit 3") << "restartWlanProcessFailedUnspecific 3";
        QTest::newRow("killed") << QByteArray("kill -KILL $$") << "restartWlanProcessFailedUnspecific 7";
        QTest::newRow("missing") << QByteArray() << "restartWlanProcessFailedUnspecific 127";
    }

    void restartOutcomes()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, call);
        TempSysroot root;
        QVERIFY(root.mkdir(QStringLiteral("/etc")));
        if (!script.isEmpty())
            QVERIFY(writeScript(root, QStringLiteral("/opt/ti-wireless/WL6.1.6.0.3/install.sh"),
                                "[ \"$1\" = restart ] || exit 9\n" + script + "\n"));
        RecordedHost host;
        host.window.restartwlan();
        QVERIFY(waitUntil([&] { return host.calls().size() >= 2; }, 10000));
        QCOMPARE(host.calls(), QStringList({ "setWlanRestarted false", call }));
    }

    // The clock is set with the system root's commands; the power scripts run one at a time.
    void clockAndPower()
    {
        TempSysroot root;
        const QString activities = root.path(QString::fromLatin1(DevicePaths::ActivityDb));
        QVERIFY(root.mkdir(QStringLiteral("/var/log")) && ActivityLogFile::create(activities));
        const QByteArray record = "echo \"$(basename $0) $#:$*\" >> \"$TOOL_SYSROOT/var/log/asked\"\n";
        QVERIFY(writeScript(root, QStringLiteral("/bin/date"), record));
        QVERIFY(writeScript(root, QStringLiteral("/sbin/hwclock"), record));
        QVERIFY(writeScript(root, QStringLiteral("/etc/reboot/reboot.sh"), record + "sleep 1\n"));
        QVERIFY(writeScript(root, QStringLiteral("/etc/reboot/poweroff.sh"), record));
        RecordedHost host;
        MainWindow& w = host.window;
        w.setDateTime(QStringLiteral("2000.01.01-00:00"));
        QCOMPARE(root.read(QStringLiteral("/var/log/asked")), QByteArray("date 2:-s 2000.01.01-00:00\nhwclock 1:-uw\n"));
        QCOMPARE(ActivityLogFile::displayEntries(activities), QStringList({ "501" }));
        w.reboot();
        w.poweroff();
        QVERIFY(waitUntil([&] { return root.read(QStringLiteral("/var/log/asked")).contains("reboot"); }));
        QTest::qWait(1500);
        QVERIFY(!root.read(QStringLiteral("/var/log/asked")).contains("poweroff"));
        QCOMPARE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")).match(w.getDatetime()).hasMatch(), true);
    }

    void informationValues()
    {
        TempSysroot root;
        QVERIFY(root.write(QStringLiteral("/var/run/diag/temperature"), "41\nrest"));
        QVERIFY(root.write(QStringLiteral("/var/run/diag/code"), "7F3A\0junk"));
        QVERIFY(root.write(QStringLiteral("/var/run/diag/avgload"), " 10 \n"));
        QVERIFY(root.write(QStringLiteral("/home/tool/config/ChanCfg.json"),
                           "{\"EinheitDrehmoment\": {\"Aktiv\": 2, \"Faktoren\": [{\"Id\": 2, \"Einheit\": \"ft lb\","
                           " \"Wert\": 0.7376, \"Genauigkeit\": 2}]}}"));
        QVERIFY(root.write(QStringLiteral("/etc/version"), "  NGT-3.8-b1\n"));
        RecordedHost host;
        MainWindow& w = host.window;
        const QVariantMap v = w.getInfoValues();
        QCOMPARE(v.value("temperature").toString(), QStringLiteral("41\n"));
        QCOMPARE(v.value("code").toString(), QStringLiteral("7F3A"));
        QCOMPARE(v.value("avgloadtorque").toString(), QStringLiteral("7.376 ft lb"));
        QCOMPARE(v.value("version").toString(), QStringLiteral("  NGT-3.8-b1\n"));
        QCOMPARE(w.getEtcVersion(), QStringLiteral("NGT-3.8-b1"));
        QCOMPARE(v.keys(), QStringList({ "avgloadtorque", "code", "ip", "lanip", "temperature", "time", "version" }));
        // the version is kept; the other values follow their files
        QVERIFY(root.write(QStringLiteral("/etc/version"), "other\n"));
        QVERIFY(root.write(QStringLiteral("/var/run/diag/avgload"), "abc\n"));
        QVERIFY(root.remove(QStringLiteral("/var/run/diag/code")));
        // a pipe in place of a value file is not waited on
        QVERIFY(root.remove(QStringLiteral("/var/run/diag/temperature")));
        QCOMPARE(::mkfifo(QFile::encodeName(root.path(QStringLiteral("/var/run/diag/temperature"))).constData(), 0600), 0);
        QCOMPARE(w.getTemperature(), QStringLiteral("-"));
        QCOMPARE(w.getVersion(), QStringLiteral("  NGT-3.8-b1\n"));
        QCOMPARE(w.getAvgLoadTorque(), QStringLiteral("-"));
        QCOMPARE(w.getCode(), QStringLiteral("-"));

        // the address rule through the same lookup, on the loopback interface
        const QString loopback = [] {
            for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
                if (i.flags() & QNetworkInterface::IsLoopBack)
                    return i.name();
            return QString();
        }();
        if (!loopback.isEmpty())
            QCOMPARE(InfoValues::ipv4Address(loopback), QStringLiteral("127.0.0.1"));
        QCOMPARE(InfoValues::ipv4Address(QStringLiteral("nosuchif0")), QStringLiteral("-"));

        FwVersion fw(QStringLiteral("a-b-c-d"));
        QCOMPARE(QStringList({ fw.secondField(), fw.thirdField(), fw.osName() }),
                 QStringList({ "b", "c", QLatin1String(FwVersion::OsPrefix) + "b" }));
        FwVersion plain(QStringLiteral("nodash"));
        QCOMPARE(plain.secondField(), QString());
        QCOMPARE(plain.osName(), QString());
    }

    // The diagnostic tree's members.
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

QTEST_MAIN(TestMainWindowDevice)
#include "tst_mainwindow_device.moc"
