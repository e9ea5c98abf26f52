#include "saferead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


namespace SafeRead {

namespace {

Status adopt(QFile& file, int fd, const QString& hostPath, Options options, QIODevice::OpenMode mode)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return Missing;
    }
    const bool regular = S_ISREG(st.st_mode);
    const bool charDevice = S_ISCHR(st.st_mode) && (options & AllowCharDevice);
    if (!regular && !charDevice) {
        ::close(fd);
        return NotRegular;
    }
    if (charDevice)
        mode |= QIODevice::Unbuffered;
    // A QFile opened from a descriptor has no file name; the lock's log lines use this.
    file.setObjectName(hostPath);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Missing;
    }
    return Ok;
}

} // namespace

Status open(QFile& file, const QString& hostPath, Options options)
{
    if (hostPath.isEmpty())
        return Missing;
    int fd;
    do {
        fd = ::open(QFile::encodeName(hostPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Missing;
    return adopt(file, fd, hostPath, options, QIODevice::ReadOnly);
}

Status openAppend(QFile& file, const QString& hostPath, bool create)
{
    if (hostPath.isEmpty())
        return Missing;
    int fd;
    do {
        fd = ::open(QFile::encodeName(hostPath).constData(),
                    O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (create ? O_CREAT : 0), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Missing;
    return adopt(file, fd, hostPath, NoOption, QIODevice::WriteOnly | QIODevice::Append);
}

Status read(const QString& hostPath, QByteArray& out, Options options, qint64 maxSize)
{
    QFile file;
    const Status status = open(file, hostPath, options);
    if (status != Ok)
        return status;
    if ((options & Locked) && !FileLock::lock(file))
        return LockRefused;
    out = FileLock::readBounded(file, maxSize);
    if (options & Locked)
        FileLock::unlock(file);
    return Ok;
}

bool isRegularFile(const QString& hostPath, bool followLinks)
{
    struct stat st;
    const QByteArray path = QFile::encodeName(hostPath);
    return !hostPath.isEmpty() && (followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) == 0
        && S_ISREG(st.st_mode);
}

} // namespace SafeRead
