#include "toolsim.h"

#include "devicefiles.h"
#include "devicepaths.h"
#include "resultstore.h"
#include "services.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <memory>

using CommandLine::Args;
using CommandLine::toDouble;
using CommandLine::toInt;

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

bool checkOptions(const Args& a, const QStringList& allowed, QString* error)
{
    for (auto it = a.options.constBegin(); it != a.options.constEnd(); ++it) {
        if (!allowed.contains(it.key())) {
            *error = QStringLiteral("unknown option %1=").arg(it.key());
            return false;
        }
    }
    return true;
}

bool intArg(const QString& text, const char* what, int* value, QString* error)
{
    if (toInt(text, value))
        return true;
    *error = QStringLiteral("%1: not a number: %2").arg(QLatin1String(what), text);
    return false;
}

bool intOption(const Args& a, const QString& key, int* value, QString* error)
{
    if (!a.has(key))
        return true;
    return intArg(a.value(key), key.toLatin1().constData(), value, error);
}

bool doubleOption(const Args& a, const QString& key, double* value, QString* error)
{
    if (!a.has(key))
        return true;
    if (toDouble(a.value(key), value))
        return true;
    *error = QStringLiteral("%1: not a number: %2").arg(key, a.value(key));
    return false;
}

bool flagArg(const QString& text, bool* value, QString* error)
{
    if (text == QLatin1String("1") || text == QLatin1String("true")) {
        *value = true;
        return true;
    }
    if (text == QLatin1String("0") || text == QLatin1String("false")) {
        *value = false;
        return true;
    }
    *error = QStringLiteral("expected 0 or 1, got %1").arg(text);
    return false;
}

bool needArgs(const Args& a, int min, int max, const char* usage, QString* error)
{
    const int n = a.positional.size();
    if (n >= min && (max < 0 || n <= max))
        return true;
    *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
    return false;
}

// A name inside a directory of the tree: no separators, no way up.
bool plainName(const QString& name, QString* error)
{
    if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..") && name != QLatin1String(".")) {
        return true;
    }
    *error = QStringLiteral("not a plain name: %1").arg(name);
    return false;
}

// A path inside the diagnostic tree ("battery/power").
bool diagName(const QString& name, QString* error)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString& p : parts) {
        if (p.isEmpty() || p == QLatin1String("..") || p == QLatin1String(".")) {
            *error = QStringLiteral("not a name in the diagnostic tree: %1").arg(name);
            return false;
        }
    }
    return true;
}

bool lineText(const QString& text, QString* error)
{
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))) {
        *error = QStringLiteral("no quotes or line breaks allowed: %1").arg(text);
        return false;
    }
    return true;
}

QString programPath(int n)
{
    return QLatin1String(DevicePaths::ProgramDir) + QStringLiteral("prg%1.lua").arg(n);
}

QString jobPath(int n)
{
    return QLatin1String(DevicePaths::JobDir) + QStringLiteral("job%1.lua").arg(n, 3, 10, QLatin1Char('0'));
}

QJsonObject readJsonObject(const QString& devicePath)
{
    return QJsonDocument::fromJson(DeviceFiles::readShared(devicePath)).object();
}

