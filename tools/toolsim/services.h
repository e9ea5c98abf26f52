#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

class ToolSim;

// The simulated services as seen on the bus. Each object only marshals: the behaviour is
// ToolSim's. Every method replies at once; work that must follow the reply (calls into
// the GUI, which is blocked waiting for that reply) is queued by ToolSim.

class SysService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.SysInterface")
public:
    explicit SysService(ToolSim* sim);

public Q_SLOTS:
    Q_SCRIPTABLE int fbattpowerget();
    Q_SCRIPTABLE int frdyget(int& soll);
    Q_SCRIPTABLE int ftoolenableget();
    Q_SCRIPTABLE void frdyflagset(int flag);
    Q_SCRIPTABLE void frdyflagreset(int flag);
    Q_SCRIPTABLE void fsetoperationmode(int mode, int trgSrc, int trgVal);
    Q_SCRIPTABLE void fcfgfilechanged(const QString& path);
    Q_SCRIPTABLE void fackerrlist();

Q_SIGNALS:
    Q_SCRIPTABLE void cfgfilechanged(const QString& path);
    Q_SCRIPTABLE void battpowerchanged(int power);
    Q_SCRIPTABLE void battstatuschanged(int status);
    Q_SCRIPTABLE void battcntdwn(int count);
    Q_SCRIPTABLE void rdychanged(int ist, int soll);
    Q_SCRIPTABLE void sysfault(int code, int fclass, int timestamp);
    Q_SCRIPTABLE void acksysfault(int quittedCode, int currentCode);
    Q_SCRIPTABLE void toolenable(int en);

private:
    ToolSim* m_sim;
};

class WlanService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.WlanInterface")
public:
    explicit WlanService(ToolSim* sim);

public Q_SLOTS:
    Q_SCRIPTABLE int fReqGetConnectionStatus();
    Q_SCRIPTABLE int fReqGetRssiLevel();
    Q_SCRIPTABLE void fReqStationInfo();

Q_SIGNALS:
    Q_SCRIPTABLE void changed_connection(int state);
    Q_SCRIPTABLE void changed_rssilevel(int level);

private:
    ToolSim* m_sim;
};

class BmsService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.BmsInterface")
public:
    explicit BmsService(ToolSim* sim);

public Q_SLOTS:
    Q_SCRIPTABLE void fguiplcupdate(int bit, int value);

private:
    ToolSim* m_sim;
};

// Only signals: the GUI never calls the result service.
class ResService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.ResInterface")
public:
    explicit ResService(QObject* parent) : QObject(parent) {}

Q_SIGNALS:
    Q_SCRIPTABLE void newresult(const QString& database, int id);
    Q_SCRIPTABLE void newidcode(int first, int second, const QString& code);
};

// The simulator's own control interface.
class ControlService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmar.akku.ToolSimControl")
public:
    explicit ControlService(ToolSim* sim);

public Q_SLOTS:
    Q_SCRIPTABLE QString Run(const QStringList& args);
    Q_SCRIPTABLE QStringList Calls();
    Q_SCRIPTABLE void ClearCalls();

private:
    ToolSim* m_sim;
};
