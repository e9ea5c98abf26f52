// The simulated tool as the GUI sees it (a process on a private bus, real files under a temporary
// system root): the result rows its step query reads, the locks on the files it reads and the file
// announcements. The GUI's bus and end-to-end tests drive the rest through the GUI.

#include "devicepaths.h"
#include "filelock.h"
#include "plctable.h"
#include "testsupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString Sim = QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim");

QDBusMessage runMessage(const QStringList& words)
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
                                                    QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("Run"));
    return m << words;
}

// The GUI's own step query, tabs and blanks as the GUI sends it.
QString stepQuery(int id)
{
    const QString sep = QStringLiteral("\t\t\t\t    ");
    QString q = QStringLiteral("SELECT ");
    for (const char* column : { "prg_nr,", "prg_name,", "stuferg.id,", "row,", "stuferg.last_cmd,", "srbergallg.result,", "srbergallg.qcode,",
                                "stuferg.time,", "stuferg.angle,", "stuferg.torque,", "srbergallg.id_code,", "srbergallg.torque_unit" })
        q += sep + QLatin1String(column);
    return q + sep + QStringLiteral("FROM stuferg JOIN srbergallg ON stuferg.allg_id=srbergallg.id WHERE srbergallg.id=%1").arg(id);
}

} // namespace

class TstToolSim : public QObject
{
    Q_OBJECT

private:
    bool startSim(const QStringList& extra = {});
    void stopSim();
    QString runOk(const QStringList& words)
    {
        const QDBusMessage r = QDBusConnection::systemBus().call(runMessage(words));
        if (r.type() != QDBusMessage::ReplyMessage) {
            qWarning() << words << r.errorMessage();
            return QStringLiteral("<error>");
        }
        return r.arguments().value(0).toString();
    }
    QStringList signalsLike(const QString& start) { return m_signals.filter(QRegularExpression(QLatin1Char('^') + start)); }

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<TempSysroot> m_root;
    std::unique_ptr<QProcess> m_sim;
    QByteArray m_out;
    QStringList m_signals;

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { stopSim(); }
    void init() { m_signals.clear(); }

    void onSignal(const QDBusMessage& m)
    {
        m_signals << m.member();
        for (const QVariant& v : m.arguments())
            m_signals.last() += QLatin1Char(' ') + v.toString();
    }

    void resultsAreReadableWithTheGuiStepQuery();
    void diagFilesAreRewrittenUnderTheWriteLock();
    void programAndJobFilesAreAnnounced();
    void plcTableKeysMayStayEmpty();
    void freshNeverEmptiesAForeignDirectory();
};

bool TstToolSim::startSim(const QStringList& extra)
{
    m_out.clear();
    m_sim = std::make_unique<QProcess>();
    m_sim->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_sim.get(), &QProcess::readyReadStandardOutput, this, [this] { m_out += m_sim->readAllStandardOutput(); });
    endWithTest(*m_sim);
    m_sim->start(Sim, QStringList { QStringLiteral("run"), QStringLiteral("--sysroot"), m_root->root() } + extra);
    return m_sim->waitForStarted(5000)
        && waitUntil([this] { return m_out.contains("toolsim ready\n") || m_sim->state() == QProcess::NotRunning; }, 10000)
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
    for (const char* name : { "Sys", "Res" }) {
        QVERIFY(bus.connect(QString(), QStringLiteral("/%1Obj").arg(QLatin1String(name)), QStringLiteral("com.velmar.akku.%1Interface").arg(QLatin1String(name)),
                            QString(), this, SLOT(onSignal(QDBusMessage))));
    }
}

void TstToolSim::resultsAreReadableWithTheGuiStepQuery()
{
    const QString nokId = runOk({ "result", "nok", "prg=5", "name=Tight", "torque=13.9", "angle=30", "time=0.9", "qcode=0x18", "lastcmd=99",
                                  "unit=2", "idcode=ABC-123", "fn=105:12.5:12.0", "fn=118:30:35", "fn=106:13.9:10:1" });
    const QString okId = runOk({ "result", "ok", "row=2", "idcode=NULL" });
    QVERIFY(waitUntil([this] { return signalsLike(QStringLiteral("newresult ")).size() == 2; }));
    QCOMPARE(signalsLike(QStringLiteral("newresult ")),
             (QStringList { "newresult /home/tool/data/result.sq3 " + nokId, "newresult /home/tool/data/result.sq3 " + okId }));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("results"));
        db.setDatabaseName(DevicePaths::map(QStringLiteral("/home/tool/data/result.sq3")));
        QVERIFY(db.open());
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
        QCOMPARE(fns, (QStringList { "105:12.5:12", "118:30:35" }));

        // several steps: the final one comes last; no identification code is NULL
        QVERIFY(q.exec(stepQuery(okId.toInt())));
        QVERIFY(q.last());
        QCOMPARE(q.at(), 2); // three rows
        QVERIFY(q.value(10).isNull());
        QCOMPARE(q.value(3).toInt(), 2);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("results"));
}