QString programScript(const QString& name, int unit, double torque)
{
    const QDateTime now = QDateTime::currentDateTime();
    QStringList l;
    l << QStringLiteral("prg={}")
      << QStringLiteral("prg.Name = \"%1\"").arg(name)
      << QStringLiteral("prg.TorqueUnit = %1").arg(unit)
      << QStringLiteral("prg.Version = \"1\"")
      << QStringLiteral("prg.Comment = \"\"")
      << QStringLiteral("prg.Date = \"%1\"").arg(now.toString(QStringLiteral("dd.MM.yyyy")))
      << QStringLiteral("prg.Time = \"%1\"").arg(now.toString(QStringLiteral("hh:mm:ss")))
      << QStringLiteral("--Steps")
      << QStringLiteral("steps={}")
      << QStringLiteral("--steps 1")
      << QStringLiteral("steps[1] = {}")
      << QStringLiteral("steps[1].Name = \"Start\"")
      << QStringLiteral("steps[1].Type = 0")
      << QStringLiteral("steps[1].Row = 0")
      << QStringLiteral("steps[1].NIO_Next = nil")
      << QStringLiteral("steps[1].IO_Next = 2")
      << QStringLiteral("--steps 2")
      << QStringLiteral("steps[2] = {}")
      << QStringLiteral("steps[2].Name = \"Tightening\"")
      << QStringLiteral("steps[2].Type = 1")
      << QStringLiteral("steps[2].Row = 1")
      << QStringLiteral("steps[2].IO_Next = 3")
      << QStringLiteral("steps[2].NIO_Next = 3")
      << QStringLiteral("steps[2].TF_UpperTorque = %1").arg(torque)
      << QStringLiteral("steps[2].MonTorqueMin = %1").arg(torque * 0.9)
      << QStringLiteral("steps[2].MonTorqueMax = %1").arg(torque * 1.1)
      << QStringLiteral("steps[2].Speed = 300")
      << QStringLiteral("--steps 3")
      << QStringLiteral("steps[3] = {}")
      << QStringLiteral("steps[3].Name = \"End\"")
      << QStringLiteral("steps[3].Type = 2")
      << QStringLiteral("steps[3].Row = 2")
      << QStringLiteral("steps[3].IO_Next = nil")
      << QStringLiteral("steps[3].NIO_Next = nil");
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString connectionStateText(int state)
{
    switch (state) {
    case -1: return QStringLiteral("disabled");
    case 0: return QStringLiteral("not connected");
    case 1: return QStringLiteral("connected");
    default: return QString::number(state);
    }
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
        { "diag", &ToolSim::cmdDiag, true, "diag NAME VALUE" },
        { "rmdiag", &ToolSim::cmdRmDiag, true, "rmdiag NAME" },
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
    // The WLAN service applies the interface switch a moment later.
    QTimer::singleShot(300, this, [this, path] {
        const QJsonObject wlan = readJsonObject(path);
        if (!wlan.contains(QLatin1String("interface")))
            return;
        const bool on = wlan.value(QLatin1String("interface")).toBool();
        DeviceFiles::writeDiag(QStringLiteral("tiwlan/interface"), on ? QStringLiteral("true") : QStringLiteral("false"));
        say(QStringLiteral("   WLAN interface %1").arg(on ? QStringLiteral("on") : QStringLiteral("off")));
    });
}

bool ToolSim::acknowledgeFault(QString* error)
{
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

bool ToolSim::cmdResult(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "result ok|nok [key=value ...]", error)
        || !checkOptions(a, { QStringLiteral("prg"), QStringLiteral("name"), QStringLiteral("torque"), QStringLiteral("angle"),
                              QStringLiteral("time"), QStringLiteral("row"), QStringLiteral("qcode"), QStringLiteral("unit"),
                              QStringLiteral("idcode"), QStringLiteral("lastcmd"), QStringLiteral("fn") },
                         error))
        return false;
    const QString status = a.positional.first();
    if (status != QLatin1String("ok") && status != QLatin1String("nok")) {
        *error = QStringLiteral("result: ok or nok, not %1").arg(status);
        return false;
    }
    const bool ok = status == QLatin1String("ok");
    ResultStore::Tightening t;
    t.result = ok ? 1 : -1;
    t.prgNr = m_prgnr >= 0 ? m_prgnr : 0;
    t.torque = ok ? 12.5 : 8.2;
    t.angle = ok ? 90.0 : 45.3;
    t.time = ok ? 0.8 : 0.6;
    t.qcode = ok ? 0 : 0x10;
    t.lastCmd = ok ? 0 : 106;
    t.torqueUnit = m_activeUnit;
    if (!intOption(a, QStringLiteral("prg"), &t.prgNr, error) || !doubleOption(a, QStringLiteral("torque"), &t.torque, error)
        || !doubleOption(a, QStringLiteral("angle"), &t.angle, error) || !doubleOption(a, QStringLiteral("time"), &t.time, error)
        || !intOption(a, QStringLiteral("row"), &t.row, error) || !intOption(a, QStringLiteral("qcode"), &t.qcode, error)
        || !intOption(a, QStringLiteral("unit"), &t.torqueUnit, error) || !intOption(a, QStringLiteral("lastcmd"), &t.lastCmd, error))
        return false;
    if (t.row < 0 || t.row > 50) {
        *error = QStringLiteral("row: 0 to 50");
        return false;
    }
    t.prgName = a.has(QStringLiteral("name")) ? a.value(QStringLiteral("name")) : programName(t.prgNr);
    if (a.has(QStringLiteral("idcode"))) {
        const QString code = a.value(QStringLiteral("idcode"));
        if (code != QLatin1String("NULL"))
            t.idCode = code;
    } else if (!m_idcode.isEmpty()) {
        t.idCode = m_idcode;
    }
    for (const QString& field : a.options.value(QStringLiteral("fn"))) {
        const QStringList p = field.split(QLatin1Char(':'));
        ResultStore::Function f;
        if ((p.size() != 3 && p.size() != 4) || !toInt(p[0], &f.cmd) || !toDouble(p[1], &f.actual) || !toDouble(p[2], &f.nom)
            || (p.size() == 4 && !toInt(p[3], &f.switching))) {
            *error = QStringLiteral("fn: CMD:ACTUAL:NOM[:SWITCHING], not %1").arg(field);
            return false;
        }
        t.functions << f;
    }
    ResultStore store(DevicePaths::map(QLatin1String(DevicePaths::ResultDb)));
    const int id = store.add(t, error);
    if (id < 0) {
        *error = QStringLiteral("result database: ") + *error;
        return false;
    }
    DeviceFiles::writeDiag(QStringLiteral("cycle"), QString::number(++m_cycle));
    say(QStringLiteral("   result %1: %2 program %3 torque %4 unit %5 qcode 0x%6 id code %7")
            .arg(id)
            .arg(ok ? QStringLiteral("OK") : QStringLiteral("NOK"))
            .arg(t.prgNr)
            .arg(t.torque)
            .arg(t.torqueUnit)
            .arg(t.qcode, 0, 16)
            .arg(t.idCode.isNull() ? QStringLiteral("NULL") : t.idCode.toString()));
    const QString db = QLatin1String(DevicePaths::ResultDb);
    traceSignal(QStringLiteral("newresult %1 %2").arg(db).arg(id));
    Q_EMIT m_res->newresult(db, id);
    done(true, QString::number(id));
    return true;
}

