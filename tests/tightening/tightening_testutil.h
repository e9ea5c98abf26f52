#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>

// The second process (tightening_peer) with a line protocol on stdin/stdout.
class Peer
{
public:
    explicit Peer(const QStringList& args);
    ~Peer();
    bool started() const { return m_started; }
    // Waits for the next output line and returns it (empty on time-out or exit).
    QByteArray nextLine(int timeoutMs = 10000);
    void go();
    // Waits for the end; the exit code, or -1 when it did not end normally.
    int finish(int timeoutMs = 30000);
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_buffer;
    bool m_started = false;
};

// Runs work on a thread of its own (locks are per process, so a thread of this process
// blocks only on a lock that the peer holds).
class Background
{
public:
    explicit Background(std::function<void()> work);
    ~Background();
    bool done() const { return m_done.load(); }
    // True when the work is still blocked after the grace period; only a wrong
    // implementation ends early, so a correct one never fails on a slow machine.
    bool stillRunningAfter(int graceMs) const;
    void join();

private:
    std::atomic<bool> m_done { false };
    std::thread m_thread;
};
