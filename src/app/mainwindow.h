#pragma once

#include <QMainWindow>
#include <QMutex>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include "configexchange.h"
#include "diagtree.h"
#include "inputlimits.h"
#include "jsontranslator.h"
#include "infovalues.h"
#include "jobcatalogue.h"
#include "powercontrol.h"
#include "programcatalogue.h"
#include "restartwlanthread.h"
#include "resultreader.h"
#include "settingsfiles.h"
#include "torqueunits.h"
#include "toolservices.h"

class ConfigNotifications;
class SignalGate;
class QFile;
class QQuickItem;
class QQuickWidget;
class AkkuIfAdapter;
class QDBusServiceWatcher;

// The host window: owns the view with the scene, and is the scene's `cMainWindow`.
// Each group of members is a thin layer over the plain class of its module; the
// implementation is split by module (mainwindow_<module>.cpp).
class MainWindow : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(QString cfg READ cfg WRITE setCfg)
    Q_PROPERTY(QString wlan READ wlan WRITE setWlan)
    Q_PROPERTY(int prgNumber READ prgNumber)

public:
    static constexpr const char* DefaultScene = "qrc:/qml/main.qml";

    // `scene` exists for tests that load a recording scene instead of the real one.
    explicit MainWindow(QWidget* parent = nullptr, const QUrl& scene = QUrl(QString::fromLatin1(DefaultScene)));
    ~MainWindow() override;

    QQuickWidget* view() const { return m_view; }
    QQuickItem* rootItem() const;

    // Calls a function of the scene's root by name; does nothing when the root or the
    // function (with that many arguments) is missing.
    void callRoot(const char* function, const QVariantList& args = {});

    // ---- start-up and host window
    // The catalogues, then what the scene shows at start (initSceneData).
    Q_INVOKABLE void initData();
    Q_INVOKABLE bool enableResults();
    Q_INVOKABLE void syslogDebug(QString msg);
    Q_INVOKABLE void syslogError(QString msg);

    // ---- settings files
    QString cfg() const;
    void setCfg(const QString& text);
    QString wlan() const;
    void setWlan(const QString& text);
    void loadCfg();
    Q_INVOKABLE void loadWlan();
    Q_INVOKABLE void guiCfgFileChanged();
    Q_INVOKABLE void wlanCfgFileChanged();
    Q_INVOKABLE void cfgFileChanged(QString filename);
    bool lockFile(const QFile& file);
    bool unlockFile(const QFile& file);
    void writeQStringToFile(const QString& text, QFile& file);
    bool parseJson(QVariant& out, const QString& path);
    bool boolValue(QVariant value);

    // ---- WLAN status
    Q_INVOKABLE QString getSSID();
    Q_INVOKABLE QString getBSSID();
    // The information screen's refresh of the same: the request goes out without waiting for
    // the service, and the file is read (as it is) on a later refresh.
    Q_INVOKABLE void requestStationInfo();
    Q_INVOKABLE QString readBSSID();
    Q_INVOKABLE bool isWlanActive();
    Q_INVOKABLE QVariant loadWlanActivation();
    void setWlanConnectionActiveFlag();
    void loadFccTestMode();
    Q_INVOKABLE void reloadWlan();
    void reloadInfo();

    // ---- diagnostic tree
    QVariant getDiagProp(QString name, QString fallback);
    QVariant getDiagProp(QString name);
    short getPrgnr();
    int prgNumber();
    Q_INVOKABLE QVariant getSysfault();
    void getSysfaultTwoInts(int& fclass, int& code);
    QVariant getBattPower();
    QVariant getBattStatus();
    int getEnable();
    Q_INVOKABLE QVariant getCycle();
    Q_INVOKABLE QVariant getIdCode();
    void getInitialIDcode();
    bool getAllowManOp();
    Q_INVOKABLE QVariant getOperationMode();
    Q_INVOKABLE QVariant getJobSelect();
    Q_INVOKABLE QVariant getPrgSelect();
    Q_INVOKABLE QVariant getInitOpenprotoSrvState();
    Q_INVOKABLE QVariant getInitXmlSrvState();
    Q_INVOKABLE QVariant getInitResConStates();
    Q_INVOKABLE QStringList getServices();
    Q_INVOKABLE QString readSrvsFile(QString srvname);
    void getDirFileNames(QString dir, QString pattern, QStringList& out);
    Q_INVOKABLE short adcVal();

    // ---- programs, results, jobs, torque units, program writer
    void loadPrgs();
    // The program importer's reload: in steps over the event loop.
    void reloadPrgsInSteps();
    void syncPrgMapEntry(QString& fileName);
    QVariantMap retrievePrgNumberName(QString& fileName);
    Q_INVOKABLE QVariantList getPrgList();
    Q_INVOKABLE QVariantMap getPrgNumberName(int slot);
    void updatePrgnr(int prgnr, int fnr);
    void showResult(int id);
    void loadJobs();
    Q_INVOKABLE QVariantList getJobList();
    Q_INVOKABLE void readTorqueFactors();
    Q_INVOKABLE QString getTorqueUnitPres(int id);
    Q_INVOKABLE QString getDefaultTorqueUnitPres();
    Q_INVOKABLE void writeProgram(int slot, int speed, QString targetName, int targetValue);

    // ---- configuration exchange, memory card and pictures
    Q_INVOKABLE void exportConfiguration();
    Q_INVOKABLE void importConfiguration();
    QString generatePassword(QString version);
    QStringList getSdPaths();
    QStringList extractPaths(QStringList names);
    Q_INVOKABLE QStringList getPictures();

    // ---- GUI D-Bus service and tool-service clients
    void initSceneData();
    ConfigNotifications* prepareDBus();
    void subscribeDBus(ConfigNotifications* configChanges);
    void initDBus();
    Q_INVOKABLE void jobabort();
    Q_INVOKABLE void jobselected(int jobnr);
    Q_INVOKABLE void prgselected(int prgnr);
    Q_INVOKABLE void sendResConnStatus(int state);
    Q_INVOKABLE void sendScanBtnPressed(int button);
    void sendOperationMode(int mode);
    Q_INVOKABLE void setAkkuReady();
    Q_INVOKABLE void akkuNotReady();
    Q_INVOKABLE void setGuiReady();
    Q_INVOKABLE void disableScrewdriver();
    Q_INVOKABLE void enableScrewdriver();
    Q_INVOKABLE void setOperationMode(int mode, int trgSrc, int trgVal);

    // ---- translator
    Q_INVOKABLE QVariantList getLanguages();
    Q_INVOKABLE void setLanguage(QString code);
    JSONTranslator& translator() { return m_translator; }

    // ---- system faults and the activity log
    Q_INVOKABLE void sendAck();
    Q_INVOKABLE void addActivityEntryNokAck();
    void logActivity(int code, QString value1, QString value2, QString value3, QString value4);

    // ---- tool keys and PLC table
    Q_INVOKABLE QVariantMap getMappedBmsBits();
    Q_INVOKABLE void sendBmsBitSignal(int id, int val);
    Q_INVOKABLE bool getToolBmsActiveState();
    Q_INVOKABLE bool getToolBmsAllPrgAvailable();

    // ---- WLAN restart, date, time and power
    Q_INVOKABLE void restartwlan();
    // Tests shorten the restart script's time limit.
    void setWlanRestartTimeLimit(int ms) { m_wlanRestartLimitMs = ms; }
    Q_INVOKABLE void reboot();
    Q_INVOKABLE void poweroff();
    Q_INVOKABLE void setDateTime(QString datetime);
    QString getDatetime();

    // ---- information values
    Q_INVOKABLE QVariantMap getInfoValues();
    QString getIpAddress();
    QString getLanIpAddress();
    QString getVersion();
    QString getEtcVersion();
    QString getCode();
    QString getTemperature();
    QString getAvgLoadTorque();

    bool testSoftwareActive() const { return m_testSoftware; }
    QMutex& stateMutex() { return m_stateMutex; }

