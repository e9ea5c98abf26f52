// Settings files and WLAN status members of the host window.
#include "mainwindow.h"

#include <QFile>
#include <QMutexLocker>
#include <QTimer>

#include "devicepaths.h"
#include "filelock.h"
#include "jsonfile.h"
#include "systemlog.h"
#include "toolservices.h"
#include "wlanstatus.h"

// ---- settings files

QString MainWindow::cfg() const
{
    return m_settings.cfg();
}

void MainWindow::setCfg(const QString& text)
{
    m_settings.setCfg(text);
    retryPendingSaves();
}

QString MainWindow::wlan() const
{
    return m_settings.wlan();
}

void MainWindow::setWlan(const QString& text)
{
    m_settings.setWlan(text);
    retryPendingSaves();
}

// A settings file that another process keeps locked is saved again every second, without
// waiting, until the lock is gone; the operator learns once that the change is kept.
void MainWindow::retryPendingSaves()
{
    if (!m_settings.hasPendingSave() || (m_saveRetry && m_saveRetry->isActive()))
        return;
    if (!m_saveRetry) {
        m_saveRetry = new QTimer(this);
        m_saveRetry->setInterval(1000);
        connect(m_saveRetry, &QTimer::timeout, this, [this] {
            if (!m_settings.savePending())
                m_saveRetry->stop();
        });
    }
    m_saveRetry->start();
    // the popup translates its texts like every popup text a peer sends
    callRoot("popupString", { QString::fromUtf8(QT_TR_NOOP("Settings")),
                              QString::fromUtf8(QT_TR_NOOP("The settings file is in use. Your change is kept and saved as soon as it is free; nothing was lost.")),
                              5, 0, QString(), QString() });
}

void MainWindow::loadCfg()
{
    m_settings.loadCfg();
    QVariant parsed;
    const QString text = m_settings.cfg();
    if (!text.trimmed().isEmpty() && !(JsonFile::parseBytes(parsed, text.toUtf8()) && parsed.typeId() == QMetaType::QVariantMap))
        SystemLog::warning(QStringLiteral("Configuration %1 is not a JSON object; the defaults are used")
                               .arg(QLatin1String(DevicePaths::GuiConfigFile)));
}

void MainWindow::loadWlan()
{
    m_settings.loadWlan();
}

void MainWindow::guiCfgFileChanged()
{
    cfgFileChanged(QString::fromLatin1(DevicePaths::GuiConfigFile));
}

void MainWindow::wlanCfgFileChanged()
{
    cfgFileChanged(QString::fromLatin1(DevicePaths::WlanConfigFile));
}

void MainWindow::cfgFileChanged(QString filename)
{
    ToolServices::post(ToolServices::System, QStringLiteral("fcfgfilechanged"), { filename });
}

bool MainWindow::lockFile(const QFile& file)
{
    return FileLock::lock(file);
}

bool MainWindow::unlockFile(const QFile& file)
{
    return FileLock::unlock(file);
}

void MainWindow::writeQStringToFile(const QString& text, QFile& file)
{
    SettingsFiles::writeQStringToFile(text, file);
}

bool MainWindow::parseJson(QVariant& out, const QString& path)
{
    return JsonFile::parse(out, DevicePaths::map(path));
}

bool MainWindow::boolValue(QVariant value)
{
    return JsonFile::boolValue(value);
}

void MainWindow::newConfig(QString cfg)
{
    if (cfg.size() > InputLimits::MaxPath)
        return;
    QMutexLocker locker(&m_stateMutex);
    if (cfg.contains(QLatin1String("guiconfig.json"))) {
        loadCfg();
        callRoot("loadCfg");
    } else if (cfg.contains(QLatin1String("wlan.json"))) {
        setWlanConnectionActiveFlag();
        loadFccTestMode();
        loadWlan();
        reloadInfo();
        reloadWlan();
    } else if (cfg.contains(QLatin1String("ChanCfg.json"))) {
        readTorqueFactors();
    } else if (cfg.contains(QLatin1String("srbprg/prg"))) {
        QStringList parts = cfg.split(QLatin1Char('/'), Qt::KeepEmptyParts);
        if (!parts.isEmpty())
            syncPrgMapEntry(parts.last());
    } else if (cfg.contains(QLatin1String(DevicePaths::PrgImporterMarker))) {
        reloadPrgsInSteps();
    } else if (cfg.contains(QLatin1String("job"))) {
        // One changed job file is read alone; any other path reads them all.
        const int job = JobCatalogue::numberOfFile(cfg);
        if (job >= 0)
            m_jobs.reload(job);
        else
            loadJobs();
        callRoot("updateJobView");
    }
    if (cfg.contains(QLatin1String("masterjob")))
        checkAllowedModes();
}

// ---- WLAN status

QString MainWindow::getSSID()
{
    return WlanStatus::ssid(DevicePaths::map(QString::fromLatin1(DevicePaths::WlanConfigFile)));
}

QString MainWindow::getBSSID()
{
    // Makes the WLAN service rewrite the station information file. The start-up's two
    // requests went out with the subscriptions; later ones wait here, but not on a service
    // that let one run out (the file is read as it is then).
    if (m_stationInfoTaken < 2) {
        if (ToolServices::timedOut(m_stationInfoQueries[m_stationInfoTaken++].take()))
            m_stationInfo.markSlow();
    } else {
        m_stationInfo.request();
    }
    return readBSSID();
}

void MainWindow::requestStationInfo()
{
    ToolServices::notify(ToolServices::Wlan, QStringLiteral("fReqStationInfo"));
}

QString MainWindow::readBSSID()
{
    return WlanStatus::bssid(DevicePaths::map(QString::fromLatin1(DevicePaths::StationInfoFile)));
}

bool MainWindow::isWlanActive()
{
    return WlanStatus::interfaceActive(DevicePaths::map(QString::fromLatin1(DevicePaths::WlanConfigFile)));
}

QVariant MainWindow::loadWlanActivation()
{
    return QVariant(JsonFile::boolValue(getDiagProp(QStringLiteral("tiwlan/interface"), QStringLiteral("false"))));
}

void MainWindow::setWlanConnectionActiveFlag()
{
    callRoot("wlanInterface", { loadWlanActivation() });
}

void MainWindow::loadFccTestMode()
{
    const bool fcc = JsonFile::boolValue(getDiagProp(QStringLiteral("tiwlan/fccmode"), QStringLiteral("false")));
    m_fccTestMode = fcc;
    setFccTestMode(fcc);
}

void MainWindow::reloadWlan()
{
    callRoot("reloadWlan");
}

void MainWindow::reloadInfo()
{
    callRoot("reloadInfo");
}

void MainWindow::wlanLevelChanged(int level)
{
    QMutexLocker locker(&m_stateMutex);
    callRoot("infoRssiLevel", { level });
    callRoot("wifiSignal", { WlanStatus::signalBars(level) });
}

void MainWindow::wlanConnectionChanged(int state)
{
    QMutexLocker locker(&m_stateMutex);
    callRoot("wifiConn", { state });
}
