#include "services.h"

#include "toolsim.h"

#include <QDBusConnection>
#include <QDBusError>

SysService::SysService(ToolSim* sim)
    : QObject(sim)
    , m_sim(sim)
{
}

int SysService::fbattpowerget()
{
    m_sim->logCall(QStringLiteral("fbattpowerget"));
    return m_sim->battPower();
}

int SysService::frdyget(int& soll)
{
    m_sim->logCall(QStringLiteral("frdyget"));
    int ist = 0;
    m_sim->readyWord(&ist, &soll);
    return ist;
}

int SysService::ftoolenableget()
{
    m_sim->logCall(QStringLiteral("ftoolenableget"));
    return m_sim->toolEnable();
}

void SysService::frdyflagset(int flag)
{
    m_sim->logCall(QStringLiteral("frdyflagset"), { flag });
    QString error;
    if (!m_sim->changeReadyFlag(flag, true, &error))
        sendErrorReply(QDBusError::InvalidArgs, error);
}

void SysService::frdyflagreset(int flag)
{
    m_sim->logCall(QStringLiteral("frdyflagreset"), { flag });
    QString error;
    if (!m_sim->changeReadyFlag(flag, false, &error))
        sendErrorReply(QDBusError::InvalidArgs, error);
}

void SysService::fsetoperationmode(int mode, int trgSrc, int trgVal)
{
    m_sim->logCall(QStringLiteral("fsetoperationmode"), { mode, trgSrc, trgVal });
    m_sim->requestOperationMode(mode, trgSrc, trgVal);
}

void SysService::fcfgfilechanged(const QString& path)
{
    m_sim->logCall(QStringLiteral("fcfgfilechanged"), { path });
    m_sim->configFileChanged(path);
}

void SysService::fackerrlist()
{
    m_sim->logCall(QStringLiteral("fackerrlist"));
    QString error;
    if (!m_sim->acknowledgeFault(&error))
        sendErrorReply(QStringLiteral("com.velmar.akku.SysInterface.Error.NoFault"), error);
}

WlanService::WlanService(ToolSim* sim)
    : QObject(sim)
    , m_sim(sim)
{
}

int WlanService::fReqGetConnectionStatus()
{
    m_sim->logCall(QStringLiteral("fReqGetConnectionStatus"));
    return m_sim->wlanConnection();
}

int WlanService::fReqGetRssiLevel()
{
    m_sim->logCall(QStringLiteral("fReqGetRssiLevel"));
    return m_sim->rssiLevel();
}

void WlanService::fReqStationInfo()
{
    // A caller that wants no reply (the information screen's refresh) gets none.
    m_sim->logCall(calledFromDBus() && !message().isReplyRequired() ? QStringLiteral("fReqStationInfo no reply") : QStringLiteral("fReqStationInfo"));
    m_sim->writeStationInfo();
}

BmsService::BmsService(ToolSim* sim)
    : QObject(sim)
    , m_sim(sim)
{
}

void BmsService::fguiplcupdate(int bit, int value)
{
    m_sim->logCall(QStringLiteral("fguiplcupdate"), { bit, value });
    m_sim->plcUpdate(bit, value);
}

ControlService::ControlService(ToolSim* sim)
    : QObject(sim)
    , m_sim(sim)
{
}

QString ControlService::Run(const QStringList& args)
{
    // Some commands complete later (GUI answers, waits); the reply is sent when they do.
    setDelayedReply(true);
    const QDBusMessage request = message();
    QDBusConnection bus = connection();
    m_sim->runCommand(args, [request, bus](bool ok, const QString& text) mutable {
        if (ok)
            bus.send(request.createReply(text));
        else
            bus.send(request.createErrorReply(QStringLiteral("com.velmar.akku.ToolSim.Error"), text));
    });
    return QString();
}

QStringList ControlService::Calls()
{
    return m_sim->calls();
}

void ControlService::ClearCalls()
{
    m_sim->clearCalls();
}