bool ToolSim::cmdIdcode(const Args& a, const Done& done, QString* error)
{
    if (a.positional.size() != 1 && a.positional.size() != 3) {
        *error = QStringLiteral("usage: idcode CODE [FIRST SECOND]");
        return false;
    }
    int first = 1, second = 1;
    if (a.positional.size() == 3
        && (!intArg(a.positional[1], "first", &first, error) || !intArg(a.positional[2], "second", &second, error)))
        return false;
    const QString code = a.positional.first();
    // Only a complete code becomes the tool's current one.
    if (first == second) {
        m_idcode = code;
        DeviceFiles::writeDiag(QStringLiteral("idcode"), code);
    }
    traceSignal(QStringLiteral("newidcode %1 %2 %3").arg(first).arg(second).arg(code));
    Q_EMIT m_res->newidcode(first, second, code);
    done(true, code);
    return true;
}

bool ToolSim::cmdBattery(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "battery [power=N] [status=N] [countdown=N]", error)
        || !checkOptions(a, { QStringLiteral("power"), QStringLiteral("status"), QStringLiteral("countdown") }, error))
        return false;
    if (a.options.isEmpty()) {
        *error = QStringLiteral("usage: battery [power=N] [status=N] [countdown=N]");
        return false;
    }
    int power = m_battPower, status = m_battStatus, countdown = 0;
    if (!intOption(a, QStringLiteral("power"), &power, error) || !intOption(a, QStringLiteral("status"), &status, error)
        || !intOption(a, QStringLiteral("countdown"), &countdown, error))
        return false;
    if (a.has(QStringLiteral("power"))) {
        m_battPower = power;
        DeviceFiles::writeDiag(QStringLiteral("battery/power"), QString::number(power));
        traceSignal(QStringLiteral("battpowerchanged %1").arg(power));
        Q_EMIT m_sys->battpowerchanged(power);
    }
    if (a.has(QStringLiteral("status"))) {
        m_battStatus = status;
        DeviceFiles::writeDiag(QStringLiteral("battery/status"), QString::number(status));
        traceSignal(QStringLiteral("battstatuschanged %1").arg(status));
        Q_EMIT m_sys->battstatuschanged(status);
    }
    if (a.has(QStringLiteral("countdown"))) {
        traceSignal(QStringLiteral("battcntdwn %1").arg(countdown));
        Q_EMIT m_sys->battcntdwn(countdown);
    }
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdReady(const Args& a, const Done& done, QString* error)
{
    int ist = 0, soll = 0;
    if (!needArgs(a, 2, 2, "ready IST SOLL", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "ist", &ist, error) || !intArg(a.positional[1], "soll", &soll, error))
        return false;
    m_ist = ist;
    m_soll = soll;
    emitReadyChanged();
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdEnable(const Args& a, const Done& done, QString* error)
{
    int en = 0;
    if (!needArgs(a, 1, 1, "enable N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "enable", &en, error))
        return false;
    m_enable = en;
    DeviceFiles::writeDiag(QStringLiteral("enable"), QString::number(en));
    traceSignal(QStringLiteral("toolenable %1").arg(en));
    Q_EMIT m_sys->toolenable(en);
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdFault(const Args& a, const Done& done, QString* error)
{
    int code = 0, fclass = 0;
    if (!needArgs(a, 2, 2, "fault CODE CLASS", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "code", &code, error) || !intArg(a.positional[1], "class", &fclass, error))
        return false;
    if (code <= 0 || fclass < 0 || fclass > 7) {
        *error = QStringLiteral("fault: code above 0, class 0 to 7");
        return false;
    }
    for (int i = 0; i < m_faults.size(); ++i) {
        if (m_faults[i].first == code)
            m_faults.removeAt(i--);
    }
    m_faults.append({ code, fclass });
    DeviceFiles::writeDiag(QStringLiteral("sysfault"), QString::number(code * 8 + fclass));
    const int now = int(QDateTime::currentSecsSinceEpoch());
    traceSignal(QStringLiteral("sysfault %1 %2 %3").arg(code).arg(fclass).arg(now));
    Q_EMIT m_sys->sysfault(code, fclass, now);
    done(true, QString::number(code * 8 + fclass));
    return true;
}

bool ToolSim::cmdClearFaults(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "clearfaults", error) || !checkOptions(a, {}, error))
        return false;
    const int last = m_faults.isEmpty() ? 0 : m_faults.last().first;
    m_faults.clear();
    DeviceFiles::writeDiag(QStringLiteral("sysfault"), QStringLiteral("0"));
    if (last > 0) {
        traceSignal(QStringLiteral("acksysfault %1 0").arg(last));
        Q_EMIT m_sys->acksysfault(last, 0);
    }
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdWlan(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "wlan [level=DBM] [conn=N] [bssid=TEXT]", error)
        || !checkOptions(a, { QStringLiteral("level"), QStringLiteral("conn"), QStringLiteral("bssid") }, error))
        return false;
    if (a.options.isEmpty()) {
        *error = QStringLiteral("usage: wlan [level=DBM] [conn=N] [bssid=TEXT]");
        return false;
    }
    int level = m_rssi, conn = m_wlanConn;
    if (!intOption(a, QStringLiteral("level"), &level, error) || !intOption(a, QStringLiteral("conn"), &conn, error))
        return false;
    if (a.has(QStringLiteral("bssid")))
        m_bssid = a.value(QStringLiteral("bssid"));
    if (a.has(QStringLiteral("conn"))) {
        m_wlanConn = conn;
        traceSignal(QStringLiteral("changed_connection %1").arg(conn));
        Q_EMIT m_wlan->changed_connection(conn);
    }
    if (a.has(QStringLiteral("level"))) {
        m_rssi = level;
        traceSignal(QStringLiteral("changed_rssilevel %1").arg(level));
        Q_EMIT m_wlan->changed_rssilevel(level);
    }
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdPopup(const Args& a, const Done& done, QString* error)
{
    int timer = 0, waitForAck = 0;
    if (!needArgs(a, 2, 4, "popup HEADER TEXT [TIMER] [WAITFORACK]", error)
        || (a.positional.size() > 2 && !intArg(a.positional[2], "timer", &timer, error))
        || (a.positional.size() > 3 && !intArg(a.positional[3], "waitforack", &waitForAck, error)))
        return false;
    sendToGui(QStringLiteral("fpopupString"), { a.positional[0], a.positional[1], timer, waitForAck }, done);
    return true;
}

bool ToolSim::cmdClosePopup(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "closepopup", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fclosepopupString"), {}, done);
    return true;
}

bool ToolSim::cmdJobMsg(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 2, 2, "jobmsg HEADER TEXT", error))
        return false;
    sendToGui(QStringLiteral("fjobdisplaymsg"), { a.positional[0], a.positional[1] }, done);
    return true;
}

