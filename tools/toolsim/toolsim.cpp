#include "toolsim.h"

#include "devicefiles.h"
#include "devicepaths.h"
#include "resultstore.h"
#include "services.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "cmdutil.h"

using namespace ToolSimUtil;

namespace {

constexpr int GuiReadyFlag = 7;

QString argText(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return v.toString();
}

QString joinArgs(const QString& name, const QVariantList& args)
{
    QString text = name;
    for (const QVariant& v : args)
        text += QLatin1Char(' ') + argText(v);
    return text;
}

} // namespace


const QList<ToolSim::Command>& ToolSim::commands()
{
    static const QList<Command> list = {
        { "result", &ToolSim::cmdResult, false, "result ok|nok [prg=N] [name=TEXT] [torque=X] [angle=X] [time=X] [row=N] [qcode=N] [unit=N] [idcode=CODE|idcode=NULL] [lastcmd=N] [fn=CMD:ACTUAL:NOM[:SWITCHING] ...]" },
        { "idcode", &ToolSim::cmdIdcode, true, "idcode CODE [FIRST SECOND]" },
        { "battery", &ToolSim::cmdBattery, false, "battery [power=N] [status=N] [countdown=N]" },
        { "ready", &ToolSim::cmdReady, false, "ready IST SOLL" },
        { "enable", &ToolSim::cmdEnable, false, "enable N" },
        { "fault", &ToolSim::cmdFault, false, "fault CODE CLASS" },
        { "clearfaults", &ToolSim::cmdClearFaults, false, "clearfaults" },
        { "faults", &ToolSim::cmdFaults, false, "faults" },
        { "faultack", &ToolSim::cmdFaultAck, false, "faultack accept|refuse" },
        { "language", &ToolSim::cmdLanguage, false, "language CODE" },
        { "wlan", &ToolSim::cmdWlan, false, "wlan [level=DBM] [conn=N] [bssid=TEXT]" },
        { "popup", &ToolSim::cmdPopup, true, "popup HEADER TEXT [TIMER] [WAITFORACK]" },
        { "closepopup", &ToolSim::cmdClosePopup, false, "closepopup" },
        { "jobmsg", &ToolSim::cmdJobMsg, true, "jobmsg HEADER TEXT" },
        { "closejobmsg", &ToolSim::cmdCloseJobMsg, false, "closejobmsg" },
        { "prgnr", &ToolSim::cmdPrgnr, false, "prgnr N" },
        { "scanicon", &ToolSim::cmdScanIcon, false, "scanicon BUTTON" },
        { "hidescan", &ToolSim::cmdHideScan, false, "hidescan" },
        { "resetresult", &ToolSim::cmdResetResult, false, "resetresult" },
        { "testmode", &ToolSim::cmdTestMode, false, "testmode 0|1" },
        { "testtext", &ToolSim::cmdTestText, true, "testtext FIELD COLOR BGCOLOR SIZE TEXT" },
        { "testprogress", &ToolSim::cmdTestProgress, false, "testprogress N" },
        { "opmode", &ToolSim::cmdOpMode, false, "opmode MODE PRGALLOW JOBALLOW" },
        { "opmodeentry", &ToolSim::cmdOpModeEntry, true, "opmodeentry NAME ACTIVE" },
        { "nokack", &ToolSim::cmdNokAck, false, "nokack PRG" },
        { "nokresult", &ToolSim::cmdNokResult, false, "nokresult [result options]" },
        { "readyflags", &ToolSim::cmdReadyFlags, false, "readyflags" },
        { "restart", &ToolSim::cmdRestart, false, "restart sys|wlan" },
        { "resconn", &ToolSim::cmdResConn, true, "resconn SERVICE STATE" },
        { "resdiag", &ToolSim::cmdResDiag, false, "resdiag SERVICE [KEY=VALUE ...]" },
        { "pruefsoftware", &ToolSim::cmdPruefSoftware, false, "pruefsoftware 0|1" },
        { "fcc", &ToolSim::cmdFcc, false, "fcc 0|1" },
        { "getfcc", &ToolSim::cmdGetFcc, false, "getfcc" },
        { "nice", &ToolSim::cmdNice, false, "nice N" },
        { "program", &ToolSim::cmdProgram, false, "program N [name=TEXT] [unit=N] [torque=X]" },
        { "delprogram", &ToolSim::cmdDelProgram, false, "delprogram N" },
        { "job", &ToolSim::cmdJob, false, "job N [name=TEXT]" },
        { "deljob", &ToolSim::cmdDelJob, false, "deljob N" },
        { "chancfg", &ToolSim::cmdChanCfg, false, "chancfg [active=ID]" },
        { "cfgchanged", &ToolSim::cmdCfgChanged, true, "cfgchanged DEVICEPATH" },
        { "keyswitch", &ToolSim::cmdKeySwitch, false, "keyswitch 0|1|2|3|short|missing" },
        { "plctab", &ToolSim::cmdPlcTab, false, "plctab L M R (input names, - for none) | missing | empty | binary" },
        { "wlanrestart", &ToolSim::cmdWlanRestart, false, "wlanrestart ok|busy|killed|EXITCODE" },
        { "key", &ToolSim::cmdKey, false, "key [press|release] A|Left|Right" },
        { "keys", &ToolSim::cmdKeys, false, "keys KEY[*N] ... (one every 200 ms)" },
        { "diag", &ToolSim::cmdDiag, true, "diag NAME VALUE" },
        { "rmdiag", &ToolSim::cmdRmDiag, true, "rmdiag NAME" },
        { "card", &ToolSim::cmdCard, false, "card in|out|unmounted|nopartition" },
        { "exchangefail", &ToolSim::cmdExchangeFail, true, "exchangefail export|import REASON...|off" },
        { "exchangelog", &ToolSim::cmdExchangeLog, false, "exchangelog" },
        { "sleep", &ToolSim::cmdSleep, false, "sleep MS" },
        { "echo", &ToolSim::cmdEcho, true, "echo TEXT" },
        { "waitgui", &ToolSim::cmdWaitGui, false, "waitgui [MS]" },
        { "play", &ToolSim::cmdPlay, true, "play SCENARIOFILE" },
        { "calls", &ToolSim::cmdCalls, false, "calls" },
        { "clearcalls", &ToolSim::cmdClearCalls, false, "clearcalls" },
        { "help", &ToolSim::cmdHelp, false, "help" },
    };
    return list;
}

