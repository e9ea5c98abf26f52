#include "tightening_testutil.h"

#include <QDeadlineTimer>

#include "testsupport.h"

Peer::Peer(const QStringList& args)
{
    m_process.setProgram(QStringLiteral(TIGHTENING_PEER));
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithTest(m_process);
    m_process.start();
    m_started = m_process.waitForStarted(10000);
}

Peer::~Peer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

QByteArray Peer::nextLine(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_buffer.contains('\n')) {
        if (deadline.hasExpired())
            return QByteArray();
        if (!m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            m_buffer += m_process.readAllStandardOutput();
            if (!m_buffer.contains('\n') && m_process.state() == QProcess::NotRunning)
                return QByteArray();
            continue;
        }
        m_buffer += m_process.readAllStandardOutput();
    }
    const int nl = m_buffer.indexOf('\n');
    const QByteArray line = m_buffer.left(nl);
    m_buffer.remove(0, nl + 1);
    return line;
}

void Peer::go()
{
    m_process.write("go\n");
    m_process.waitForBytesWritten(5000);
}

int Peer::finish(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs) && m_process.state() != QProcess::NotRunning)
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

Background::Background(std::function<void()> work)
    : m_thread([this, work] {
        work();
        m_done.store(true);
    })
{
}

Background::~Background()
{
    join();
}

bool Background::stillRunningAfter(int graceMs) const
{
    QDeadlineTimer deadline(graceMs);
    while (!deadline.hasExpired()) {
        if (m_done.load())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !m_done.load();
}

void Background::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