bool ToolSim::cmdCloseJobMsg(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "closejobmsg", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fclosejobdisplaymsg"), {}, done);
    return true;
}

bool ToolSim::cmdPrgnr(const Args& a, const Done& done, QString* error)
{
    int prg = 0;
    if (!needArgs(a, 1, 1, "prgnr N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "prgnr", &prg, error))
        return false;
    m_prgnr = prg;
    DeviceFiles::writeDiag(QStringLiteral("prgnr"), QString::number(prg));
    sendToGui(QStringLiteral("fupdateprgnr"), { prg }, done);
    return true;
}

bool ToolSim::cmdScanIcon(const Args& a, const Done& done, QString* error)
{
    int button = 0;
    if (!needArgs(a, 1, 1, "scanicon BUTTON", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "button", &button, error))
        return false;
    sendToGui(QStringLiteral("fdisplayscanicon"), { button }, done);
    return true;
}

bool ToolSim::cmdHideScan(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "hidescan", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fhidescanicon"), {}, done);
    return true;
}

bool ToolSim::cmdResetResult(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "resetresult", error) || !checkOptions(a, {}, error))
        return false;
    sendToGui(QStringLiteral("fresetresult"), {}, done);
    return true;
}

bool ToolSim::cmdTestMode(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "testmode 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    sendToGui(QStringLiteral("ftestMode"), { on }, done);
    return true;
}