ToolSim::ToolSim(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
}

ToolSim::~ToolSim() = default;

void ToolSim::say(const QString& line)
{
    const QByteArray text = line.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

void ToolSim::logCall(const QString& method, const QVariantList& args)
{
    const QString text = joinArgs(method, args);
    m_calls << text;
    say(QStringLiteral("<- ") + text);
}

void ToolSim::traceSignal(const QString& text)
{
    say(QStringLiteral("-> ") + text);
}

void ToolSim::loadState()
{
    using namespace DeviceFiles;
    m_battPower = readDiagInt(QStringLiteral("battery/power"), m_battPower);
    m_battStatus = readDiagInt(QStringLiteral("battery/status"), m_battStatus);
    m_enable = readDiagInt(QStringLiteral("enable"), m_enable);
    m_prgnr = readDiagInt(QStringLiteral("prgnr"), -88);
    m_idcode = readDiag(QStringLiteral("idcode"));
    m_opMode = readDiagInt(QStringLiteral("operationmode"), 0);
    m_prgAllow = readDiagInt(QStringLiteral("gui/prgselection"), m_prgAllow);
    m_jobAllow = readDiagInt(QStringLiteral("gui/jobselection"), m_jobAllow);
    m_cycle = readDiagInt(QStringLiteral("cycle"), 0);
    const int word = readDiagInt(QStringLiteral("sysfault"), 0);
    m_faults.clear();
    if (word > 0)
        m_faults.append({ word >> 3, word & 7 });

    const QJsonObject units = readJsonObject(QLatin1String(DevicePaths::ChanCfgFile)).value(QLatin1String("EinheitDrehmoment")).toObject();
    if (units.contains(QLatin1String("Aktiv")))
        m_activeUnit = units.value(QLatin1String("Aktiv")).toInt();

    const QString station = QString::fromUtf8(readShared(QLatin1String(DevicePaths::StationInfoFile)));
    for (const QString& line : station.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.left(colon).trimmed() == QLatin1String("BSSID"))
            m_bssid = line.mid(colon + 1).trimmed();
    }

    // Everything is ready except the GUI, which reports itself when it is up.
    m_ist = m_soll & ~(1 << GuiReadyFlag);
}

