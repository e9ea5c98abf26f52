#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "inputlimits.h"

// Readers of the diagnostic tree, the run-time directory of single-value state files that
// the tool's other processes keep current, plus the cached result-protocol connection
// states. Only getDiagProp and getPrgnr follow LOCAL_VAR_ROOT_PATH; the other readers use
// the fixed "/var/run/diag/..." paths.
class DiagTree
{
public:
    // The trimmed content of runtimeRoot + "diag/" + name; fallback when the file cannot be
    // opened or locked (an empty file gives an empty text).
    QString getDiagProp(const QString& name, const QString& fallback = QString()) const;

    // The loaded program: -88 when missing or empty, -1 when the lock fails, 0 for text
    // that is not a number.
    short getPrgnr() const;

    QString getSysfault() const { return getDiagProp(QStringLiteral("sysfault")); }
    // class = value AND 7, code = value >> 3; both always written.
    void getSysfaultTwoInts(int& fclass, int& code) const;
    QString getBattPower() const { return getDiagProp(QStringLiteral("battery/power")); }
    QString getBattStatus() const { return getDiagProp(QStringLiteral("battery/status")); }
    int getEnable() const { return getDiagProp(QStringLiteral("enable")).toInt(); }
    QString getCycle() const { return getDiagProp(QStringLiteral("cycle")); }
    QString getIdCode() const { return InputLimits::cap(getDiagProp(QStringLiteral("idcode")), InputLimits::MaxCode); }
    bool getAllowManOp() const { return getDiagProp(QStringLiteral("gui/showmanop")).toInt() != 0; }
    int getOperationMode() const { return getDiagProp(QStringLiteral("operationmode")).toInt(); }
    int getJobSelect() const { return getDiagProp(QStringLiteral("gui/jobselection")).toInt(); }
    int getPrgSelect() const { return getDiagProp(QStringLiteral("gui/prgselection")).toInt(); }
    QString getInitOpenprotoSrvState() const { return getDiagProp(QStringLiteral("ResConStates/OpenProtocol")); }
    QString getInitXmlSrvState() const { return getDiagProp(QStringLiteral("ResConStates/Xml")); }

    // The connection-state map {"values": {name: state}, "keys": [int(name), ...]}: built
    // from "ResConStates" on first use and cached; later changes only through
    // updateConnectionState.
    QVariant getInitResConStates();
    void resetConnectionStates() { m_conStates = QVariant(); }
    const QVariant& connectionStates() const { return m_conStates; }
    // Stores the new state of one service in the cache; true when the scene must be told
    // (state -1, 0 or 1). A name longer than InputLimits::MaxName, or a new one when the
    // cache holds InputLimits::MaxEntries names, is refused (false, cache unchanged).
    bool updateConnectionState(const QString& serviceName, int connected);

    // Names of the service description files ("Xml.json" -> "Xml"), directory order.
    QStringList getServices() const;
    // Content of the service's description, cut at the first NUL; empty when missing.
    QString readSrvsFile(const QString& srvname) const;
    // Appends the base names (up to the last ".") of the regular files in the device
    // directory dir that match pattern.
    static void getDirFileNames(const QString& dir, const QString& pattern, QStringList& out);

    // The service name of a changed description file: the device path must be
    // "/var/run/diag/res_services/<name>.json" with something between prefix and extension.
    static bool serviceFromPath(const QString& devicePath, QString& name);

    // Key switch position 0..3 from the first of 6 bytes; -1 for a short read, -77 when the
    // file cannot be opened.
    short adcVal() const;

private:
    QVariant m_conStates;
    bool m_refusedLogged = false;
};
