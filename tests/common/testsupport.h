#pragma once

#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

// A temporary system root: TOOL_SYSROOT points at it for the lifetime of the object.
class TempSysroot
{
public:
    TempSysroot();
    ~TempSysroot();
    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    // Host path of a device path ("/home/tool/config/x" -> "<root>/home/tool/config/x").
    QString path(const QString& devicePath) const;
    // Writes a file at a device path, creating the directories.
    bool write(const QString& devicePath, const QByteArray& content) const;
    QByteArray read(const QString& devicePath) const;
    bool mkdir(const QString& devicePath) const;
    bool remove(const QString& devicePath) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// A private dbus-daemon with our own configuration; DBUS_SYSTEM_BUS_ADDRESS points at it
// while the object lives. Start it before the first use of QDBusConnection::systemBus().
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Processes the event loop until pred() holds or the time runs out.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

// Makes a child end with the test process (parent-death signal), also when the test
// crashes or is killed by its time-out. Call before start().
void endWithTest(QProcess& process);

// The display of the benchmarks: offscreen 240 x 320 at 72 dpi with the software renderer.
void useBenchDisplay();

// A benchmark's simulated tool: a sandbox root and a private bus, made before the application
// object; start() (after it) starts the simulator on them, stop() ends it.
class BenchTool
{
public:
    bool start();
    void stop();
    QString busAddress() const { return m_bus.address(); }
    // A simulator command ("Run" of its control interface), to send on a connection of the caller's.
    static QDBusMessage runMessage(const QStringList& command);

private:
    TempSysroot m_root;
    PrivateBus m_bus;
    std::unique_ptr<QProcess> m_sim;
};
