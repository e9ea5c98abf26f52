#include <QApplication>
#include <QQuickItem>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include "mainwindow.h"
#include "systemlog.h"
#include "testsupport.h"

// The host window's programs, results, jobs and torque units, with a recording scene.
class TestMainWindowTightening : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_root.reset(new TempSysroot);
        m_bus.reset(new PrivateBus);
        QVERIFY(m_bus->isRunning());
        QVERIFY(m_root->write("/home/tool/config/srbprg/prg5.lua", "prg.Name = \"Five\"\nprg.TorqueUnit = 2\n"));
        QVERIFY(m_root->write("/home/tool/config/srbprg/prg99.lua", "prg.Name = \"Check\"\n"));
        QVERIFY(m_root->write("/home/tool/config/jobs/job002.lua", "jobName=Door\n"));
        QVERIFY(m_root->write("/home/tool/config/ChanCfg.json",
                              R"({"EinheitDrehmoment": {"Aktiv": 2, "Faktoren": [{"Id": 2, "Einheit": "ft lb", "Wert": 0.7376}]}})"));
        createResultDb();
    }

    void resultsAndCatalogues()
    {
        MainWindow w(nullptr, scene());
        QVERIFY(w.rootItem());
        QVERIFY(!w.enableResults());
        const int before = calls(w).size();
        SystemLog::startCapture();
        QVERIFY(QMetaObject::invokeMethod(&w, "newResult", Q_ARG(QString, "/home/tool/data/result.sq3"), Q_ARG(int, 1)));
        QCOMPARE(calls(w).mid(before),
                 QStringList({ "setResults {\"angle\":90,\"cycle\":\"\",\"dAngle\":0,\"dTgs\":0,\"dTorque\":-1,\"prg_name\":\"Five\","
                               "\"prg_nr\":5,\"qcode\":2,\"result\":-1,\"row\":0,\"tgs\":0.5,\"torque\":10.5,\"torqueUnit\":2}" }));
        QVERIFY(w.enableResults());
        // The state mutex is free again.
        QVERIFY(w.stateMutex().tryLock());
        w.stateMutex().unlock();

        // A path that does not exist: logged, nothing shown, the flag stays set.
        QVERIFY(QMetaObject::invokeMethod(&w, "newResult", Q_ARG(QString, "/home/tool/data/gone.sq3"), Q_ARG(int, 1)));
        QCOMPARE(calls(w).size(), before + 1);
        QVERIFY(SystemLog::capturedLines().contains("<3>result database not found!"));
        QVERIFY(w.enableResults());
        SystemLog::stopCapture();

        // The catalogues read at start-up.
        const QVariantList programs = w.getPrgList();
        QCOMPARE(programs.size(), 2);
        QCOMPARE(programs.at(0).toMap().value("slot").toString(), QStringLiteral("99"));
        QCOMPARE(w.getPrgNumberName(5).value("unit").toString(), QStringLiteral("2"));
        QCOMPARE(w.getPrgNumberName(6).value("name").toString(), QStringLiteral("--"));
        QCOMPARE(w.getJobList().size(), 1);
        QCOMPARE(w.getJobList().first().toMap().value("name").toString(), QStringLiteral("Door\n"));
        QCOMPARE(w.getDefaultTorqueUnitPres(), QStringLiteral("ft lb"));
        QCOMPARE(w.getTorqueUnitPres(1), QStringLiteral("Nm"));

        // The writer leaves the table alone; a notification for the file brings it in.
        w.writeProgram(5, 300, QStringLiteral("angle"), 720);
        QCOMPARE(w.getPrgNumberName(5).value("name").toString(), QStringLiteral("Five"));
        QString file = QStringLiteral("prg5.lua");
        w.syncPrgMapEntry(file);
        QCOMPARE(w.getPrgNumberName(5).value("name").toString(), QStringLiteral("Tight"));
        QCOMPARE(w.getPrgNumberName(5).value("unit").toString(), QStringLiteral("0"));
    }

    // The system service's change notifications reload the catalogues from the files.
    void configChanges()
    {
        const QString prg = QStringLiteral("/home/tool/config/srbprg/");
        const QString jobs = QStringLiteral("/home/tool/config/jobs/");
        QVERIFY(m_root->write(prg + "prg7.lua", "prg.Name = \"Seven\"\n"));
        QVERIFY(m_root->write(jobs + "job007.lua", "jobName=Seven\n"));
        MainWindow w(nullptr, scene());
        QCOMPARE(w.getPrgNumberName(7).value("name").toString(), QStringLiteral("Seven"));
        QCOMPARE(w.getJobList().size(), 2);
        int before = calls(w).size();

        // A deleted job is gone after the notification, and the scene is told.
        QVERIFY(m_root->remove(jobs + "job007.lua"));
        notify(w, jobs + "job007.lua");
        QCOMPARE(w.getJobList().size(), 1);
        QCOMPARE(w.getJobList().first().toMap().value("slot").toUInt(), 2u);
        QCOMPARE(calls(w).mid(before), QStringList({ "updateJobView" }));

        // A program file that is gone is gone from the table (which program notifications read
        // what is tst_mainwindow_settings', what a sync does tst_tighteningfiles').
        QVERIFY(m_root->remove(prg + "prg7.lua"));
        notify(w, prg + "prg7.lua");
        QCOMPARE(w.getPrgNumberName(7).value("name").toString(), QStringLiteral("--"));

        // The channel configuration: the new active unit is named at once.
        QVERIFY(m_root->write("/home/tool/config/ChanCfg.json",
                              R"({"EinheitDrehmoment": {"Aktiv": 3, "Faktoren": [{"Id": 3, "Einheit": "in lb", "Wert": 8.85}]}})"));
        QCOMPARE(w.getDefaultTorqueUnitPres(), QStringLiteral("ft lb"));
        notify(w, QStringLiteral("/home/tool/config/ChanCfg.json"));
        QCOMPARE(w.getDefaultTorqueUnitPres(), QStringLiteral("in lb"));
        QCOMPARE(w.getTorqueUnitPres(2), QStringLiteral("Nm"));

        QVERIFY(w.stateMutex().tryLock());
        w.stateMutex().unlock();
        QVERIFY(m_root->write("/home/tool/config/ChanCfg.json",
                              R"({"EinheitDrehmoment": {"Aktiv": 2, "Faktoren": [{"Id": 2, "Einheit": "ft lb", "Wert": 0.7376}]}})"));
    }

    void loadedProgram_data()
    {
        QTest::addColumn<int>("prgnr");
        QTest::addColumn<QByteArray>("keySwitch"); // empty: no key switch file
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("program 5") << 5 << QByteArray("000000") << QStringList({ "updatePrgnr 5", "updateKeyPos 5 3" });
        QTest::newRow("none, reading 0") << -88 << QByteArray("000000") << QStringList({ "updatePrgnr -1", "updateKeyPos -1 3" });
        QTest::newRow("none, reading 2") << -88 << QByteArray("200000") << QStringList({ "updatePrgnr -1", "updateKeyPos 0 3" });
        QTest::newRow("none, reading 3") << -88 << QByteArray("300000") << QStringList({ "updatePrgnr -1", "updateKeyPos -88 3" });
        QTest::newRow("none, short read") << -88 << QByteArray("1") << QStringList({ "updatePrgnr -1", "updateKeyPos -88 3" });
        QTest::newRow("none, no switch") << -88 << QByteArray() << QStringList({ "updatePrgnr -1", "updateKeyPos 0 3" });
        QTest::newRow("negative program") << -2 << QByteArray() << QStringList({ "updatePrgnr -2", "updateKeyPos -2 3" });
    }

    void loadedProgram()
    {
        QFETCH(int, prgnr);
        QFETCH(QByteArray, keySwitch);
        QFETCH(QStringList, expected);
        const QString adc = QStringLiteral("/proc/orimctrl/adcval");
        if (keySwitch.isEmpty())
            m_root->remove(adc);
        else
            QVERIFY(m_root->write(adc, keySwitch));
        MainWindow w(nullptr, scene());
        int before = calls(w).size();
        w.updatePrgnr(prgnr, 3);
        QCOMPARE(calls(w).mid(before), expected);
        before = calls(w).size();
        w.fupdateprgnr(prgnr);
        QCOMPARE(calls(w).mid(before).last(), expected.last().chopped(1) + "-1");
    }