bool ToolSim::cmdTestText(const Args& a, const Done& done, QString* error)
{
    int field = 0, size = 0;
    if (!needArgs(a, 5, -1, "testtext FIELD COLOR BGCOLOR SIZE TEXT", error)
        || !intArg(a.positional[0], "field", &field, error) || !intArg(a.positional[3], "size", &size, error))
        return false;
    const QString text = a.positional.mid(4).join(QLatin1Char(' '));
    sendToGui(QStringLiteral("ftestModeText"), { field, a.positional[1], a.positional[2], size, text }, done);
    return true;
}

bool ToolSim::cmdTestProgress(const Args& a, const Done& done, QString* error)
{
    int progress = 0;
    if (!needArgs(a, 1, 1, "testprogress N", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "progress", &progress, error))
        return false;
    sendToGui(QStringLiteral("ftestModeProgressBar"), { progress }, done);
    return true;
}

bool ToolSim::cmdOpMode(const Args& a, const Done& done, QString* error)
{
    int mode = 0, prgAllow = 0, jobAllow = 0;
    if (!needArgs(a, 3, 3, "opmode MODE PRGALLOW JOBALLOW", error) || !checkOptions(a, {}, error)
        || !intArg(a.positional[0], "mode", &mode, error) || !intArg(a.positional[1], "prgallow", &prgAllow, error)
        || !intArg(a.positional[2], "joballow", &jobAllow, error))
        return false;
    m_opMode = mode;
    m_prgAllow = prgAllow;
    m_jobAllow = jobAllow;
    DeviceFiles::writeDiag(QStringLiteral("operationmode"), QString::number(mode));
    DeviceFiles::writeDiag(QStringLiteral("gui/prgselection"), QString::number(prgAllow));
    DeviceFiles::writeDiag(QStringLiteral("gui/jobselection"), QString::number(jobAllow));
    sendToGui(QStringLiteral("fsetoperationmode"), { mode, prgAllow, jobAllow }, done);
    return true;
}

bool ToolSim::cmdOpModeEntry(const Args& a, const Done& done, QString* error)
{
    int active = 0;
    if (!needArgs(a, 2, 2, "opmodeentry NAME ACTIVE", error) || !intArg(a.positional[1], "active", &active, error))
        return false;
    sendToGui(QStringLiteral("fsetopmodemenuentry"), { a.positional[0], active }, done);
    return true;
}

