// Commands that change the tool's state: results, battery, ready, faults, WLAN, keys and the diagnostic tree.
#include "toolsim.h"

#include "cmdutil.h"
#include "devicefiles.h"
#include "devicepaths.h"
#include "resultstore.h"
#include "services.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace ToolSimUtil;

namespace {

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
