// The simulated tool as its peers see it: a separate process on a private bus, working on
// real files under a temporary system root. What the end-to-end tests already drive through
// the GUI (the sample device, the fault road, the ready flags of the NOK road) is not
// repeated here.

#include "devicepaths.h"
#include "filelock.h"
#include "testsupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString Sim = QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim");

QString argsText(const QDBusMessage& m)
{
    QString text = m.member();
    for (const QVariant& v : m.arguments())
        text += QLatin1Char(' ') + (v.typeId() == QMetaType::Bool ? QString::fromLatin1(v.toBool() ? "true" : "false") : v.toString());
    return text;
}

QDBusMessage sysCall(const char* method, const QVariantList& args = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.SysService"), QStringLiteral("/SysObj"),
                                                    QStringLiteral("com.velmar.akku.SysInterface"), QLatin1String(method));
    m.setArguments(args);
    return QDBusConnection::systemBus().call(m);
}

QDBusMessage controlMessage(const QStringList& words)
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
                                                    QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("Run"));
    m << words;
    return m;
}

// The GUI's own step query, tabs and blanks as the GUI sends it.
QString stepQuery(int id)
{
    const QString sep = QStringLiteral("\t\t\t\t    ");
    return QStringLiteral("SELECT ") + sep + QStringLiteral("prg_nr,") + sep + QStringLiteral("prg_name,") + sep + QStringLiteral("stuferg.id,")
        + sep + QStringLiteral("row,") + sep + QStringLiteral("stuferg.last_cmd,") + sep + QStringLiteral("srbergallg.result,") + sep
        + QStringLiteral("srbergallg.qcode,") + sep + QStringLiteral("stuferg.time,") + sep + QStringLiteral("stuferg.angle,") + sep
        + QStringLiteral("stuferg.torque,") + sep + QStringLiteral("srbergallg.id_code,") + sep + QStringLiteral("srbergallg.torque_unit")
        + sep + QStringLiteral("FROM stuferg JOIN srbergallg ON stuferg.allg_id=srbergallg.id WHERE srbergallg.id=%1").arg(id);
}

} // namespace

// Stands in for the GUI's exported interface: records what the simulator calls.
class FakeGui : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.gui")
public:
    QStringList calls;
    bool fcc = true;

public Q_SLOTS:
    Q_SCRIPTABLE void fpopupString(const QString& header, const QString& text, int timer, int waitforack)
    {
        calls << QStringLiteral("fpopupString %1|%2|%3|%4").arg(header, text).arg(timer).arg(waitforack);
    }
    Q_SCRIPTABLE void fsetoperationmode(int mode, int prgallow, int joballow)
    {
        calls << QStringLiteral("fsetoperationmode %1 %2 %3").arg(mode).arg(prgallow).arg(joballow);
    }
    Q_SCRIPTABLE void fupdateprgnr(int prgnr) { calls << QStringLiteral("fupdateprgnr %1").arg(prgnr); }
    Q_SCRIPTABLE void fResServiceConChanged(const QString& service, int connected)
    {
        calls << QStringLiteral("fResServiceConChanged %1 %2").arg(service).arg(connected);
    }
    Q_SCRIPTABLE void fResServiceDiagDataChanged(const QString& path) { calls << QStringLiteral("fResServiceDiagDataChanged ") + path; }
    Q_SCRIPTABLE bool getFccTestMode() { return fcc; }
};

class TstToolSim : public QObject
{
    Q_OBJECT

private:
    bool startSim(const QStringList& extra = {});
    void stopSim();
    QDBusMessage run(const QStringList& words) { return QDBusConnection::systemBus().call(controlMessage(words)); }
    QString runOk(const QStringList& words)
    {
        const QDBusMessage r = run(words);
        if (r.type() != QDBusMessage::ReplyMessage) {
            qWarning() << words << r.errorMessage();
            return QStringLiteral("<error>");
        }
        return r.arguments().value(0).toString();
    }
    QStringList simCalls()
    {
        const QDBusMessage r = QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"), QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("Calls")));
        return r.arguments().value(0).toStringList();
    }

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<TempSysroot> m_root;
    std::unique_ptr<QProcess> m_sim;
    QByteArray m_out;
    FakeGui m_gui;
    QStringList m_signals;

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void onSignal(const QDBusMessage& m) { m_signals << argsText(m); }

    void resultsAreReadableWithTheGuiStepQuery();
    void diagFilesAreRewrittenUnderTheWriteLock();
    void readyFlagsAreAnswered();
    void programAndJobFilesAreAnnounced();
    void rootIsKeptAcrossRunsAndRefilledOnRequest();
};