void TstToolSim::diagFilesAreRewrittenUnderTheWriteLock()
{
    QCOMPARE(runOk({ "battery", "power=100" }), QStringLiteral("ok"));
    // a reader of this process holds the read lock: the simulator must wait for it
    QFile reader(m_root->path(QStringLiteral("/var/run/diag/battery/power")));
    QVERIFY(reader.open(QIODevice::ReadOnly));
    QVERIFY(FileLock::lock(reader));
    QDBusPendingCallWatcher watcher(QDBusConnection::systemBus().asyncCall(runMessage({ "battery", "power=7" })));
    QTest::qWait(300);
    QVERIFY(!watcher.isFinished());
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/power")), QByteArray("100\n"));
    QVERIFY(FileLock::unlock(reader));
    QVERIFY(waitUntil([&watcher] { return watcher.isFinished(); }));
    QVERIFY(!watcher.isError());
    QCOMPARE(m_root->read(QStringLiteral("/var/run/diag/battery/power")), QByteArray("7\n")); // truncated, not overwritten in place
    QVERIFY(waitUntil([this] { return m_signals.contains(QStringLiteral("battpowerchanged 7")); }));
    const QDBusMessage query = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.SysService"), QStringLiteral("/SysObj"),
                                                              QStringLiteral("com.velmar.akku.SysInterface"), QStringLiteral("fbattpowerget"));
    QCOMPARE(QDBusConnection::systemBus().call(query).arguments().value(0).toInt(), 7); // the GUI's start-up query
}

void TstToolSim::programAndJobFilesAreAnnounced()
{
    QCOMPARE(runOk({ "program", "7", "name=Cover M4", "unit=2" }), QStringLiteral("/home/tool/config/srbprg/prg7.lua"));
    QVERIFY(m_root->read("/home/tool/config/srbprg/prg7.lua").contains("prg.Name = \"Cover M4\"\nprg.TorqueUnit = 2"));
    runOk({ "job", "4", "name=Rear axle" });
    QVERIFY(m_root->read("/home/tool/config/jobs/job004.lua").contains("jobName=Rear axle\n"));
    runOk({ "delprogram", "7" });
    QVERIFY(!QFileInfo::exists(m_root->path(QStringLiteral("/home/tool/config/srbprg/prg7.lua"))));
    QVERIFY(waitUntil([this] { return signalsLike(QStringLiteral("cfgfilechanged")).size() == 3; }));
    QCOMPARE(signalsLike(QStringLiteral("cfgfilechanged")),
             (QStringList { "cfgfilechanged /home/tool/config/srbprg/prg7.lua", "cfgfilechanged /home/tool/config/jobs/job004.lua",
                            "cfgfilechanged /home/tool/config/srbprg/prg7.lua" }));
}

// "-" leaves a key without input; the program inputs fill other indices.
void TstToolSim::plcTableKeysMayStayEmpty()
{
    QCOMPARE(runOk({ "plctab", "ManOp", "Start", "-" }), QStringLiteral("ok"));
    const QString dir = m_root->path(QString::fromLatin1(DevicePaths::PlcTable));
    const QVariantMap texts = PlcTable::keyTexts(dir);
    QCOMPARE(QStringList({ texts.value("L").toString(), texts.value("M").toString(), texts.value("R").toString() }),
             QStringList({ "ManOp", "Start", "" }));
    QVERIFY(PlcTable::allProgramsAvailable(dir));
}

// --fresh refills a root toolsim made, and refuses to empty any other directory.
void TstToolSim::freshNeverEmptiesAForeignDirectory()
{
    stopSim();
    QVERIFY(m_root->write(QStringLiteral("/home/tool/config/srbprg/prg5.lua"), "changed\n"));
    QVERIFY(startSim({ QStringLiteral("--fresh") }));
    QVERIFY(m_root->read(QStringLiteral("/home/tool/config/srbprg/prg5.lua")).contains("prg.Name"));
    stopSim();

    TempSysroot foreign;
    QVERIFY(foreign.write(QStringLiteral("/precious"), "keep me"));
    QProcess p;
    endWithTest(p);
    p.start(Sim, { QStringLiteral("run"), QStringLiteral("--sysroot"), foreign.root(), QStringLiteral("--fresh") });
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(foreign.read(QStringLiteral("/precious")), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TstToolSim)
#include "tst_toolsim.moc"
