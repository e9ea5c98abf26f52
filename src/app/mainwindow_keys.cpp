// Tool keys and PLC table, WLAN restart, date, time and power, and the information values:
// members of the host window.
#include "mainwindow.h"

#include <QDateTime>

#include "devicepaths.h"
#include "fwversion.h"
#include "infovalues.h"
#include "plctable.h"
#include "restartwlanthread.h"
#include "toolservices.h"

namespace {

QString plcDir()
{
    return DevicePaths::map(QString::fromLatin1(DevicePaths::PlcTable));
}

QString diagFile(const char* name)
{
    return DevicePaths::runtimeRoot() + QStringLiteral("diag/") + QLatin1String(name);
}

} // namespace

// ---- tool keys and PLC table

QVariantMap MainWindow::getMappedBmsBits()
{
    return PlcTable::keyTexts(plcDir());
}

void MainWindow::sendBmsBitSignal(int id, int val)
{
    ToolServices::post(ToolServices::Bms, QStringLiteral("fguiplcupdate"), { id, val });
    if (val != 0)
        return;
    const QString text = PlcTable::textOfBit(getMappedBmsBits(), id);
    if (!text.isEmpty())
        logActivity(111, text, QString(), QString(), QString());
}

bool MainWindow::getToolBmsActiveState()
{
    return PlcTable::moduleActive(plcDir());
}

bool MainWindow::getToolBmsAllPrgAvailable()
{
    return PlcTable::allProgramsAvailable(plcDir());
}

// ---- WLAN restart

void MainWindow::restartwlan()
{
    auto* thread = new RestartWlanThread(this, m_wlanRestartLimitMs);
    connect(thread, &QThread::finished, this, &MainWindow::restartwlanEnd);
    thread->start(QThread::InheritPriority);
}

void MainWindow::restartwlanEnd()
{
    int code = 6;
    if (auto* thread = qobject_cast<RestartWlanThread*>(sender())) {
        code = thread->exitCode();
        thread->deleteLater();
    }
    callRoot("setWlanRestarted", { false });
    if (code == 0)
        callRoot("restartWlanProcessSuccess");
    else if (code == 1)
        callRoot("restartWlanProcessFailed", { 1 });
    else
        callRoot("restartWlanProcessFailedUnspecific", { code });
}

// ---- date, time and power

void MainWindow::reboot()
{
    m_power.reboot();
}

void MainWindow::poweroff()
{
    m_power.poweroff();
}

void MainWindow::setDateTime(QString datetime)
{
    m_power.setClock(datetime);
    logActivity(501, QString(), QString(), QString(), QString());
}

QString MainWindow::getDatetime()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

// ---- information values

QVariantMap MainWindow::getInfoValues()
{
    QVariantMap values;
    values.insert(QStringLiteral("time"), getDatetime());
    values.insert(QStringLiteral("ip"), getIpAddress());
    values.insert(QStringLiteral("lanip"), getLanIpAddress());
    values.insert(QStringLiteral("version"), getVersion());
    values.insert(QStringLiteral("temperature"), getTemperature());
    values.insert(QStringLiteral("code"), getCode());
    values.insert(QStringLiteral("avgloadtorque"), getAvgLoadTorque());
    return values;
}

QString MainWindow::getIpAddress()
{
    return InfoValues::ipv4Address(QString::fromLatin1(InfoValues::WlanInterface));
}

QString MainWindow::getLanIpAddress()
{
    return InfoValues::ipv4Address(QString::fromLatin1(InfoValues::LanInterface));
}

QString MainWindow::getVersion()
{
    return m_info.version(DevicePaths::map(QString::fromLatin1(DevicePaths::VersionFile)));
}

QString MainWindow::getEtcVersion()
{
    return InfoValues::firstLineTrimmed(DevicePaths::map(QString::fromLatin1(DevicePaths::VersionFile)));
}

QString MainWindow::getCode()
{
    return InfoValues::firstLineLocked(diagFile("code"));
}

QString MainWindow::getTemperature()
{
    return InfoValues::firstLineLocked(diagFile("temperature"));
}

QString MainWindow::getAvgLoadTorque()
{
    bool ok = false;
    const double value = InfoValues::firstLineLocked(diagFile("avgload")).trimmed().toDouble(&ok);
    if (!ok)
        return QStringLiteral("-");
    return m_torqueUnits.format(value);
}