bool TstToolSim::startSim(const QStringList& extra)
{
    m_out.clear();
    m_sim = std::make_unique<QProcess>();
    m_sim->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_sim.get(), &QProcess::readyReadStandardOutput, this, [this] { m_out += m_sim->readAllStandardOutput(); });
    endWithTest(*m_sim);
    m_sim->start(Sim, QStringList { QStringLiteral("run"), QStringLiteral("--sysroot"), m_root->root() } + extra);
    if (!m_sim->waitForStarted(5000))
        return false;
    return waitUntil([this] { return m_out.contains("toolsim ready\n") || m_sim->state() == QProcess::NotRunning; }, 10000)
        && m_out.contains("toolsim ready\n");
}

void TstToolSim::stopSim()
{
    if (!m_sim)
        return;
    m_sim->terminate();
    m_sim->waitForFinished(5000);
    m_sim.reset();
}

void TstToolSim::initTestCase()
{
    QVERIFY(QFileInfo(Sim).isExecutable());
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY(m_bus->isRunning());
    m_root = std::make_unique<TempSysroot>();
    QVERIFY(startSim());

    QDBusConnection bus = QDBusConnection::systemBus();
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject(QStringLiteral("/GUI"), &m_gui, QDBusConnection::ExportScriptableSlots));
    QVERIFY(bus.registerService(QStringLiteral("com.velmar.akku.GUIService")));
    for (const char* path : { "/SysObj", "/ResObj", "/WlanObj" }) {
        const QString iface = path == QByteArray("/SysObj") ? QStringLiteral("com.velmar.akku.SysInterface")
            : path == QByteArray("/ResObj")                 ? QStringLiteral("com.velmar.akku.ResInterface")
                                                            : QStringLiteral("com.velmar.akku.WlanInterface");
        QVERIFY(bus.connect(QString(), QLatin1String(path), iface, QString(), this, SLOT(onSignal(QDBusMessage))));
    }
}

void TstToolSim::cleanupTestCase()
{
    stopSim();
}

void TstToolSim::init()
{
    QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
                                                                     QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("ClearCalls")));
    m_signals.clear();
    m_gui.calls.clear();
}

void TstToolSim::resultsAreReadableWithTheGuiStepQuery()
{
    const QString nokId = runOk({ QStringLiteral("result"), QStringLiteral("nok"), QStringLiteral("prg=5"), QStringLiteral("name=Tight"),
                                  QStringLiteral("torque=13.9"), QStringLiteral("angle=30"), QStringLiteral("time=0.9"), QStringLiteral("qcode=0x18"),
                                  QStringLiteral("lastcmd=99"), QStringLiteral("unit=2"), QStringLiteral("idcode=ABC-123"),
                                  QStringLiteral("fn=105:12.5:12.0"), QStringLiteral("fn=118:30:35"), QStringLiteral("fn=106:13.9:10:1") });
    const QString okId = runOk({ QStringLiteral("result"), QStringLiteral("ok"), QStringLiteral("row=2"), QStringLiteral("idcode=NULL") });
    QVERIFY(nokId.toInt() > 0);
    QVERIFY(okId.toInt() > nokId.toInt());
    QVERIFY(waitUntil([this] { return m_signals.filter(QStringLiteral("newresult ")).size() == 2; }));
    QCOMPARE(m_signals.filter(QStringLiteral("newresult ")),
             (QStringList { QStringLiteral("newresult /home/tool/data/result.sq3 ") + nokId, QStringLiteral("newresult /home/tool/data/result.sq3 ") + okId }));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("results"));
    db.setDatabaseName(DevicePaths::map(QStringLiteral("/home/tool/data/result.sq3")));
    QVERIFY(db.open());
    {
        QSqlQuery q(db);
        QVERIFY(q.exec(stepQuery(nokId.toInt())));
        QVERIFY(q.last());
        QStringList row;
        for (int c = 0; c < 12; ++c)
            row << q.value(c).toString();
        const int stepId = q.value(2).toInt();
        row[2] = "id";
        QCOMPARE(row.join('|'), QStringLiteral("5|Tight|id|0|99|-1|24|0.9|30|13.9|ABC-123|2"));

        QSqlQuery f(db);
        QVERIFY(f.exec(QStringLiteral("SELECT cmd, actual, nom FROM srbfncts WHERE stuferg_id=%1 AND switching=0").arg(stepId)));
        QStringList fns;
        while (f.next())
            fns << QStringLiteral("%1:%2:%3").arg(f.value(0).toInt()).arg(f.value(1).toDouble()).arg(f.value(2).toDouble());
        QCOMPARE(fns, (QStringList { QStringLiteral("105:12.5:12"), QStringLiteral("118:30:35") }));

        // Several steps: the final one comes last; no identification code is NULL; the unit and
        // name are the active unit and the loaded program's.
        QVERIFY(q.exec(stepQuery(okId.toInt())));
        int rows = 0;
        while (q.next())
            ++rows;
        QCOMPARE(rows, 3);
        QVERIFY(q.last());
        QVERIFY(q.value(10).isNull());
        QCOMPARE(QStringList({ q.value(1).toString(), q.value(3).toString(), q.value(5).toString(), q.value(9).toString(), q.value(11).toString() }),
                 QStringList({ "M6 flange", "2", "1", "12.5", "1" }));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("results"));
}