bool ToolSim::cmdNokAck(const Args& a, const Done& done, QString* error)
{
    int prg = 0;
    if (!needArgs(a, 1, 1, "nokack PRG", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "prg", &prg, error))
        return false;
    sendToGui(QStringLiteral("fshownokackpopup"), { prg }, done);
    return true;
}

bool ToolSim::cmdResConn(const Args& a, const Done& done, QString* error)
{
    int state = 0;
    if (!needArgs(a, 2, 2, "resconn SERVICE STATE", error) || !plainName(a.positional[0], error)
        || !intArg(a.positional[1], "state", &state, error))
        return false;
    DeviceFiles::writeDiag(QStringLiteral("ResConStates/") + a.positional[0], QString::number(state));
    sendToGui(QStringLiteral("fResServiceConChanged"), { a.positional[0], state }, done);
    return true;
}

bool ToolSim::cmdResDiag(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "resdiag SERVICE [KEY=VALUE ...]", error) || !plainName(a.positional[0], error))
        return false;
    const QString service = a.positional[0];
    const QString path = QLatin1String(DevicePaths::ResServicesDir) + service + QStringLiteral(".json");
    QJsonObject doc = readJsonObject(path);
    QJsonArray data = doc.value(QLatin1String("data")).toArray();
    QMap<QString, QString> updates;
    for (auto it = a.options.constBegin(); it != a.options.constEnd(); ++it)
        updates[it.key()] = it.value().last();
    if (DeviceFiles::exists(DeviceFiles::diagPath(QStringLiteral("ResConStates/") + service)))
        updates[QStringLiteral("State")] = connectionStateText(DeviceFiles::readDiagInt(QStringLiteral("ResConStates/") + service, 0));
    for (int i = 0; i < data.size(); ++i) {
        QJsonObject entry = data[i].toObject();
        const QString key = entry.value(QLatin1String("key")).toString();
        if (updates.contains(key)) {
            entry[QLatin1String("val")] = updates.take(key);
            data[i] = entry;
        }
    }
    for (auto it = updates.constBegin(); it != updates.constEnd(); ++it)
        data.append(QJsonObject { { QStringLiteral("key"), it.key() }, { QStringLiteral("val"), it.value() } });
    doc[QLatin1String("data")] = data;
    if (!DeviceFiles::writeShared(path, QJsonDocument(doc).toJson(QJsonDocument::Indented))) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    sendToGui(QStringLiteral("fResServiceDiagDataChanged"), { path }, done);
    return true;
}

bool ToolSim::cmdPruefSoftware(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "pruefsoftware 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    sendToGui(QStringLiteral("fpruefsoftwarestarted"), { on }, done);
    return true;
}

bool ToolSim::cmdFcc(const Args& a, const Done& done, QString* error)
{
    bool on = false;
    if (!needArgs(a, 1, 1, "fcc 0|1", error) || !checkOptions(a, {}, error) || !flagArg(a.positional[0], &on, error))
        return false;
    DeviceFiles::writeDiag(QStringLiteral("tiwlan/fccmode"), on ? QStringLiteral("true") : QStringLiteral("false"));
    sendToGui(QStringLiteral("setFccTestMode"), { on }, done);
    return true;
}

bool ToolSim::cmdGetFcc(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "getfcc", error) || !checkOptions(a, {}, error))
        return false;
    callGui(QStringLiteral("getFccTestMode"), {}, [done](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            done(false, reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage());
        else
            done(true, reply.arguments().first().toBool() ? QStringLiteral("true") : QStringLiteral("false"));
    });
    return true;
}

