// A hostile local process puts FIFOs (and device nodes) where the GUI expects files. No
// reader may block: every call below must return at once with "could not read". Links put
// where the GUI writes are never written through, and a database trigger that never ends
// costs an append its time bound. A watchdog alarm ends the process if any of them hangs.
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "activitylog.h"
#include "activitylogfile.h"
#include "devicepaths.h"
#include "diagtree.h"
#include "jobcatalogue.h"
#include "jsonfile.h"
#include "jsontranslator.h"
#include "programcatalogue.h"
#include "programwriter.h"
#include "resultreader.h"
#include "saferead.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"
#include "torqueunits.h"
#include "wlanstatus.h"

class TestFifoInput : public QObject
{
    Q_OBJECT

    static bool fifo(const TempSysroot& root, const char* devicePath)
    {
        const QString p = root.path(QString::fromLatin1(devicePath));
        root.mkdir(QFileInfo(QString::fromLatin1(devicePath)).path());
        return ::mkfifo(QFile::encodeName(p).constData(), 0666) == 0;
    }
    static bool link(const TempSysroot& root, const char* devicePath, const char* target)
    {
        const QString p = root.path(QString::fromLatin1(devicePath));
        root.mkdir(QFileInfo(QString::fromLatin1(devicePath)).path());
        return QFile::link(QString::fromLatin1(target), p);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A reader that blocks never returns: the alarm turns that into a failure.
        std::signal(SIGALRM, [](int) { ::_exit(3); });
    }
    void init() { ::alarm(20); SystemLog::startCapture(); }
    void cleanup() { ::alarm(0); SystemLog::stopCapture(); }

    void fifosNeverBlock()
    {
        TempSysroot root;
        for (const char* p : { "/home/tool/config/guiconfig.json", "/home/tool/config/wlan.json",
                               "/home/tool/config/ChanCfg.json", "/var/run/diag/ResConStates/4545",
                               "/var/run/diag/battery/power", "/var/run/diag/tiwlan/interface",
                               "/var/run/diag/tiwlan/station-info.dat", "/proc/orimctrl/adcval",
                               "/home/tool/config/srbprg/prg5.lua", "/home/tool/config/jobs/job007.lua",
                               "/home/tool/data/result.sq3", "/var/run/diag/res_services/Xml.json",
                               "/home/tool/config/langs/de.json", "/home/tool/config/langs/langs.json" })
            QVERIFY2(fifo(root, p), p);

        SettingsFiles s;
        s.loadCfg();
        s.loadWlan();
        QVERIFY(s.cfg().isEmpty() && s.wlan().isEmpty());
        // Saving must not block on a FIFO either (an open for writing waits for a reader).
        s.setCfg(QStringLiteral("{}"));
        s.setWlan(QStringLiteral("{}"));

        TorqueUnits units;
        units.read();
        QVERIFY(units.isEmpty());
        QCOMPARE(WlanStatus::ssid(root.path(QString::fromLatin1(DevicePaths::WlanConfigFile))), QStringLiteral("Not found"));
        QCOMPARE(WlanStatus::bssid(root.path(QString::fromLatin1(DevicePaths::StationInfoFile))), QStringLiteral("-"));

        DiagTree diag;
        QCOMPARE(diag.getBattPower(), QString());
        QCOMPARE(diag.getDiagProp(QStringLiteral("tiwlan/interface"), QStringLiteral("false")), QStringLiteral("false"));
        const QVariantMap states = diag.getInitResConStates().toMap();
        QCOMPARE(states.value(QStringLiteral("values")).toMap().value(QStringLiteral("4545")).toInt(), 0);
        QVERIFY(diag.readSrvsFile(QStringLiteral("Xml")).isEmpty());
        // A FIFO is no character device: the key switch reads as missing.
        QCOMPARE(diag.adcVal(), short(-77));

        ProgramCatalogue programs;
        programs.loadAll();
        QVERIFY(!programs.contains(5));
        QVERIFY(!ProgramWriter::write(5, 100, QStringLiteral("torque"), 10, QDateTime::currentDateTime()));
        JobCatalogue jobs;
        jobs.load();
        QVERIFY(jobs.table().isEmpty());
        ResultReader results;
        QVariantMap result;
        QVERIFY(!results.read(1, result));
        JSONTranslator translator(QString::fromLatin1(DevicePaths::LangDir));
        QVERIFY(!translator.setLanguage(QStringLiteral("de")));
        QVERIFY(translator.getLanguages().isEmpty());
    }