void TstToolSim::diagFilesAreRewrittenUnderTheWriteLock()
{
    QCOMPARE(runOk({ QStringLiteral("battery"), QStringLiteral("power=100") }), QStringLiteral("ok"));
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/power")), QByteArray("100\n"));

    // A reader of this process holds the read lock: the simulator must wait for it.
    QFile reader(m_root->path(QStringLiteral("/var/run/diag/battery/power")));
    QVERIFY(reader.open(QIODevice::ReadOnly));
    QVERIFY(FileLock::lock(reader));
    QDBusPendingCallWatcher watcher(QDBusConnection::systemBus().asyncCall(controlMessage({ QStringLiteral("battery"), QStringLiteral("power=7") })));
    QTest::qWait(300);
    QVERIFY(!watcher.isFinished());
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/power")), QByteArray("100\n"));
    QVERIFY(FileLock::unlock(reader));
    QVERIFY(waitUntil([&watcher] { return watcher.isFinished(); }));
    QVERIFY(!watcher.isError());
    // Truncated, not overwritten in place.
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/power")), QByteArray("7\n"));
    QVERIFY(waitUntil([this] { return m_signals.contains(QStringLiteral("battpowerchanged 7")); }));
    QVERIFY(QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.SysService"), QStringLiteral("/SysObj"),
                                                                             QStringLiteral("com.velmar.akku.SysInterface"), QStringLiteral("fbattpowerget")))
                .arguments()
                .value(0)
                .toInt()
            == 7);
    runOk({ QStringLiteral("battery"), QStringLiteral("power=80"), QStringLiteral("status=5"), QStringLiteral("countdown=20") });
    QVERIFY(waitUntil([this] { return m_signals.contains(QStringLiteral("battcntdwn 20")); }));
    QVERIFY(m_signals.contains(QStringLiteral("battstatuschanged 5")));
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/status")), QByteArray("5\n"));
}

void TstToolSim::readyFlagsAreAnswered()
{
    QDBusMessage r = sysCall("frdyget");
    QCOMPARE(r.arguments().size(), 2);
    const int soll = r.arguments().at(1).toInt();
    QCOMPARE(soll & 0xC0, 0xC0);

    QCOMPARE(sysCall("frdyflagreset", { 7 }).type(), QDBusMessage::ReplyMessage);
    QVERIFY(waitUntil([this] { return !m_signals.filter(QStringLiteral("rdychanged")).isEmpty(); }));
    QCOMPARE(m_signals.filter(QStringLiteral("rdychanged")).last(), QStringLiteral("rdychanged %1 %2").arg(soll & ~0x80).arg(soll));

    sysCall("frdyflagset", { 7 });
    QVERIFY(waitUntil([this] { return m_signals.filter(QStringLiteral("rdychanged")).size() == 2; }));
    QCOMPARE(m_signals.filter(QStringLiteral("rdychanged")).last(), QStringLiteral("rdychanged %1 %1").arg(soll));
    r = sysCall("frdyget");
    QCOMPARE(r.arguments().at(0).toInt(), soll);

    sysCall("frdyflagreset", { 6 });
    QVERIFY(waitUntil([this] { return m_signals.filter(QStringLiteral("rdychanged")).size() == 3; }));
    QCOMPARE(m_signals.filter(QStringLiteral("rdychanged")).last(), QStringLiteral("rdychanged %1 %2").arg(soll & ~0x40).arg(soll));
    sysCall("frdyflagset", { 6 });

    // Every service call is logged in order, for the tests that look at what the GUI asked.
    QCOMPARE(simCalls(), QStringList({ "frdyget", "frdyflagreset 7", "frdyflagset 7", "frdyget", "frdyflagreset 6", "frdyflagset 6" }));

    // A state set from outside is what frdyget answers afterwards.
    QCOMPARE(runOk({ QStringLiteral("ready"), QStringLiteral("1"), QStringLiteral("3") }), QStringLiteral("ok"));
    QVERIFY(waitUntil([this] { return m_signals.contains(QStringLiteral("rdychanged 1 3")); }));
    r = sysCall("frdyget");
    QCOMPARE(r.arguments().at(0).toInt(), 1);
    QCOMPARE(r.arguments().at(1).toInt(), 3);
    runOk({ QStringLiteral("ready"), QString::number(soll), QString::number(soll) });
    QCOMPARE(sysCall("frdyflagset", { 99 }).type(), QDBusMessage::ErrorMessage);
}