private:
    static QUrl scene() { return QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")); }
    static QStringList calls(MainWindow& w) { return w.rootItem()->property("calls").toStringList(); }
    static void notify(MainWindow& w, const QString& devicePath)
    {
        QVERIFY(QMetaObject::invokeMethod(&w, "newConfig", Q_ARG(QString, devicePath)));
    }

    void createResultDb()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            QVERIFY(m_root->mkdir("/home/tool/data"));
            db.setDatabaseName(m_root->path("/home/tool/data/result.sq3"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE srbergallg (id INTEGER PRIMARY KEY, prg_nr INTEGER, prg_name TEXT, result INTEGER,"
                           " qcode INTEGER, id_code TEXT, torque_unit INTEGER)"));
            QVERIFY(q.exec("CREATE TABLE stuferg (id INTEGER PRIMARY KEY, allg_id INTEGER, row INTEGER, last_cmd INTEGER,"
                           " time REAL, angle REAL, torque REAL)"));
            QVERIFY(q.exec("CREATE TABLE srbfncts (stuferg_id INTEGER, cmd INTEGER, actual REAL, nom REAL, switching INTEGER)"));
            QVERIFY(q.exec("INSERT INTO srbergallg VALUES (1, 5, 'Five', -1, 2, NULL, 2)"));
            QVERIFY(q.exec("INSERT INTO stuferg VALUES (1, 1, 0, 106, 0.5, 90, 10.5)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    }

    QScopedPointer<TempSysroot> m_root;
    QScopedPointer<PrivateBus> m_bus;
};

QTEST_MAIN(TestMainWindowTightening)
#include "tst_mainwindow_tightening.moc"
