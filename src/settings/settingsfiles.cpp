#include "settingsfiles.h"

#include <QFile>


#include "devicepaths.h"
#include "filelock.h"
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
    bool opened = false;
    readText(guiConfigPath(), m_cfg, &opened);
    if (!opened)
        SystemLog::warning(QStringLiteral("Configuration not found"));
}

void SettingsFiles::loadWlan()
{
    bool opened = false;
    readText(wlanConfigPath(), m_wlan, &opened);
    if (!opened)
        SystemLog::warning(QStringLiteral("Wlan config not found"));
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
    if (SafeRead::openAppend(file, file.fileName()) != SafeRead::Ok) {
        SystemLog::error(QStringLiteral("Cannot write config file"));
        return;
    }
    const QByteArray bytes = text.toUtf8();
    const qint64 written = FileLock::replaceContent(file, bytes);
    if (written < bytes.size())
        SystemLog::error(QStringLiteral("Problem writing config file"));
    file.close();
}
