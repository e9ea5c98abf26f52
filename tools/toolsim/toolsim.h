#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

#include "commandline.h"

class SysService;
class WlanService;
class BmsService;
class ResService;
class ControlService;

// The simulated tool: the state its services keep, the behaviour behind their methods,
// and the commands of the control interface and of scenario files.
class ToolSim : public QObject
{
    Q_OBJECT
public:
    // Completion of a command: ok and the reply text, or not ok and the error text.
    using Done = std::function<void(bool ok, const QString& text)>;

    static constexpr const char* GuiService = "com.velmar.akku.GUIService";
    static constexpr const char* GuiPath = "/GUI";
    static constexpr const char* GuiInterface = "com.velmar.akku.gui";

    explicit ToolSim(const QDBusConnection& bus, QObject* parent = nullptr);
    ~ToolSim() override;

    // Reads the tool's state from the system root and owns the bus names.
    bool start(QString* error);

    void runCommand(const QStringList& words, const Done& done);
    // Plays a scenario file: one command per line, in order; sleep pauses it.
    bool playScenario(const QString& path, QString* error);

    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    // ---- the services' methods (called by the bus objects; each logs itself)
    int battPower();
    void readyWord(int* ist, int* soll);
    int toolEnable();
    bool changeReadyFlag(int flag, bool set, QString* error);
    void requestOperationMode(int mode, int trgSrc, int trgVal);
    void configFileChanged(const QString& path);
    bool acknowledgeFault(QString* error);
    int wlanConnection();
    int rssiLevel();
    void writeStationInfo();
    void plcUpdate(int bit, int value);

    // Appends to the call log and prints "<- method args".
    void logCall(const QString& method, const QVariantList& args = {});

    // One line for a person watching.
    static void say(const QString& line);

private:
    using Handler = bool (ToolSim::*)(const CommandLine::Args&, const Done&, QString*);

    // GUI calls go out asynchronously: the GUI may be blocked in a call to us.
    void callGui(const QString& method, const QVariantList& args,
                 const std::function<void(const QDBusMessage&)>& onReply = {});

    // Prints "-> signal args" for a signal about to be emitted.
    static void traceSignal(const QString& text);
    void loadState();
    void emitReadyChanged();
    QString programName(int prg) const;

    // Commands; each returns false with *error set on bad input. Those that complete at
    // once call done themselves.
    bool cmdResult(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdIdcode(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdBattery(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdReady(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdEnable(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdFault(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdClearFaults(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdFaults(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdFaultAck(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdLanguage(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdWlan(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdPopup(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdNokResult(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdReadyFlags(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdRestart(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdClosePopup(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdJobMsg(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdCloseJobMsg(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdPrgnr(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdScanIcon(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdHideScan(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdResetResult(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdTestMode(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdTestText(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdTestProgress(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdOpMode(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdOpModeEntry(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdNokAck(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdResConn(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdResDiag(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdPruefSoftware(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdFcc(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdGetFcc(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdNice(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdProgram(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdDelProgram(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdJob(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdDelJob(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdChanCfg(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdCfgChanged(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdKeySwitch(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdPlcTab(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdWlanRestart(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdKey(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdKeys(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdDiag(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdRmDiag(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdCard(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdExchangeFail(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdExchangeLog(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdSleep(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdEcho(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdWaitGui(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdPlay(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdCalls(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdClearCalls(const CommandLine::Args& a, const Done& done, QString* error);
    bool cmdHelp(const CommandLine::Args& a, const Done& done, QString* error);

    // A GUI call that the command does not wait for: replies "sent <method>" at once.
    void sendToGui(const QString& method, const QVariantList& args, const Done& done);
    void announce(const QString& devicePath);

    struct Command
    {
        const char* name;
        Handler handler;
        bool rawWords; // all words positional: texts may hold "="
        const char* usage;
    };
    static const QList<Command>& commands();

    struct Scenario
    {
        QStringList lines;
        QString path;
        int next = 0;
    };
    void playNext(const std::shared_ptr<Scenario>& s);

    QDBusConnection m_bus;
    SysService* m_sys = nullptr;
    WlanService* m_wlan = nullptr;
    BmsService* m_bms = nullptr;
    ResService* m_res = nullptr;
    ControlService* m_control = nullptr;

    QStringList m_calls;

    // The tool's state.
    int m_ist = 0x43;
    int m_soll = 0xC3;
    int m_battPower = 80;
    int m_battStatus = 3;
    int m_enable = 1;
    int m_prgnr = 5;
    QString m_idcode;
    QList<QPair<int, int>> m_faults; // pending (code, class), newest last
    bool m_refuseAck = false;        // "fackerrlist" answers with an error
    int m_opMode = 0;
    int m_prgAllow = 1;
    int m_jobAllow = 1;
    int m_rssi = -58;
    int m_wlanConn = 3;
    QString m_bssid = QStringLiteral("00-1B-2C-3D-4E-5F");
    int m_plcBits = 0;
    int m_activeUnit = 1;
    int m_cycle = 0;
};
