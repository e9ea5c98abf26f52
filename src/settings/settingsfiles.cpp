#include "settingsfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QVariant>

#include <fcntl.h>
#include <unistd.h>


#include "devicepaths.h"
#include "filelock.h"
#include "jsonfile.h"
#include "saferead.h"
#include "systemlog.h"

namespace {

QString guiConfigPath() { return DevicePaths::map(QString::fromLatin1(DevicePaths::GuiConfigFile)); }
QString wlanConfigPath() { return DevicePaths::map(QString::fromLatin1(DevicePaths::WlanConfigFile)); }

void store(const QString& hostPath, const QString& text)
{
    QFile file(hostPath);
    SettingsFiles::writeQStringToFile(text, file);
}

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

// The whole new content, on disk, beside the file before the file is truncated.
bool writeBackup(const QString& hostPath, const QByteArray& bytes)
{
    const QString path = SettingsFiles::backupPath(hostPath);
    QFile file;
    if (SafeRead::openAppend(file, path) != SafeRead::Ok)
        return false;
    bool ok = file.resize(0) && file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    return ok && syncDirectory(path);
}

// Reads a settings file; when it is there but empty or not JSON (a save cut short), the
// content comes from the backup of the last save, which is written back to the file.
void loadSettings(const QString& hostPath, QString& text, const char* missingMessage)
{
    bool opened = false;
    QString read;
    if (!SettingsFiles::readText(hostPath, read, &opened)) {
        if (!opened)
            SystemLog::warning(QString::fromLatin1(missingMessage));
        return;
    }
    QVariant parsed;
    if (!read.trimmed().isEmpty() && JsonFile::parseBytes(parsed, read.toUtf8())) {
        text = read;
        return;
    }
    QString saved;
    if (SettingsFiles::readText(SettingsFiles::backupPath(hostPath), saved)
        && JsonFile::parseBytes(parsed, saved.toUtf8())) {
        SystemLog::warning(QLatin1String("Restoring an interrupted save of ") + hostPath);
        store(hostPath, saved);
        text = saved;
        return;
    }
    text = read;
}

} // namespace

void SettingsFiles::setCfg(const QString& text)
{
    m_cfg = text;
    store(guiConfigPath(), text);
}

void SettingsFiles::setWlan(const QString& text)
{
    m_wlan = text;
    store(wlanConfigPath(), text);
}

void SettingsFiles::loadCfg()
{
    loadSettings(guiConfigPath(), m_cfg, "Configuration not found");
}

void SettingsFiles::loadWlan()
{
    loadSettings(wlanConfigPath(), m_wlan, "Wlan config not found");
}

QString SettingsFiles::backupPath(const QString& hostPath)
{
    return hostPath + QLatin1String(".bak");
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

void SettingsFiles::writeQStringToFile(const QString& text, QFile& file)
{
    // Opening for appending creates a missing file and never truncates it: the truncation
    // happens only under the write lock, so readers holding the read lock never see an
    // empty or half-written file.
    const QString hostPath = file.fileName();
    if (SafeRead::openAppend(file, hostPath) != SafeRead::Ok) {
        SystemLog::error(QStringLiteral("Cannot write config file"));
        return;
    }
    const QByteArray bytes = text.toUtf8();
    // The file is rewritten in place (peers lock the file itself, a rename would leave
    // them on the old one), so a crash between truncation and the end of the write would
    // leave it empty or partial. The backup holds the new content by then; loadCfg and
    // loadWlan restore from it. Without a backup the file is left as it is.
    if (!writeBackup(hostPath, bytes)) {
        SystemLog::error(QStringLiteral("Problem writing config file"));
        file.close();
        return;
    }
    const qint64 written = FileLock::replaceContent(file, bytes);
    if (written < bytes.size())
        SystemLog::error(QStringLiteral("Problem writing config file"));
    file.close();
}
