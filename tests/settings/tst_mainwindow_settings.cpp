#include <QNetworkInterface>
#include <QtTest>

#include <sys/stat.h>

#include "activitylogfile.h"
#include "devicepaths.h"
#include "fwversion.h"
#include "hosttest.h"
#include "peer.h"
#include "infovalues.h"
#include "plctable.h"
#include "systemlog.h"
#include "testsupport.h"

// The host window's members with the real window, a recording scene and a private bus without
// any tool service on it, over real files and scripts in a temporary system root: settings and
// WLAN, the PLC table, the WLAN restart, clock and power, the activity entries, the information
// values and the diagnostic tree.
class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private:
    static QString diag(const QString& name) { return QStringLiteral("/var/run/diag/") + name; }
    const QString GuiCfg = QString::fromLatin1(DevicePaths::GuiConfigFile);
    const QString WlanCfg = QString::fromLatin1(DevicePaths::WlanConfigFile);

    const QString PlcModule = QStringLiteral("/home/tool/config/plctab/mod_tool.lua");

    PrivateBus m_bus; // the host window reaches the tool's services on it

    static bool writeScript(const TempSysroot& root, const QString& devicePath, const QByteArray& body)
    {
        if (!root.write(devicePath, "#!/bin/sh\n" + body))
            return false;
        return QFile::setPermissions(root.path(devicePath), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    static void invoke(MainWindow& w, const char* slot, const QVariant& arg)
    {
        if (arg.typeId() == QMetaType::Int)
            QMetaObject::invokeMethod(&w, slot, Q_ARG(int, arg.toInt()));
        else
            QMetaObject::invokeMethod(&w, slot, Q_ARG(QString, arg.toString()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("LOCAL_VAR_ROOT_PATH");
        QVERIFY(m_bus.isRunning());
    }

    // The settings properties reach the files; the WLAN readers, and the level and connection
    // pushes under the state mutex.
    void settingsAndWlan()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{\"global\": {\"theme\": \"blue\"}}"));
        QVERIFY(root.write(WlanCfg, "{\"interface\": true}"));
        RecordedHost host;
        MainWindow& w = host.window;
        // loaded during construction, WLAN only on request
        QCOMPARE(w.property("cfg").toString(), QStringLiteral("{\"global\": {\"theme\": \"blue\"}}"));
        QCOMPARE(w.property("wlan").toString(), QString());
        w.loadWlan();
        QCOMPARE(w.property("wlan").toString(), QStringLiteral("{\"interface\": true}"));
        QVERIFY(w.isWlanActive()); // the names are what start-up pushes (tst_mainwindow)
        QVERIFY(w.setProperty("cfg", QStringLiteral("{\n  \"global\": {}\n}")));
        QCOMPARE(root.read(GuiCfg), QByteArray("{\n  \"global\": {}\n}"));
        QVERIFY(w.setProperty("wlan", QString()));
        QCOMPARE(root.read(WlanCfg), QByteArray());
        QVariant parsed;
        QVERIFY(w.parseJson(parsed, GuiCfg)); // a device path
        QVERIFY(parsed.toMap().contains(QStringLiteral("global")));
        {
            // another process's lock: the operator is told once, the file is saved once free
            Peer holder;
            QVERIFY(holder.hold(root.path(GuiCfg), false));
            QVERIFY(w.setProperty("cfg", QStringLiteral("{}")));
            QVERIFY(w.setProperty("cfg", QStringLiteral("{\"kept\": 1}")));
            QCOMPARE(host.calls(), QStringList("popupString Settings The settings file is in use. Your change is kept and "
                                               "saved as soon as it is free; nothing was lost. 5 0  "));
            QCOMPARE(root.read(GuiCfg), QByteArray("{\n  \"global\": {}\n}"));
            QVERIFY(holder.release());
            QTRY_COMPARE(root.read(GuiCfg), QByteArray("{\"kept\": 1}"));
            host.clear();
        }

        QCOMPARE(w.loadWlanActivation(), QVariant(false)); // "false" when the flag file is missing
        QVERIFY(root.write(diag("tiwlan/interface"), "true"));
        QCOMPARE(w.loadWlanActivation(), QVariant(true));
        w.setWlanConnectionActiveFlag();
        QVERIFY(root.write(diag("tiwlan/interface"), "TRUE"));
        w.setWlanConnectionActiveFlag();
        for (int level : { -51, -29 })
            invoke(w, "wlanLevelChanged", level);
        invoke(w, "wlanConnectionChanged", 3);
        QCOMPARE(host.calls(), QStringList({ "wlanInterface true", "wlanInterface false", "infoRssiLevel -51 locked", "wifiSignal 4 locked",
                                             "infoRssiLevel -29 locked", "wifiSignal 0 locked", "wifiConn 3 locked" }));
    }

    void configChanges_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("calls");
        const QStringList wlan { "wlanInterface true locked", "setFccTestMode true locked", "reloadInfo locked", "reloadWlan locked" };
        QTest::newRow("gui") << "/home/tool/config/guiconfig.json" << QStringList { "loadCfg locked" };
        QTest::newRow("wlan") << "/home/tool/config/wlan.json" << wlan;
        QTest::newRow("wlan before job") << "/home/tool/config/jobs/wlan.json" << wlan;
        QTest::newRow("channels") << "/home/tool/config/ChanCfg.json" << QStringList();
        QTest::newRow("program") << "/home/tool/config/srbprg/prg5.lua" << QStringList();
        QTest::newRow("program import") << "/home/tool/config/prg_importer" << QStringList();
        QTest::newRow("job") << "/home/tool/config/jobs/job3" << QStringList { "updateJobView locked" };
        QTest::newRow("master job") << "/home/tool/config/jobs/masterjob"
                                    << QStringList { "updateJobView locked", "checkAllowedModes showmanop false locked" };
        QTest::newRow("gui and master job") << "/x/masterjob/guiconfig.json"
                                            << QStringList { "loadCfg locked", "checkAllowedModes showmanop false locked" };
        QTest::newRow("other") << "/home/tool/config/plctab" << QStringList();
        QTest::newRow("case") << "/home/tool/config/GUICONFIG.JSON" << QStringList();
    }

    void configChanges()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, calls);
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{\"v\": 1}"));
        QVERIFY(root.write(WlanCfg, "{\"interface\": false}"));
        RecordedHost host;
        MainWindow& w = host.window;
        w.loadPrgs(); // as right after the first frame
        QVERIFY(root.write(GuiCfg, "{\"v\": 2}"));
        QVERIFY(root.write(WlanCfg, "{\"interface\": true}"));
        QVERIFY(root.write(diag("tiwlan/interface"), "true\n"));
        QVERIFY(root.write(diag("tiwlan/fccmode"), " true"));
        QVERIFY(root.write(QStringLiteral("/home/tool/config/srbprg/prg5.lua"), "prg.Name = \"Five\"\n"));
        QVERIFY(!w.getFccTestMode());

        invoke(w, "newConfig", path);
        QCOMPARE(host.calls(), calls);

        const bool gui = calls.contains(QStringLiteral("loadCfg locked"));
        const bool wlan = calls.contains(QStringLiteral("reloadWlan locked"));
        QCOMPARE(w.cfg(), gui ? QStringLiteral("{\"v\": 2}") : QStringLiteral("{\"v\": 1}"));
        QCOMPARE(w.wlan(), wlan ? QStringLiteral("{\"interface\": true}") : QString());
        QCOMPARE(w.getFccTestMode(), wlan);
        // the program file appeared after start-up: only the program changes read it
        const QString tag = QLatin1String(QTest::currentDataTag());
        const bool programs = tag == QLatin1String("program") || tag == QLatin1String("program import");
        QCOMPARE(w.getPrgNumberName(5).value(QStringLiteral("name")).toString(), programs ? QStringLiteral("Five") : QStringLiteral("--"));
        QVERIFY(w.stateMutex().tryLock());
        w.stateMutex().unlock();
    }

    // The device members.
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
        QTest::newRow("long name cut as program names are")
            << "module.in_tab[6] = plc.In." + QByteArray(100, 'N') + "\n" << "||" + QString(64, QLatin1Char('N')) << false << false;
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

    // A release of an assigned key is logged even though no key/PLC service answers. The
    // clock is set with the system root's commands (without them only the entry is made);
    // the power scripts run one at a time.
    void activitiesClockAndPower()
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
        w.setDateTime(QStringLiteral("x"));
        QCOMPARE(ActivityLogFile::displayEntries(activities), QStringList({ "111 ManOp", "501" }));

        const QByteArray record = "echo \"$(basename $0) $#:$*\" >> \"$TOOL_SYSROOT/var/log/asked\"\n";
        QVERIFY(writeScript(root, QStringLiteral("/bin/date"), record));
        QVERIFY(writeScript(root, QStringLiteral("/sbin/hwclock"), record));
        QVERIFY(writeScript(root, QStringLiteral("/etc/reboot/reboot.sh"), record + "sleep 1\n"));
        QVERIFY(writeScript(root, QStringLiteral("/etc/reboot/poweroff.sh"), record));
        w.setDateTime(QStringLiteral("2000.01.01-00:00"));
        QCOMPARE(root.read(QStringLiteral("/var/log/asked")), QByteArray("date 2:-s 2000.01.01-00:00\nhwclock 1:-uw\n"));
        QCOMPARE(ActivityLogFile::displayEntries(activities), QStringList({ "111 ManOp", "501", "501" }));
        w.reboot();
        w.poweroff();
        QVERIFY(waitUntil([&] { return root.read(QStringLiteral("/var/log/asked")).contains("reboot"); }));
        QTest::qWait(1500);
        QVERIFY(!root.read(QStringLiteral("/var/log/asked")).contains("poweroff"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")).match(w.getDatetime()).hasMatch());
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
        // Past its time limit the script is killed with what it started.
        QTest::newRow("hung") << QByteArray("sleep 600 & echo $! > \"$TOOL_SYSROOT/sleeper\"; wait") << "restartWlanProcessFailedUnspecific 7";
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
        host.window.setWlanRestartTimeLimit(3000);
        host.window.restartwlan();
        QVERIFY(waitUntil([&] { return host.calls().size() >= 2; }, 15000));
        QCOMPARE(host.calls(), QStringList({ "setWlanRestarted false", call }));
        const QByteArray sleeper = root.read(QStringLiteral("/sleeper")).trimmed();
        if (!sleeper.isEmpty())
            QVERIFY(waitUntil([&] {
                QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(sleeper)));
                return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
            }));
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
        QCOMPARE(QStringList({ v.value("temperature").toString(), v.value("code").toString(), v.value("avgloadtorque").toString(),
                               v.value("version").toString(), w.getEtcVersion() }),
                 QStringList({ "41\n", "7F3A", "7.376 ft lb", "  NGT-3.8-b1\n", "NGT-3.8-b1" }));
        QCOMPARE(v.keys(), QStringList({ "avgloadtorque", "code", "ip", "lanip", "temperature", "time", "version" }));
        // the version is kept; the other values follow their files
        QVERIFY(root.write(QStringLiteral("/etc/version"), "other\n"));
        QVERIFY(root.write(QStringLiteral("/var/run/diag/avgload"), "abc\n"));
        QVERIFY(root.remove(QStringLiteral("/var/run/diag/code")));
        // a pipe in place of a value file is not waited on
        QVERIFY(root.remove(QStringLiteral("/var/run/diag/temperature")));
        QCOMPARE(::mkfifo(QFile::encodeName(root.path(QStringLiteral("/var/run/diag/temperature"))).constData(), 0600), 0);
        QCOMPARE(QStringList({ w.getTemperature(), w.getVersion(), w.getAvgLoadTorque(), w.getCode() }),
                 QStringList({ "-", "  NGT-3.8-b1\n", "-", "-" }));

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
        QCOMPARE(QStringList({ plain.secondField(), plain.osName() }), QStringList({ QString(), QString() }));
    }

    // The diagnostic tree's members. A blank identification code is not pushed. The
    // connection state cache is filled once at start-up and then only follows the change
    // calls; only states from -1 to 1 reach the scene. A changed service file is announced
    // only for a device path right in the services' directory.
    void diagnosticTree()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("ResConStates/Xml"), "0"));
        QVERIFY(root.write(diag("res_services/Xml.json"), "{\"data\": []}"));
        QVERIFY(root.write(diag("idcode"), " VIN 0815\n"));
        RecordedHost host;
        MainWindow& w = host.window;
        w.getInitialIDcode();
        QVERIFY(root.write(diag("idcode"), "\n"));
        w.getInitialIDcode();
        QCOMPARE(host.calls(), QStringList(QStringLiteral("newIdcode VIN 0815 locked")));

        host.clear();
        QVERIFY(root.write(diag("ResConStates/OpenProtocol"), "1"));
        QVERIFY(root.write(diag("ResConStates/Xml"), "1"));
        const auto xml = [&] { return w.getInitResConStates().toMap().value(QStringLiteral("values")).toMap().value(QStringLiteral("Xml")); };
        QCOMPARE(xml(), QVariant(0));
        w.fResServiceConChanged(QStringLiteral("Xml"), 2);
        QVERIFY(host.calls().isEmpty());
        QCOMPARE(xml(), QVariant(2));
        w.fResServiceConChanged(QStringLiteral("Xml"), 1);
        w.fResServiceConChanged(QStringLiteral("OpenProtocol"), -1);
        w.fResServiceConChanged(QStringLiteral("OpenProtocol"), -2); // out of range: kept, not shown
        QCOMPARE(host.calls(), QStringList({ QStringLiteral("resServiceConChanged {\"keys\":[0],\"values\":{\"Xml\":1}}"),
                                             QStringLiteral("resServiceConChanged {\"keys\":[0],\"values\":{\"OpenProtocol\":-1,\"Xml\":1}}") }));

        host.clear();
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/Xml.json"));
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/.json"));
        w.fResServiceDiagDataChanged(root.path(diag("res_services/Xml.json"))); // a host path is no device path
        w.fResServiceDiagDataChanged(QStringLiteral("/var/run/diag/res_services/../../../etc/x.txt"));
        QCOMPARE(host.calls(), QStringList(QStringLiteral("resSerDiagDataChanged Xml")));
        QCOMPARE(w.getServices(), QStringList(QStringLiteral("Xml")));
        QCOMPARE(w.readSrvsFile(QStringLiteral("Xml")), QStringLiteral("{\"data\": []}"));
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"