    void deviceNodes()
    {
        TempSysroot root;
        // An endless device in place of a settings file is refused, not read up to the cap.
        QVERIFY(link(root, DevicePaths::GuiConfigFile, "/dev/zero"));
        QByteArray out = "untouched";
        QCOMPARE(SafeRead::read(root.path(QString::fromLatin1(DevicePaths::GuiConfigFile)), out), SafeRead::NotRegular);
        QCOMPARE(out, QByteArray("untouched"));
        // Nor is one in place of a diagnostic value: the fallbacks stand.
        QVERIFY(link(root, "/var/run/diag/prgnr", "/dev/zero"));
        QVERIFY(link(root, "/var/run/diag/enable", "/dev/zero"));
        QCOMPARE(DiagTree().getPrgnr(), short(-88));
        QCOMPARE(DiagTree().getEnable(), 0);
        // The key switch file is the one character device that is read.
        QVERIFY(link(root, DevicePaths::KeySwitchFile, "/dev/zero"));
        QCOMPARE(DiagTree().adcVal(), short(0));
        QVERIFY(root.remove(QString::fromLatin1(DevicePaths::KeySwitchFile)));
        QVERIFY(link(root, DevicePaths::KeySwitchFile, "/dev/null"));
        QCOMPARE(DiagTree().adcVal(), short(-1));
    }

    // Each link points at a file of someone else's, which must stay as it was.
    void writesNeverFollowLinks()
    {
        TempSysroot root;
        const QByteArray secret = "someone else's file\n";
        QVERIFY(root.write(QStringLiteral("/victim"), secret));
        const QString victimDb = root.path(QStringLiteral("/victim.sq3"));
        QVERIFY(ActivityLogFile::create(victimDb));
        const QByteArray victimDbBytes = root.read(QStringLiteral("/victim.sq3"));
        const QByteArray victim = QFile::encodeName(root.path(QStringLiteral("/victim")));
        const QString activity = QString::fromLatin1(DevicePaths::ActivityDb);

        QVERIFY(link(root, DevicePaths::GuiConfigFile, victim.constData()));
        QVERIFY(root.write(QString::fromLatin1(DevicePaths::WlanConfigFile), "{}"));
        QVERIFY(link(root, "/home/tool/config/wlan.json.new", victim.constData())); // the save's new file
        QVERIFY(link(root, "/home/tool/config/srbprg/prg5.lua", victim.constData()));
        QVERIFY(link(root, DevicePaths::ActivityDb, QFile::encodeName(victimDb).constData()));

        SettingsFiles s;
        s.setCfg(QStringLiteral("{\"written\": 1}"));
        s.setWlan(QStringLiteral("{\"written\": 2}"));
        QVERIFY(!ProgramWriter::write(5, 100, QStringLiteral("torque"), 10, QDateTime::currentDateTime()));
        QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
        QCOMPARE(root.read(QStringLiteral("/victim")), secret);
        QCOMPARE(root.read(QStringLiteral("/victim.sq3")), victimDbBytes);
        QVERIFY(QFileInfo(root.path(QString::fromLatin1(DevicePaths::GuiConfigFile))).isSymLink());
        QCOMPARE(root.read(QString::fromLatin1(DevicePaths::WlanConfigFile)), QByteArray("{\"written\": 2}"));
        QCOMPARE(SystemLog::capturedLines(), QStringList({ "<3>Cannot write config file", "<3>Error writing program file",
                                                           "<3>Activity database is not a regular file: " + root.path(activity) }));

        // a link in place of the database's journal
        QVERIFY(root.remove(activity));
        QVERIFY(ActivityLogFile::create(root.path(activity)));
        QVERIFY(QFile::link(root.path(QStringLiteral("/victim")), root.path(activity) + QLatin1String("-journal")));
        QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
        QCOMPARE(root.read(QStringLiteral("/victim")), secret);
        QVERIFY(ActivityLogFile::displayEntries(root.path(activity)).isEmpty());
    }

    // A trigger of the activity table that never ends costs the entry, not the GUI.
    void endlessActivityTrigger()
    {
        TempSysroot root;
        const QString db = root.path(QString::fromLatin1(DevicePaths::ActivityDb));
        QVERIFY(root.mkdir(QStringLiteral("/var/log")));
        QVERIFY(ActivityLogFile::create(db));
        {
            QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("trigger"));
            writer.setDatabaseName(db);
            QVERIFY(writer.open());
            QVERIFY(QSqlQuery(writer).exec(QStringLiteral(
                "CREATE TRIGGER endless AFTER INSERT ON activity BEGIN SELECT count(*) FROM"
                " (WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r) SELECT x FROM r); END")));
            writer.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("trigger"));
        QVERIFY(!ActivityLog::append(600, {}, {}, {}, {}));
        QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<4>Activity entry 600 not written: query interrupted after %1 ms")
                                                             .arg(ActivityLog::StatementBoundMs)));
        QVERIFY(ActivityLogFile::displayEntries(db).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFifoInput)
#include "tst_fifoinput.moc"
