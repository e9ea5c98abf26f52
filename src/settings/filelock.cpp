#include "filelock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "systemlog.h"

namespace FileLock {

namespace {

bool setLock(const QFile& file, short type)
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
        rc = ::fcntl(file.handle(), F_SETLKW, &record);
    } while (rc == -1 && errno == EINTR); // a signal while waiting is no refusal
    if (rc == -1) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        const char* format = type == F_UNLCK ? "FUNLOCK failed: %1; %2" : "FLOCK failed: %1; %2";
        // Files opened from a descriptor carry their path as object name.
        const QString name = file.fileName().isEmpty() ? file.objectName() : file.fileName();
        SystemLog::error(QString::fromLatin1(format).arg(name, reason));
        return false;
    }
    return true;
}

} // namespace

bool lock(const QFile& file)
{
    // Text or unbuffered flags do not change the access mode; only writing needs the
    // exclusive lock (and a read-only descriptor could not take it).
    const QIODevice::OpenMode access = file.openMode() & QIODevice::ReadWrite;
    const bool readOnly = access == QIODevice::ReadOnly && !(file.openMode() & QIODevice::Append);
    return setLock(file, readOnly ? F_RDLCK : F_WRLCK);
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