void TstToolSim::programAndJobFilesAreAnnounced()
{
    QCOMPARE(runOk({ QStringLiteral("program"), QStringLiteral("7"), QStringLiteral("name=Cover M4"), QStringLiteral("unit=2") }),
             QStringLiteral("/home/tool/config/srbprg/prg7.lua"));
    QVERIFY(m_root->read("/home/tool/config/srbprg/prg7.lua").contains("prg.Name = \"Cover M4\"\nprg.TorqueUnit = 2"));
    runOk({ QStringLiteral("job"), QStringLiteral("4"), QStringLiteral("name=Rear axle") });
    QVERIFY(m_root->read("/home/tool/config/jobs/job004.lua").contains("jobName=Rear axle\n"));
    runOk({ QStringLiteral("delprogram"), QStringLiteral("7") });
    runOk({ QStringLiteral("deljob"), QStringLiteral("4") });
    QVERIFY(!QFileInfo::exists(m_root->path(QStringLiteral("/home/tool/config/srbprg/prg7.lua"))));
    QVERIFY(!QFileInfo::exists(m_root->path(QStringLiteral("/home/tool/config/jobs/job004.lua"))));
    runOk({ QStringLiteral("chancfg"), QStringLiteral("active=2") });
    const QJsonObject units = QJsonDocument::fromJson(m_root->read("/home/tool/config/ChanCfg.json")).object().value("EinheitDrehmoment").toObject();
    QCOMPARE(units.value("Aktiv").toInt(), 2);
    QCOMPARE(units.value("Faktoren").toArray().size(), 4);
    runOk({ QStringLiteral("chancfg"), QStringLiteral("active=1") });
    runOk({ QStringLiteral("cfgchanged"), QStringLiteral("/home/tool/config/prg_importer") });

    QVERIFY(waitUntil([this] { return m_signals.filter(QStringLiteral("cfgfilechanged")).size() == 7; }));
    QCOMPARE(m_signals.filter(QStringLiteral("cfgfilechanged")),
             (QStringList { QStringLiteral("cfgfilechanged /home/tool/config/srbprg/prg7.lua"), QStringLiteral("cfgfilechanged /home/tool/config/jobs/job004.lua"),
                            QStringLiteral("cfgfilechanged /home/tool/config/srbprg/prg7.lua"), QStringLiteral("cfgfilechanged /home/tool/config/jobs/job004.lua"),
                            QStringLiteral("cfgfilechanged /home/tool/config/ChanCfg.json"), QStringLiteral("cfgfilechanged /home/tool/config/ChanCfg.json"),
                            QStringLiteral("cfgfilechanged /home/tool/config/prg_importer") }));
}

void TstToolSim::rootIsKeptAcrossRunsAndRefilledOnRequest()
{
    const int before = runOk({ QStringLiteral("result"), QStringLiteral("ok") }).toInt();
    runOk({ QStringLiteral("battery"), QStringLiteral("power=42") });
    stopSim();
    QVERIFY(m_root->write(QStringLiteral("/home/tool/config/srbprg/prg5.lua"), "changed\n"));

    // An existing root is used as it is; the ids go on.
    QVERIFY(startSim());
    QCOMPARE(m_root->read(QStringLiteral("/home/tool/config/srbprg/prg5.lua")), QByteArray("changed\n"));
    QVERIFY(runOk({ QStringLiteral("result"), QStringLiteral("ok") }).toInt() > before);
    // The state comes back from the diagnostic tree.
    QCOMPARE(sysCall("fbattpowerget").arguments().value(0).toInt(), 42);
    stopSim();

    QVERIFY(startSim({ QStringLiteral("--fresh") }));
    QVERIFY(m_root->read(QStringLiteral("/home/tool/config/srbprg/prg5.lua")).contains("prg.Name"));
    QVERIFY(!QFileInfo::exists(m_root->path(QStringLiteral("/home/tool/data/result.sq3"))));
    QCOMPARE(sysCall("fbattpowerget").arguments().value(0).toInt(), 80);
    stopSim();

    // A directory toolsim did not fill is never emptied.
    TempSysroot foreign;
    QVERIFY(foreign.write(QStringLiteral("/precious"), "keep me"));
    QProcess p;
    p.start(Sim, { QStringLiteral("run"), QStringLiteral("--sysroot"), foreign.root(), QStringLiteral("--fresh") });
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(foreign.read(QStringLiteral("/precious")), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TstToolSim)
#include "tst_toolsim.moc"
