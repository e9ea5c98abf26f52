#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

#include "testsupport.h"

// Drives the lockholder helper: a second real process taking fcntl locks.
class LockHolder
{
public:
    LockHolder() { endWithTest(m_process); }
    ~LockHolder()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill(); // its locks go with it
            m_process.waitForFinished(5000);
        }
    }

    static QString program() { return QStringLiteral(LOCKHOLDER_PATH); }

    // Starts the helper and waits until it holds the lock.
    bool hold(const QString& hostPath, bool write)
    {
        m_process.start(program(), { QStringLiteral("hold"), hostPath, QLatin1String(write ? "w" : "r") });
        return m_process.waitForStarted(5000) && readLine() == QLatin1String("locked");
    }

    bool release()
    {
        m_process.write("\n");
        const bool ok = readLine() == QLatin1String("unlocked");
        m_process.waitForFinished(5000);
        return ok;
    }

    // "none", "read <pid>" or "write <pid>": the lock another process holds on the range.
    static QString probe(const QString& hostPath, qint64 start = 0, qint64 len = 0)
    {
        QProcess p;
        p.start(program(), { QStringLiteral("probe"), hostPath, QString::number(start), QString::number(len) });
        p.waitForFinished(5000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    QProcess& process() { return m_process; }

    // Next line of the helper's output (empty after the time-out).
    QString readLine(int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired())
            m_process.waitForReadyRead(50);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

private:
    QProcess m_process;
};
