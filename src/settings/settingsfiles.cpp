#include "settingsfiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "devicepaths.h"
#include "filelock.h"
#include "saferead.h"
#include "systemlog.h"

namespace {

QString guiConfigPath() { return DevicePaths::map(QString::fromLatin1(DevicePaths::GuiConfigFile)); }
QString wlanConfigPath() { return DevicePaths::map(QString::fromLatin1(DevicePaths::WlanConfigFile)); }

// A lock granted on a file that another writer renamed a new file over meanwhile guards
// nothing any more; the file at the path is locked instead, a few times at most.
constexpr int MaxReplacedWhileWaiting = 5;

bool syncDirectory(const QString& hostPath)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(hostPath).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The tool's group, which its services that do not run as root share; -1 when unknown.
gid_t toolGroup()
{
    static const gid_t gid = [] {
        struct group entry;
        struct group* found = nullptr;
        char buffer[4096];
        if (::getgrnam_r(NG_TOOL_GROUP, &entry, buffer, sizeof buffer, &found) != 0 || !found)
            return gid_t(-1);
        return found->gr_gid;
    }();
    return gid;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Creates the new file at tmpPath, readable by the owner and the tool's group only; -1 when
// that fails. A leftover of a save cut short is removed first (a link in its place is
// removed, not followed).
int createTemporary(const QByteArray& tmpPath, const struct stat* old)
{
    ::unlink(tmpPath.constData());
    int fd;
    do {
        fd = ::open(tmpPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0640);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    // Root keeps the old file's owner; a process that may not give files away keeps the
    // file its own, in the tool's group when it belongs to it.
    const gid_t group = toolGroup() != gid_t(-1) ? toolGroup() : old ? old->st_gid : gid_t(-1);
    if (::fchown(fd, old ? old->st_uid : uid_t(-1), group) != 0)
        (void)!::fchown(fd, uid_t(-1), group);
    if (::fchmod(fd, 0640) != 0) {
        ::close(fd);
        ::unlink(tmpPath.constData());
        return -1;
    }
    return fd;
}

// Writes and syncs the whole content; the file is removed when that fails.
bool fillTemporary(int fd, const QByteArray& tmpPath, const QByteArray& bytes)
{
    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(tmpPath.constData());
        return false;
    }
    return true;
}

void saveOrKeepPending(const QString& hostPath, const QString& text, bool& pending, int lockWaitMs)
{
    const SettingsFiles::SaveResult result = SettingsFiles::save(hostPath, text, lockWaitMs);
    if (result == SettingsFiles::Busy && !pending)
        SystemLog::warning(QLatin1String("Config file locked by another process, saving later: ") + hostPath);
    pending = result == SettingsFiles::Busy;
}

void loadSettings(const QString& hostPath, QString& text, const char* missingMessage)
{
    bool opened = false;
    QString read;
    if (SettingsFiles::readText(hostPath, read, &opened))
        text = read;
    else if (!opened)
        SystemLog::warning(QString::fromLatin1(missingMessage));
}

} // namespace

void SettingsFiles::setCfg(const QString& text)
{
    m_cfg = text;
    saveOrKeepPending(guiConfigPath(), text, m_cfgPending, SaveLockWaitMs);
}

void SettingsFiles::setWlan(const QString& text)
{
    m_wlan = text;
    saveOrKeepPending(wlanConfigPath(), text, m_wlanPending, SaveLockWaitMs);
}

bool SettingsFiles::savePending()
{
    if (m_cfgPending)
        saveOrKeepPending(guiConfigPath(), m_cfg, m_cfgPending, 0);
    if (m_wlanPending)
        saveOrKeepPending(wlanConfigPath(), m_wlan, m_wlanPending, 0);
    return hasPendingSave();
}

void SettingsFiles::loadCfg()
{
    if (!m_cfgPending)
        loadSettings(guiConfigPath(), m_cfg, "Configuration not found");
}

void SettingsFiles::loadWlan()
{
    if (!m_wlanPending)
        loadSettings(wlanConfigPath(), m_wlan, "Wlan config not found");
}

bool SettingsFiles::readText(const QString& hostPath, QString& out, bool* opened)
{
    QByteArray bytes;
    const SafeRead::Status status = SafeRead::read(hostPath, bytes);
    if (opened)
        *opened = status == SafeRead::Ok || status == SafeRead::LockRefused;
    if (status != SafeRead::Ok)
        return false;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    out = QString::fromUtf8(bytes);
    return true;
}

SettingsFiles::SaveResult SettingsFiles::save(const QString& hostPath, const QString& text, int lockWaitMs)
{
    // The file at the path is write-locked while it is replaced: peers that lock it before
    // reading or writing wait for the replacement, and one that already holds its lock keeps
    // reading the whole old content. Opening for appending never truncates it.
    const QByteArray path = QFile::encodeName(hostPath);
    QFile current;
    struct stat old;
    bool exists = false;
    for (int attempt = 0;; ++attempt) {
        current.close();
        const SafeRead::Status status = SafeRead::openAppend(current, hostPath, false);
        if (status == SafeRead::Missing && errno == ENOENT)
            break; // nothing to lock: the new file appears whole
        if (status != SafeRead::Ok) {
            SystemLog::error(QStringLiteral("Cannot write config file"));
            return Failed;
        }
        switch (FileLock::lockWithin(current, lockWaitMs)) {
        case FileLock::Busy:
            return Busy;
        case FileLock::Refused:
            SystemLog::error(QStringLiteral("Problem writing config file"));
            return Failed;
        case FileLock::Granted:
            break;
        }
        struct stat now;
        if (::fstat(current.handle(), &old) == 0 && ::lstat(path.constData(), &now) == 0
            && old.st_dev == now.st_dev && old.st_ino == now.st_ino) {
            exists = true;
            break;
        }
        if (attempt == MaxReplacedWhileWaiting)
            return Busy;
    }

    const QByteArray tmpPath = path + ".new";
    const int fd = createTemporary(tmpPath, exists ? &old : nullptr);
    if (fd < 0) {
        SystemLog::error(QStringLiteral("Cannot write config file"));
        return Failed;
    }
    bool ok = fillTemporary(fd, tmpPath, text.toUtf8());
    if (ok && ::rename(tmpPath.constData(), path.constData()) != 0) {
        ::unlink(tmpPath.constData());
        ok = false;
    }
    ok = ok && syncDirectory(hostPath);
    // Unlocking the replaced file lets the peers waiting for it go on; they find it replaced.
    if (exists)
        FileLock::unlock(current);
    current.close();
    if (!ok) {
        SystemLog::error(QStringLiteral("Problem writing config file"));
        return Failed;
    }
    return Saved;
}

void SettingsFiles::writeQStringToFile(const QString& text, QFile& file)
{
    if (save(file.fileName(), text) == Busy)
        SystemLog::error(QStringLiteral("Problem writing config file"));
}