Q_SIGNALS:
    void importFinished(int exitCode, QString msg);
    void exportFinished(int exitCode, QString msg);

public Q_SLOTS:
    int setNice(int incr);
    void logToSys(QString text);

    void fbatteryCountDown(int count);
    void fbatteryStatus(int status);
    void fbatteryPower(int power);
    void fpopupString(QString header, QString text, int timer, int waitforack);
    void fjobdisplaymsg(QString header, QString text);
    void fclosepopupString();
    void fclosejobdisplaymsg();
    void ftestMode(bool power);
    void ftestModeText(int field, QString color, QString bgColor, int size, QString text);
    void ftestModeProgressBar(int progress);
    bool getFccTestMode();
    void setFccTestMode(bool active);
    void freadychanged(int ist, int soll);
    void fsysfault(int code, int fclass, int timestamp);
    void ackfsysfault(int quittedCode, int currentCode);
    void ftoolenable(int en);
    void fresetresult();
    void fupdateprgnr(int prgnr);
    void fdisplayscanicon(int button);
    void fhidescanicon();
    void fResServiceDiagDataChanged(QString service);
    void fResServiceConChanged(QString serviceName, int connected);
    void fshownokackpopup(int prgnr);
    void fpruefsoftwarestarted(bool active);
    void fsetoperationmode(int mode, int prgallow, int joballow);
    void fsetopmodemenuentry(QString name, int active);