bool ToolSim::cmdNice(const Args& a, const Done& done, QString* error)
{
    int incr = 0;
    if (!needArgs(a, 1, 1, "nice N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "incr", &incr, error))
        return false;
    callGui(QStringLiteral("setNice"), { incr }, [done](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            done(false, reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage());
        else
            done(true, QString::number(reply.arguments().first().toInt()));
    });
    return true;
}

bool ToolSim::cmdProgram(const Args& a, const Done& done, QString* error)
{
    int n = 0, unit = m_activeUnit;
    double torque = 12.0;
    if (!needArgs(a, 1, 1, "program N [name=TEXT] [unit=N] [torque=X]", error)
        || !checkOptions(a, { QStringLiteral("name"), QStringLiteral("unit"), QStringLiteral("torque") }, error)
        || !intArg(a.positional[0], "program", &n, error) || !intOption(a, QStringLiteral("unit"), &unit, error)
        || !doubleOption(a, QStringLiteral("torque"), &torque, error))
        return false;
    const QString name = a.value(QStringLiteral("name"), QStringLiteral("Tight"));
    if (n < 0 || n > 255) {
        *error = QStringLiteral("program: 0 to 255");
        return false;
    }
    if (!lineText(name, error))
        return false;
    const QString path = programPath(n);
    if (!DeviceFiles::writeShared(path, programScript(name, unit, torque).toUtf8())) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdDelProgram(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "delprogram N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "program", &n, error))
        return false;
    const QString path = programPath(n);
    if (!DeviceFiles::remove(path)) {
        *error = QStringLiteral("cannot delete %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdJob(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "job N [name=TEXT]", error) || !checkOptions(a, { QStringLiteral("name") }, error)
        || !intArg(a.positional[0], "job", &n, error))
        return false;
    if (n < 0 || n > 255) {
        *error = QStringLiteral("job: 0 to 255");
        return false;
    }
    const QString name = a.value(QStringLiteral("name"), QStringLiteral("Job %1").arg(n));
    if (!lineText(name, error))
        return false;
    const QString path = jobPath(n);
    const QString prg = QString::number(m_prgnr >= 0 ? m_prgnr : 1);
    const QString text = QStringLiteral("-- jobName=%1\n"
                                        "job = {}\n"
                                        "job.Name = \"%1\"\n"
                                        "job.Steps = {}\n"
                                        "job.Steps[1] = { Prg = %2, Count = 4 }\n"
                                        "job.Steps[2] = { Prg = %2, Count = 2 }\n")
                             .arg(name, prg);
    if (!DeviceFiles::writeShared(path, text.toUtf8())) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdDelJob(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "deljob N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "job", &n, error))
        return false;
    if (n < 0 || n > 255) {
        *error = QStringLiteral("job: 0 to 255");
        return false;
    }
    const QString path = jobPath(n);
    if (!DeviceFiles::remove(path)) {
        *error = QStringLiteral("cannot delete %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdChanCfg(const Args& a, const Done& done, QString* error)
{
    int active = m_activeUnit;
    if (!needArgs(a, 0, 0, "chancfg [active=ID]", error) || !checkOptions(a, { QStringLiteral("active") }, error)
        || !intOption(a, QStringLiteral("active"), &active, error))
        return false;
    const QString path = QLatin1String(DevicePaths::ChanCfgFile);
    QJsonObject doc = readJsonObject(path);
    QJsonObject units = doc.value(QLatin1String("EinheitDrehmoment")).toObject();
    units[QLatin1String("Aktiv")] = active;
    doc[QLatin1String("EinheitDrehmoment")] = units;
    if (!DeviceFiles::writeShared(path, QJsonDocument(doc).toJson(QJsonDocument::Indented))) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    m_activeUnit = active;
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdCfgChanged(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "cfgchanged DEVICEPATH", error))
        return false;
    announce(a.positional[0]);
    done(true, a.positional[0]);
    return true;
}

bool ToolSim::cmdKeySwitch(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "keyswitch 0|1|2|3|short|missing", error) || !checkOptions(a, {}, error))
        return false;
    const QString what = a.positional[0];
    const QString path = QLatin1String(DevicePaths::KeySwitchFile);
    // The driver's record: position in the low bits of the first byte, then raw ADC data.
    QByteArray record("\x00\x00\x03\x9a\x00\x00", 6);
    bool ok = false;
    if (what == QLatin1String("missing")) {
        ok = DeviceFiles::remove(path);
    } else if (what == QLatin1String("short")) {
        ok = DeviceFiles::writePlain(path, record.left(5));
    } else {
        int pos = -1;
        if (!toInt(what, &pos) || pos < 0 || pos > 3) {
            *error = QStringLiteral("usage: keyswitch 0|1|2|3|short|missing");
            return false;
        }
        record[0] = char(0x04 | pos);
        ok = DeviceFiles::writePlain(path, record);
    }
    if (!ok) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    say(QStringLiteral("   key switch %1").arg(what));
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdDiag(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 2, -1, "diag NAME VALUE", error) || !diagName(a.positional[0], error))
        return false;
    const QString value = a.positional.mid(1).join(QLatin1Char(' '));
    if (!DeviceFiles::writeDiag(a.positional[0], value)) {
        *error = QStringLiteral("cannot write %1").arg(DeviceFiles::diagPath(a.positional[0]));
        return false;
    }
    say(QStringLiteral("   diag %1 = %2").arg(a.positional[0], value));
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdRmDiag(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "rmdiag NAME", error) || !diagName(a.positional[0], error))
        return false;
    if (!DeviceFiles::remove(DeviceFiles::diagPath(a.positional[0]))) {
        *error = QStringLiteral("cannot remove %1").arg(DeviceFiles::diagPath(a.positional[0]));
        return false;
    }
    say(QStringLiteral("   diag %1 removed").arg(a.positional[0]));
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdSleep(const Args& a, const Done& done, QString* error)
{
    int ms = 0;
    if (!needArgs(a, 1, 1, "sleep MS", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "ms", &ms, error))
        return false;
    if (ms < 0 || ms > 600000) {
        *error = QStringLiteral("sleep: 0 to 600000 ms");
        return false;
    }
    QTimer::singleShot(ms, this, [done] { done(true, QStringLiteral("ok")); });
    return true;
}

bool ToolSim::cmdEcho(const Args& a, const Done& done, QString* error)
{
    Q_UNUSED(error)
    const QString text = a.positional.join(QLatin1Char(' '));
    say(QStringLiteral("== ") + text);
    done(true, text);
    return true;
}

bool ToolSim::cmdWaitGui(const Args& a, const Done& done, QString* error)
{
    int ms = 10000;
    if (!needArgs(a, 0, 1, "waitgui [MS]", error) || !checkOptions(a, {}, error)
        || (!a.positional.isEmpty() && !intArg(a.positional[0], "ms", &ms, error)))
        return false;
    auto timer = new QTimer(this);
    auto left = std::make_shared<int>(ms / 100 + 1);
    timer->setInterval(100);
    auto poll = [this, timer, left, done] {
        if (m_bus.interface()->isServiceRegistered(QLatin1String(GuiService))) {
            timer->deleteLater();
            done(true, QStringLiteral("GUI is up"));
        } else if (--*left <= 0) {
            timer->deleteLater();
            done(false, QStringLiteral("%1 did not appear").arg(QLatin1String(GuiService)));
        } else {
            timer->start();
        }
    };
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, poll);
    poll();
    return true;
}

bool ToolSim::cmdPlay(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "play SCENARIOFILE", error) || !playScenario(a.positional[0], error))
        return false;
    done(true, QStringLiteral("playing ") + a.positional[0]);
    return true;
}

bool ToolSim::cmdCalls(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "calls", error))
        return false;
    done(true, m_calls.join(QLatin1Char('\n')));
    return true;
}