bool ToolSim::start(QString* error)
{
    loadState();

    m_sys = new SysService(this);
    m_wlan = new WlanService(this);
    m_bms = new BmsService(this);
    m_res = new ResService(this);
    m_control = new ControlService(this);

    const auto contents = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals;
    const struct
    {
        const char* service;
        const char* path;
        QObject* object;
    } services[] = {
        { "com.velmar.akku.SysService", "/SysObj", m_sys },
        { "com.velmar.akku.WlanService", "/WlanObj", m_wlan },
        { "com.velmar.akku.BmsService", "/BmsObj", m_bms },
        { "com.velmar.akku.ResService", "/ResObj", m_res },
        { "com.velmar.akku.ToolSim", "/ToolSim", m_control },
    };
    for (const auto& s : services) {
        if (!m_bus.registerObject(QLatin1String(s.path), s.object, contents)) {
            *error = QStringLiteral("cannot register object %1").arg(QLatin1String(s.path));
            return false;
        }
    }
    for (const auto& s : services) {
        if (!m_bus.registerService(QLatin1String(s.service))) {
            *error = QStringLiteral("cannot own %1: %2").arg(QLatin1String(s.service), m_bus.lastError().message());
            return false;
        }
    }
    say(QStringLiteral("   program %1, battery %2 % status %3, enable %4, ready 0x%5 of 0x%6, fault word %7")
            .arg(m_prgnr)
            .arg(m_battPower)
            .arg(m_battStatus)
            .arg(m_enable)
            .arg(m_ist, 0, 16)
            .arg(m_soll, 0, 16)
            .arg(m_faults.isEmpty() ? 0 : m_faults.last().first * 8 + m_faults.last().second));
    return true;
}

// ---- the services' behaviour

int ToolSim::battPower()
{
    return m_battPower;
}

void ToolSim::readyWord(int* ist, int* soll)
{
    *ist = m_ist;
    *soll = m_soll;
}

int ToolSim::toolEnable()
{
    return m_enable;
}

void ToolSim::emitReadyChanged()
{
    traceSignal(QStringLiteral("rdychanged %1 %2").arg(m_ist).arg(m_soll));
    Q_EMIT m_sys->rdychanged(m_ist, m_soll);
}

bool ToolSim::changeReadyFlag(int flag, bool set, QString* error)
{
    if (flag < 0 || flag > 30) {
        *error = QStringLiteral("no ready flag %1").arg(flag);
        return false;
    }
    if (set)
        m_ist |= 1 << flag;
    else
        m_ist &= ~(1 << flag);
    // The answer follows the reply.
    QTimer::singleShot(0, this, &ToolSim::emitReadyChanged);
    return true;
}

void ToolSim::requestOperationMode(int mode, int trgSrc, int trgVal)
{
    Q_UNUSED(trgSrc)
    // The operation-mode screen asks with mode 2: trigger value 1 switches to manual
    // operation, 0 back to automatic.
    const int newMode = mode == 2 ? (trgVal != 0 ? 2 : 0) : mode;
    m_opMode = newMode;
    DeviceFiles::writeDiag(QStringLiteral("operationmode"), QString::number(newMode));
    // The GUI is blocked until it has our reply; confirm afterwards.
    QTimer::singleShot(0, this, [this, newMode] {
        callGui(QStringLiteral("fsetoperationmode"), { newMode, m_prgAllow, m_jobAllow });
    });
}

void ToolSim::configFileChanged(const QString& path)
{
    if (!path.contains(QLatin1String("wlan.json")))
        return;
    // The WLAN service applies the interface switch a moment later, and the system service
    // announces the changed file to every process, its writer included.
    QTimer::singleShot(300, this, [this, path] {
        const QJsonObject wlan = readJsonObject(path);
        if (!wlan.contains(QLatin1String("interface")))
            return;
        const bool on = wlan.value(QLatin1String("interface")).toBool();
        DeviceFiles::writeDiag(QStringLiteral("tiwlan/interface"), on ? QStringLiteral("true") : QStringLiteral("false"));
        say(QStringLiteral("   WLAN interface %1").arg(on ? QStringLiteral("on") : QStringLiteral("off")));
        announce(path);
    });
}

