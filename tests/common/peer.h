#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>

#include "testsupport.h"

// Drives the peer helper (tests/common/peer.cpp): a second real process with a line protocol.
class Peer
{
public:
    Peer() { endWithTest(m_process); m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel); }
    explicit Peer(const QStringList& args) : Peer() { start(args); }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill(); // its locks go with it
            m_process.waitForFinished(5000);
        }
    }

    bool start(const QStringList& args)
    {
        m_process.start(QStringLiteral(NG_PEER), args);
        return m_started = m_process.waitForStarted(10000);
    }

    // Starts "hold" and waits until the helper holds the lock.
    bool hold(const QString& hostPath, bool write)
    {
        return start({ QStringLiteral("hold"), hostPath, QLatin1String(write ? "w" : "r") }) && readLine() == QLatin1String("locked");
    }

    // Lets a waiting helper go on.
    void go()
    {
        m_process.write("go\n");
        m_process.waitForBytesWritten(5000);
    }

    bool release()
    {
        go();
        return readLine() == QLatin1String("unlocked") && finish() == 0;
    }

    // Waits for the end; the exit code, or -1 when it did not end normally.
    int finish(int timeoutMs = 30000)
    {
        if (!m_process.waitForFinished(timeoutMs) && m_process.state() != QProcess::NotRunning)
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // "none", "read <pid>" or "write <pid>": the lock another process holds on the range.
    static QString probe(const QString& hostPath, qint64 start = 0, qint64 len = 0)
    {
        Peer p({ QStringLiteral("probe"), hostPath, QString::number(start), QString::number(len) });
        return p.readLine();
    }

    // Next line of the helper's output (empty after the time-out or the end).
    QString readLine(int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(50);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    bool started() const { return m_started; }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    bool m_started = false;
};

// Runs work on a thread of its own (locks are per process, so a thread of this process
// blocks only on a lock that the peer holds).
class Background
{
public:
    explicit Background(std::function<void()> work) : m_thread([this, work] { work(); m_done = true; }) { }
    ~Background() { join(); }
    bool done() const { return m_done; }
    // True when the work is still blocked after the grace period; only a wrong
    // implementation ends early, so a correct one never fails on a slow machine.
    bool stillRunningAfter(int graceMs) const
    {
        QDeadlineTimer deadline(graceMs);
        while (!deadline.hasExpired() && !m_done)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !m_done;
    }
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_done { false };
    std::thread m_thread;
};
