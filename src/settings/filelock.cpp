#include "filelock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "systemlog.h"

namespace FileLock {

namespace {

int fcntlLock(const QFile& file, short type, int command)
{
    struct flock record;
    std::memset(&record, 0, sizeof record);
    record.l_type = type;
    record.l_whence = SEEK_SET;
    record.l_start = 0;
    record.l_len = 0; // the whole file, however long it grows
    record.l_pid = ::getpid();

    int rc;
    do {
        rc = ::fcntl(file.handle(), command, &record);
    } while (rc == -1 && errno == EINTR); // a signal while waiting is no refusal
    return rc;
}

void logRefusal(const QFile& file, short type)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    const char* format = type == F_UNLCK ? "FUNLOCK failed: %1; %2" : "FLOCK failed: %1; %2";
    // Files opened from a descriptor carry their path as object name.
    const QString name = file.fileName().isEmpty() ? file.objectName() : file.fileName();
    SystemLog::error(QString::fromLatin1(format).arg(name, reason));
}

bool setLock(const QFile& file, short type)
{
    if (fcntlLock(file, type, F_SETLKW) == -1) {
        logRefusal(file, type);
        return false;
    }
    return true;
}

short lockType(const QFile& file)
{
    // Text or unbuffered flags do not change the access mode; only writing needs the
    // exclusive lock (and a read-only descriptor could not take it).
    const QIODevice::OpenMode access = file.openMode() & QIODevice::ReadWrite;
    const bool readOnly = access == QIODevice::ReadOnly && !(file.openMode() & QIODevice::Append);
    return readOnly ? F_RDLCK : F_WRLCK;
}

} // namespace

bool lock(const QFile& file)
{
    return setLock(file, lockType(file));
}

Outcome lockWithin(const QFile& file, int waitMs)
{
    const short type = lockType(file);
    QElapsedTimer waited;
    waited.start();
    int pauseMs = 1;
    for (;;) {
        if (fcntlLock(file, type, F_SETLK) == 0)
            return Granted;
        if (errno != EAGAIN && errno != EACCES) {
            logRefusal(file, type);
            return Refused;
        }
        const qint64 left = waitMs - waited.elapsed();
        if (left <= 0)
            return Busy;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(pauseMs, left)));
        pauseMs = qMin(pauseMs * 2, 20);
    }
}

bool unlock(const QFile& file)
{
    return setLock(file, F_UNLCK);
}

QByteArray readBounded(QFile& file, qint64 maxSize)
{
    QByteArray data;
    while (data.size() < maxSize) {
        const QByteArray chunk = file.read(qMin<qint64>(64 * 1024, maxSize - data.size()));
        if (chunk.isEmpty())
            break;
        data += chunk;
    }
    return data;
}

bool readLocked(QFile& file, QByteArray& out)
{
    if (!lock(file))
        return false;
    out = readBounded(file);
    unlock(file);
    return true;
}

qint64 replaceContent(QFile& file, const QByteArray& content, bool* locked)
{
    const bool granted = lock(file);
    if (locked)
        *locked = granted;
    if (!granted)
        return -1;
    qint64 written = -1;
    // Without the truncation the new content would be appended to the old one.
    if (file.resize(0)) {
        written = file.write(content);
        if (!file.flush() || ::fsync(file.handle()) != 0)
            written = -1;
    }
    unlock(file);
    return written;
}

} // namespace FileLock