private Q_SLOTS:
    void newResult(QString db, int id);
    void newIdcode(int first, int second, QString code);
    void newConfig(QString cfg);
    void wlanConnectionChanged(int state);
    void wlanLevelChanged(int level);
    void checkAllowedModes();
    void continuePrgReload();
    void restartwlanEnd();
    void toolServiceOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void watchScreen();

private:
    void releaseScreen();
    void initExchange();
    void retryPendingSaves();
    void takeSystemReplies();
    void takeWlanReplies();
    QQuickWidget* m_view = nullptr;
    AkkuIfAdapter* m_adaptor = nullptr;
    SignalGate* m_signals = nullptr;
    // The start-up queries, sent with the subscriptions and answered while the scene is built.
    ToolServices::EarlyCall m_battPowerQuery { ToolServices::System, "fbattpowerget" };
    ToolServices::EarlyCall m_readyQuery { ToolServices::System, "frdyget" };
    ToolServices::EarlyCall m_enableQuery { ToolServices::System, "ftoolenableget" };
    ToolServices::EarlyCall m_wlanConnectionQuery { ToolServices::Wlan, "fReqGetConnectionStatus" };
    // The WLAN service is asked for its station information when the connection state is
    // handled and again for the start values; getBSSID takes these two in turn.
    ToolServices::EarlyCall m_stationInfoQueries[2] { { ToolServices::Wlan, "fReqStationInfo" }, { ToolServices::Wlan, "fReqStationInfo" } };
    int m_stationInfoTaken = 0;
    ToolServices::EarlyCall m_wlanLevelQuery { ToolServices::Wlan, "fReqGetRssiLevel" };
    ToolServices::EarlyCall m_readyCheckQuery { ToolServices::System, "frdyget" };
    // Whether the GUI wants its ready flag set (a service that starts again gets it so).
    bool m_guiReady = true;
    int m_wlanRestartLimitMs = RestartWlanThread::TimeLimitMs;
    ToolServices::RefreshCall m_stationInfo { ToolServices::Wlan, "fReqStationInfo" };
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    JSONTranslator m_translator;
    SettingsFiles m_settings;
    class QTimer* m_saveRetry = nullptr; // saves a settings file that was locked again
    ResultReader m_results;
    bool m_fccTestMode = false;
    QMutex m_stateMutex;
    TorqueUnits m_torqueUnits;
    DiagTree m_diag;
    InputLimits::NameTable m_opModeEntries; // operation-mode menu entries the scene keeps
    ProgramCatalogue m_programs;
    JobCatalogue m_jobs;
    // Read once the first frame is drawn, or at their first use before.
    bool m_prgsLoaded = false;
    bool m_jobsLoaded = false;
    bool m_testSoftware = false;
    QObject* m_body = nullptr; // the scene's loader of the screens
    bool m_releasePending = false; // a screen given up was deleted; released after the next frame
    ConfigExchange m_exchange;
    InfoValues m_info;
    PowerControl m_power;
};
