#include "dbustestbench.h"

#include <QDBusPendingCall>
#include <QQuickItem>

#include "mainwindow.h"
#include "testsupport.h"

DBusTestBench::DBusTestBench(const QString& busAddress, QObject* parent)
    : QObject(parent)
    , m_connection(QDBusConnection::connectToBus(busAddress, QStringLiteral("testbench")))
{
    m_connection.connect(QString(), QStringLiteral("/GUI"), QStringLiteral("com.velmar.akku.gui"), QString(), this,
        SLOT(onGuiSignal(QDBusMessage)));
}

DBusTestBench::~DBusTestBench()
{
    stopSimulator();
    QDBusConnection::disconnectFromBus(QStringLiteral("testbench"));
}

bool DBusTestBench::startSimulator(const QString& sysroot)
{
    m_sim.setProgram(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"));
    m_sim.setArguments({ QStringLiteral("run"), QStringLiteral("--sysroot"), sysroot, QStringLiteral("--fresh") });
    m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithTest(m_sim);
    m_sim.start();
    if (!m_sim.waitForStarted(5000))
        return false;
    return waitUntil([this] {
        m_simOutput += QString::fromUtf8(m_sim.readAllStandardOutput());
        return m_simOutput.contains(QLatin1String("toolsim ready")) || m_sim.state() == QProcess::NotRunning;
    }, 20000) && m_simOutput.contains(QLatin1String("toolsim ready"));
}

void DBusTestBench::stopSimulator()
{
    if (m_sim.state() == QProcess::NotRunning)
        return;
    m_sim.terminate();
    if (!m_sim.waitForFinished(5000)) {
        m_sim.kill();
        m_sim.waitForFinished(2000);
    }
}

QDBusMessage DBusTestBench::call(const QString& service, const QString& path, const QString& interface, const QString& method,
    const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    // Asynchronous, so that the GUI in this process can answer the peer meanwhile.
    QDBusPendingCall pending = m_connection.asyncCall(message);
    waitUntil([&pending] { return pending.isFinished(); }, 30000);
    return pending.isFinished() ? pending.reply() : QDBusMessage();
}

QDBusMessage DBusTestBench::run(const QStringList& args)
{
    return call(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"), QStringLiteral("com.velmar.akku.ToolSimControl"),
        QStringLiteral("Run"), { args });
}

QStringList DBusTestBench::simCalls()
{
    // The simulator answers this itself, so a blocking call is safe even from inside a
    // root function of the scene.
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
        QStringLiteral("com.velmar.akku.ToolSimControl"), QStringLiteral("Calls"));
    const QDBusMessage reply = m_connection.call(message, QDBus::Block);
    return reply.arguments().value(0).toStringList();
}

void DBusTestBench::clearSimCalls()
{
    call(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"), QStringLiteral("com.velmar.akku.ToolSimControl"),
        QStringLiteral("ClearCalls"));
}

QDBusMessage DBusTestBench::callGui(const QString& method, const QVariantList& args)
{
    return call(QStringLiteral("com.velmar.akku.GUIService"), QStringLiteral("/GUI"), QStringLiteral("com.velmar.akku.gui"), method, args);
}

QStringList DBusTestBench::sceneCalls(MainWindow& window)
{
    QQuickItem* root = window.rootItem();
    return root ? root->property("calls").toStringList() : QStringList();
}

QVariantList DBusTestBench::sceneArgs(MainWindow& window, int index)
{
    QQuickItem* root = window.rootItem();
    if (!root)
        return {};
    return root->property("argLists").toList().value(index).toList();
}

void DBusTestBench::watchScene(MainWindow& window, std::function<void(const QString&)> hook)
{
    m_hook = std::move(hook);
    if (QQuickItem* root = window.rootItem())
        connect(root, SIGNAL(recorded(QString)), this, SLOT(onRecorded(QString)), Qt::UniqueConnection);
}

void DBusTestBench::onRecorded(const QString& entry)
{
    if (m_hook)
        m_hook(entry);
}

void DBusTestBench::onGuiSignal(const QDBusMessage& message)
{
    QStringList parts { message.member() };
    for (const QVariant& a : message.arguments())
        parts << a.toString();
    m_signals << parts.join(QLatin1Char(' '));
    m_signalMessages << message;
}