bool ToolSim::cmdClearCalls(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "clearcalls", error))
        return false;
    m_calls.clear();
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdHelp(const Args& a, const Done& done, QString* error)
{
    Q_UNUSED(a)
    Q_UNUSED(error)
    QStringList lines;
    for (const Command& c : commands())
        lines << QLatin1String(c.usage);
    done(true, lines.join(QLatin1Char('\n')));
    return true;
}

// ---- scenarios

bool ToolSim::playScenario(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read scenario %1").arg(path);
        return false;
    }
    auto s = std::make_shared<Scenario>();
    s->path = path;
    s->lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    say(QStringLiteral("== scenario %1").arg(path));
    QTimer::singleShot(0, this, [this, s] { playNext(s); });
    return true;
}

void ToolSim::playNext(const std::shared_ptr<Scenario>& s)
{
    while (s->next < s->lines.size()) {
        const int lineNo = ++s->next;
        bool ok = true;
        const QStringList words = CommandLine::split(s->lines.at(lineNo - 1), &ok);
        if (!ok) {
            say(QStringLiteral("== %1:%2: open quote").arg(s->path).arg(lineNo));
            continue;
        }
        if (words.isEmpty())
            continue;
        runCommand(words, [this, s, lineNo](bool done, const QString& text) {
            if (!done)
                say(QStringLiteral("== %1:%2: %3").arg(s->path).arg(lineNo).arg(text));
            QTimer::singleShot(0, this, [this, s] { playNext(s); });
        });
        return;
    }
    say(QStringLiteral("== scenario finished"));
}
