// The installed bus policy of the GUI's name, on a dbus-daemon as restrictive as a device's
// system bus, with callers of another user.
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "testsupport.h"

namespace {

// Stands in for the GUI's object: one method of its interface.
class GuiStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.gui")
public:
    int calls = 0;
public Q_SLOTS:
    void fresetresult() { ++calls; }
};

} // namespace

class TestBusPolicy : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void onNewResult(const QString& db, int id) { m_signals << db + QLatin1Char(' ') + QString::number(id); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void ownership();
    void callers();
    void signalSenders();

private:
    // Another user: "nobody" (no group of the tool) or "daemon", whose group stands in for
    // the tool's group here.
    enum Who { Nobody, ToolGroup, Root };
    // dbus-send as `who`; returns its exit code, stderr in `err`.
    int send(Who who, const QStringList& args, QString* err = nullptr)
    {
        QStringList command;
        if (who != Root)
            command << (who == Nobody ? QStringLiteral("--reuid=65534") : QStringLiteral("--reuid=1"))
                    << (who == Nobody ? QStringLiteral("--regid=65534") : QStringLiteral("--regid=1"))
                    << QStringLiteral("--clear-groups");
        command << QStringLiteral("dbus-send") << QStringLiteral("--bus=") + m_address;
        QProcess p;
        p.start(QStringLiteral("setpriv"), command + args);
        if (!p.waitForStarted())
            return -1;
        // The owner answers on this thread while the caller waits.
        if (!waitUntil([&p] { return p.state() == QProcess::NotRunning; }, 20000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    int call(Who who, const char* method, QString* err = nullptr)
    {
        return send(who, { "--print-reply", "--dest=com.velmar.akku.GUIService", "/GUI", QString::fromLatin1(method) }, err);
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    GuiStandIn m_gui;
    QStringList m_signals;
};

void TestBusPolicy::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("the policy lets root own the name; this test needs to run as root");
    QVERIFY(m_dir.isValid());
    // The installed policy with a group that exists on every Debian machine.
    QFile policyIn(QStringLiteral(GUI_POLICY_TEMPLATE));
    QVERIFY(policyIn.open(QIODevice::ReadOnly));
    QFile policy(m_dir.filePath(QStringLiteral("gui.conf")));
    QVERIFY(policy.open(QIODevice::WriteOnly));
    policy.write(policyIn.readAll().replace("@NG_TOOL_BUS_GROUP@", "daemon"));
    policy.close();
    // A device-like system bus that includes it.
    QFile in(QStringLiteral(TEST_DIR "/restrictivebus.conf"));
    QVERIFY(in.open(QIODevice::ReadOnly));
    QByteArray text = in.readAll();
    text.replace("@GUI_POLICY@", policy.fileName().toUtf8());
    const QString config = m_dir.filePath(QStringLiteral("system.conf"));
    QFile f(config);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    // The socket directory must be reachable for the other users.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                    | QFileDevice::ExeGroup | QFileDevice::ExeOther));
    endWithTest(m_daemon);
    m_daemon.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"), QStringLiteral("--nofork") });
    QVERIFY(m_daemon.waitForStarted());
    QVERIFY(waitUntil([&] {
        m_address += QString::fromUtf8(m_daemon.readAllStandardOutput());
        return m_address.contains(QLatin1Char('\n')) || m_daemon.state() == QProcess::NotRunning;
    }));
    m_address = m_address.trimmed();
    QVERIFY2(!m_address.isEmpty(), "dbus-daemon did not accept the configuration");

    QDBusConnection owner = QDBusConnection::connectToBus(m_address, QStringLiteral("owner"));
    QVERIFY(owner.isConnected());
    QVERIFY(owner.registerService(QStringLiteral("com.velmar.akku.GUIService")));
    QVERIFY(owner.registerObject(QStringLiteral("/GUI"), &m_gui, QDBusConnection::ExportAllSlots));
    QVERIFY(owner.connect(QString(), QStringLiteral("/ResObj"), QStringLiteral("com.velmar.akku.ResInterface"),
                          QStringLiteral("newresult"), this, SLOT(onNewResult(QString,int))));
}

void TestBusPolicy::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("owner"));
    m_daemon.terminate();
    m_daemon.waitForFinished(2000);
}

// Root may own the GUI's name, and only that one; other users may not own it.
void TestBusPolicy::ownership()
{
    QDBusConnection owner = QDBusConnection::connectToBus(m_address, QStringLiteral("owner"));
    QVERIFY(!owner.registerService(QStringLiteral("com.velmar.akku.SomethingElse")));
    QString err;
    for (Who who : { Nobody, ToolGroup }) {
        QVERIFY(send(who, { "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.RequestName",
                            "string:com.velmar.akku.GUIService", "uint32:0" }, &err) != 0);
        QVERIFY2(err.contains(QLatin1String("AccessDenied")), qPrintable(err));
    }
}

// Root and the tool's group may call the GUI's interface; any other user may introspect it
// and nothing else (a forged "setNice" or a popup that waits for an acknowledgement).
void TestBusPolicy::callers()
{
    QString err;
    QVERIFY(call(Nobody, "com.velmar.akku.gui.fresetresult", &err) != 0);
    QVERIFY2(err.contains(QLatin1String("AccessDenied")), qPrintable(err));
    QCOMPARE(m_gui.calls, 0);
    QCOMPARE(call(Nobody, "org.freedesktop.DBus.Introspectable.Introspect"), 0);
    QCOMPARE(call(ToolGroup, "com.velmar.akku.gui.fresetresult", &err), 0);
    QCOMPARE(call(Root, "com.velmar.akku.gui.fresetresult", &err), 0);
    QCOMPARE(m_gui.calls, 2);
    QVERIFY(call(ToolGroup, "com.velmar.akku.other.fresetresult", &err) != 0);
    QCOMPARE(m_gui.calls, 2);
}

// The tool services' signals (here a forged "newresult") reach the GUI only from root and
// the tool's group. The bus handles one sender's message before the next sender's.
void TestBusPolicy::signalSenders()
{
    const auto signal = [this](Who who, const char* db) {
        return send(who, { "--type=signal", "/ResObj", "com.velmar.akku.ResInterface.newresult",
                           QStringLiteral("string:") + QLatin1String(db), "int32:1" });
    };
    QCOMPARE(signal(Nobody, "/tmp/forged.sq3"), 0);
    QCOMPARE(signal(ToolGroup, "/group.sq3"), 0);
    QCOMPARE(signal(Root, "/root.sq3"), 0);
    QVERIFY(waitUntil([this] { return m_signals.size() >= 2; }));
    QCOMPARE(m_signals, QStringList({ "/group.sq3 1", "/root.sq3 1" }));
}

QTEST_GUILESS_MAIN(TestBusPolicy)
#include "tst_buspolicy.moc"
