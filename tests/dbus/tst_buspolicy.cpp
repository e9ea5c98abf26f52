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

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void ownership();
    void otherUsersCall();

private:
    // dbus-send as the unprivileged user "nobody"; returns its exit code, stderr in `err`.
    int sendAsNobody(const QStringList& args, QString* err = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral("setpriv"), QStringList { "--reuid=65534", "--regid=65534", "--clear-groups", "dbus-send",
                                               QStringLiteral("--bus=") + m_address, "--print-reply" } + args);
        if (!p.waitForStarted())
            return -1;
        // The owner answers on this thread while the caller waits.
        waitUntil([&p] { return p.state() == QProcess::NotRunning; }, 20000);
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    GuiStandIn m_gui;
};

void TestBusPolicy::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("the policy lets root own the name; this test needs to run as root");
    QVERIFY(m_dir.isValid());
    // A device-like system bus that includes our policy file.
    QFile in(QStringLiteral(TEST_DIR "/restrictivebus.conf"));
    QVERIFY(in.open(QIODevice::ReadOnly));
    QByteArray text = in.readAll();
    text.replace("@GUI_POLICY@", NG_SOURCE_DIR "/src/dbus/com.velmar.akku.GUIService.conf");
    const QString config = m_dir.filePath(QStringLiteral("system.conf"));
    QFile f(config);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    m_daemon.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"), QStringLiteral("--nofork") });
    QVERIFY(m_daemon.waitForStarted());
    QVERIFY(waitUntil([&] {
        m_address += QString::fromUtf8(m_daemon.readAllStandardOutput());
        return m_address.contains(QLatin1Char('\n')) || m_daemon.state() == QProcess::NotRunning;
    }));
    m_address = m_address.trimmed();
    QVERIFY2(!m_address.isEmpty(), "dbus-daemon did not accept the configuration");
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
    QVERIFY(owner.isConnected());
    QVERIFY(!owner.registerService(QStringLiteral("com.velmar.akku.SomethingElse")));
    QVERIFY(owner.registerService(QStringLiteral("com.velmar.akku.GUIService")));
    QVERIFY(owner.registerObject(QStringLiteral("/GUI"), &m_gui, QDBusConnection::ExportAllSlots));

    QString err;
    const int rc = sendAsNobody({ "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.RequestName",
                                  "string:com.velmar.akku.GUIService", "uint32:0" }, &err);
    QVERIFY(rc != 0);
    QVERIFY2(err.contains(QLatin1String("AccessDenied")), qPrintable(err));
}

// Any user may call the GUI's interface (and introspect it), nothing else on that name.
void TestBusPolicy::otherUsersCall()
{
    QString err;
    QCOMPARE(sendAsNobody({ "--dest=com.velmar.akku.GUIService", "/GUI", "com.velmar.akku.gui.fresetresult" }, &err), 0);
    QCOMPARE(m_gui.calls, 1);
    QCOMPARE(sendAsNobody({ "--dest=com.velmar.akku.GUIService", "/GUI", "org.freedesktop.DBus.Introspectable.Introspect" }, &err), 0);
    QVERIFY(sendAsNobody({ "--dest=com.velmar.akku.GUIService", "/GUI", "com.velmar.akku.other.fresetresult" }, &err) != 0);
    QVERIFY2(err.contains(QLatin1String("AccessDenied")), qPrintable(err));
    QCOMPARE(m_gui.calls, 1);
}

QTEST_GUILESS_MAIN(TestBusPolicy)
#include "tst_buspolicy.moc"
