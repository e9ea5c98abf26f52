#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantList>
#include <functional>

class MainWindow;

// What the GUI tests share: a connection of their own on the private bus (so that calls to
// the GUI, which lives in the test process, go through the bus and are answered while the
// test waits), the simulator as the peer, and the recording scene.
class DBusTestBench : public QObject
{
    Q_OBJECT

public:
    explicit DBusTestBench(const QString& busAddress, QObject* parent = nullptr);
    ~DBusTestBench() override;

    QDBusConnection& connection() { return m_connection; }

    // Starts "toolsim run --sysroot <root> --fresh" and waits for "toolsim ready".
    bool startSimulator(const QString& sysroot);
    void stopSimulator();
    QString simulatorOutput() const { return m_simOutput; }

    // The simulator's control interface; the reply arrives while the event loop runs.
    QDBusMessage run(const QStringList& args);
    QStringList simCalls();
    void clearSimCalls();
    // Calls a method of the GUI interface the way another process would.
    QDBusMessage callGui(const QString& method, const QVariantList& args = {});
    QDBusMessage call(const QString& service, const QString& path, const QString& interface, const QString& method,
        const QVariantList& args = {});

    // The recording scene of `window`.
    static QStringList sceneCalls(MainWindow& window);
    static QVariantList sceneArgs(MainWindow& window, int index);
    // Runs `hook` (with the entry) inside every root function call the scene records.
    void watchScene(MainWindow& window, std::function<void(const QString&)> hook);

    // Signals of the GUI interface seen on the bus, "member arg..." in arrival order.
    QStringList guiSignals() const { return m_signals; }
    QList<QDBusMessage> guiSignalMessages() const { return m_signalMessages; }

private Q_SLOTS:
    void onGuiSignal(const QDBusMessage& message);
    void onRecorded(const QString& entry);

private:
    QDBusConnection m_connection;
    QProcess m_sim;
    QString m_simOutput;
    QStringList m_signals;
    QList<QDBusMessage> m_signalMessages;
    std::function<void(const QString&)> m_hook;
};