bool ToolSim::acknowledgeFault(QString* error)
{
    if (m_refuseAck) {
        *error = QStringLiteral("acknowledgement refused");
        return false;
    }
    if (m_faults.isEmpty()) {
        *error = QStringLiteral("no fault pending");
        return false;
    }
    const int quitted = m_faults.takeLast().first;
    const int next = m_faults.isEmpty() ? 0 : m_faults.last().first * 8 + m_faults.last().second;
    DeviceFiles::writeDiag(QStringLiteral("sysfault"), QString::number(next));
    QTimer::singleShot(0, this, [this, quitted, next] {
        traceSignal(QStringLiteral("acksysfault %1 %2").arg(quitted).arg(next));
        Q_EMIT m_sys->acksysfault(quitted, next);
    });
    return true;
}

int ToolSim::wlanConnection()
{
    return m_wlanConn;
}

int ToolSim::rssiLevel()
{
    return m_rssi;
}

void ToolSim::writeStationInfo()
{
    const QJsonArray connections = readJsonObject(QLatin1String(DevicePaths::WlanConfigFile)).value(QLatin1String("connections")).toArray();
    const QString ssid = connections.isEmpty() ? QString() : connections.first().toObject().value(QLatin1String("wlan")).toObject().value(QLatin1String("ssid")).toString();
    const bool connected = m_wlanConn == 3;
    QString text;
    text += QStringLiteral("Interface  : tiwlan0\n");
    text += QStringLiteral("State      : %1\n").arg(connected ? QStringLiteral("connected") : QStringLiteral("disconnected"));
    if (connected) {
        text += QStringLiteral("SSID       : %1\n").arg(ssid);
        text += QStringLiteral("BSSID      : %1\n").arg(m_bssid);
        text += QStringLiteral("Channel    : 6\n");
        text += QStringLiteral("RSSI       : %1 dBm\n").arg(m_rssi);
    }
    DeviceFiles::writeShared(QLatin1String(DevicePaths::StationInfoFile), text.toUtf8());
}

void ToolSim::plcUpdate(int bit, int value)
{
    if (bit >= 0 && bit < 31) {
        if (value)
            m_plcBits |= 1 << bit;
        else
            m_plcBits &= ~(1 << bit);
    }
    say(QStringLiteral("   key bits 0x%1").arg(m_plcBits, 0, 16));
}

// ---- GUI calls

void ToolSim::callGui(const QString& method, const QVariantList& args,
                      const std::function<void(const QDBusMessage&)>& onReply)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(GuiService), QLatin1String(GuiPath),
                                                       QLatin1String(GuiInterface), method);
    call.setArguments(args);
    say(QStringLiteral("-> GUI ") + joinArgs(method, args));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [method, onReply](QDBusPendingCallWatcher* w) {
        const QDBusMessage reply = w->reply();
        if (reply.type() == QDBusMessage::ErrorMessage)
            say(QStringLiteral("   GUI %1 failed: %2").arg(method, reply.errorMessage()));
        if (onReply)
            onReply(reply);
        w->deleteLater();
    });
}

void ToolSim::sendToGui(const QString& method, const QVariantList& args, const Done& done)
{
    if (!m_bus.interface()->isServiceRegistered(QLatin1String(GuiService))) {
        done(false, QStringLiteral("%1 is not on the bus").arg(QLatin1String(GuiService)));
        return;
    }
    callGui(method, args);
    done(true, QStringLiteral("sent ") + method);
}

void ToolSim::announce(const QString& devicePath)
{
    traceSignal(QStringLiteral("cfgfilechanged ") + devicePath);
    Q_EMIT m_sys->cfgfilechanged(devicePath);
}

QString ToolSim::programName(int prg) const
{
    static const QRegularExpression nameLine(QStringLiteral("^\\s*prg.Name\\s*=\\s*\"(.*)\""));
    const QString text = QString::fromUtf8(DeviceFiles::readShared(programPath(prg)));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = nameLine.match(line);
        if (m.hasMatch())
            return m.captured(1);
    }
    return QString();
}

// ---- commands

void ToolSim::runCommand(const QStringList& words, const Done& done)
{
    if (words.isEmpty()) {
        done(false, QStringLiteral("no command"));
        return;
    }
    const QString name = words.first();
    for (const Command& c : commands()) {
        if (name != QLatin1String(c.name))
            continue;
        Args a;
        if (c.rawWords)
            a.positional = words.mid(1);
        else
            a = CommandLine::parse(words.mid(1));
        QString error;
        if (!(this->*c.handler)(a, done, &error))
            done(false, error);
        return;
    }
    done(false, QStringLiteral("unknown command %1 (try help)").arg(name));
}













































// ---- scenarios


