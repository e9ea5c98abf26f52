#include <QtTest>

#include "devicepaths.h"
#include "hosttest.h"
#include "systemlog.h"
#include "testsupport.h"

// The host window's settings and WLAN members with the real window, a recording scene and
// a private bus without any tool service on it.
class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private:
    static QString diag(const QString& name) { return QStringLiteral("/var/run/diag/") + name; }
    const QString GuiCfg = QString::fromLatin1(DevicePaths::GuiConfigFile);
    const QString WlanCfg = QString::fromLatin1(DevicePaths::WlanConfigFile);

    PrivateBus m_bus; // the host window reaches the tool's services on it

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

    void propertiesReachTheFiles()
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
        QVERIFY(w.setProperty("cfg", QStringLiteral("{\n  \"global\": {}\n}")));
        QCOMPARE(root.read(GuiCfg), QByteArray("{\n  \"global\": {}\n}"));
        QVERIFY(w.setProperty("wlan", QString()));
        QCOMPARE(root.read(WlanCfg), QByteArray());
        QVariant parsed;
        QVERIFY(w.parseJson(parsed, GuiCfg)); // a device path
        QVERIFY(parsed.toMap().contains(QStringLiteral("global")));
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

    void signalLevelAndConnection()
    {
        TempSysroot root;
        RecordedHost host;
        MainWindow& w = host.window;
        for (int level : { -51, -29 })
            invoke(w, "wlanLevelChanged", level);
        invoke(w, "wlanConnectionChanged", 3);
        QCOMPARE(host.calls(), QStringList({ "infoRssiLevel -51 locked", "wifiSignal 4 locked",
                                             "infoRssiLevel -29 locked", "wifiSignal 0 locked", "wifiConn 3 locked" }));
    }

    void wlanReaders()
    {
        TempSysroot root;
        QVERIFY(root.write(WlanCfg, "{\"interface\": true}"));
        RecordedHost host;
        MainWindow& w = host.window;
        QVERIFY(w.isWlanActive()); // the names are what start-up pushes (tst_mainwindow)
        QCOMPARE(w.loadWlanActivation(), QVariant(false)); // "false" when the flag file is missing
        QVERIFY(root.write(diag("tiwlan/interface"), "true"));
        QCOMPARE(w.loadWlanActivation(), QVariant(true));
        w.setWlanConnectionActiveFlag();
        QVERIFY(root.write(diag("tiwlan/interface"), "TRUE"));
        w.setWlanConnectionActiveFlag();
        QCOMPARE(host.calls(), QStringList({ "wlanInterface true", "wlanInterface false" }));
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"
