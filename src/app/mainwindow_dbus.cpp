// MainWindow: the GUI's D-Bus service and the clients of the tool's services.
#include "mainwindow.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QMutexLocker>

#include "akkuifadapter.h"
#include "confignotifications.h"
#include "devicepaths.h"
#include "guiservice.h"
#include "inputlimits.h"
#include "signalgate.h"
#include "systemlog.h"
#include "toolservices.h"

using ToolServices::ServiceProxy;
using ToolServices::succeeded;

namespace {

constexpr int BatteryReadyFlag = 6;
constexpr int GuiReadyFlag = 7;

} // namespace

// ---- registration, subscriptions and the first queries

// The GUI's objects on the bus, made on the GUI thread before subscribeDBus runs.
ConfigNotifications* MainWindow::prepareDBus()
{
    m_adaptor = new AkkuIfAdapter(this);
    // A flood of change notifications costs one reload per kind.
    auto* configChanges = new ConfigNotifications(this);
    connect(configChanges, &ConfigNotifications::changed, this, &MainWindow::newConfig);

    // The tool's signals. Of a level, a count or a state the screen shows the latest; results
    // replace each other on the screen at once (a NOK's acknowledgement is a call of its own).
    // Faults, their acknowledgements, battery states (popups), connection states and codes
    // are all handled, in order.
    using namespace ToolServices;
    using Keep = SignalGate::Keep;
    m_signals = new SignalGate(this);
    auto integer = [](const QVariantList& a, int i) { return a.value(i).toInt(); };
    m_signals->add(Result, "newresult", "si", Keep::Latest, [this, integer](const QVariantList& a) { newResult(a.value(0).toString(), integer(a, 1)); });
    m_signals->add(Result, "newidcode", "iis", Keep::Every, [this, integer](const QVariantList& a) { newIdcode(integer(a, 0), integer(a, 1), a.value(2).toString()); });
    m_signals->add(System, "cfgfilechanged", "s", Keep::Every, [configChanges](const QVariantList& a) { configChanges->notify(a.value(0).toString()); });
    m_signals->add(System, "battpowerchanged", "i", Keep::Latest, [this, integer](const QVariantList& a) { fbatteryPower(integer(a, 0)); });
    m_signals->add(System, "battstatuschanged", "i", Keep::Every, [this, integer](const QVariantList& a) { fbatteryStatus(integer(a, 0)); });
    m_signals->add(System, "battcntdwn", "i", Keep::Latest, [this, integer](const QVariantList& a) { fbatteryCountDown(integer(a, 0)); });
    m_signals->add(System, "rdychanged", "ii", Keep::Latest, [this, integer](const QVariantList& a) { freadychanged(integer(a, 0), integer(a, 1)); });
    m_signals->add(System, "sysfault", "iii", Keep::Every, [this, integer](const QVariantList& a) { fsysfault(integer(a, 0), integer(a, 1), integer(a, 2)); });
    m_signals->add(System, "acksysfault", "ii", Keep::Every, [this, integer](const QVariantList& a) { ackfsysfault(integer(a, 0), integer(a, 1)); });
    m_signals->add(System, "toolenable", "i", Keep::Latest, [this, integer](const QVariantList& a) { ftoolenable(integer(a, 0)); });
    m_signals->add(Wlan, "changed_connection", "i", Keep::Every, [this, integer](const QVariantList& a) { wlanConnectionChanged(integer(a, 0)); });
    m_signals->add(Wlan, "changed_rssilevel", "i", Keep::Latest, [this, integer](const QVariantList& a) { wlanLevelChanged(integer(a, 0)); });

    // Connected to the bus by subscribeDBus, before any query goes out.
    m_serviceWatcher = new QDBusServiceWatcher(this);
    m_serviceWatcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &MainWindow::toolServiceOwnerChanged);
    return configChanges;
}

// Runs on a thread of its own while the engine, the settings and the fonts are prepared, and
// is done before the scene is built: the signals wait in the event queue until the start-up
// is done, and the object is there before the GUI's name is. The name and the start-up queries
// follow, so that the services answer while the scene is built; their replies are taken in
// initDBus, in the order they always were.
void MainWindow::subscribeDBus(ConfigNotifications*)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    bus.registerObject(QString::fromLatin1(GuiService::Path), this);

    // Subscribe before querying, so that no change in between is lost.
    using namespace ToolServices;
    m_signals->subscribe(bus);

    // A service that starts again gets the start-up's queries once more.
    m_serviceWatcher->setConnection(bus);
    for (const ToolServices::Service* service : { &System, &Wlan, &Bms })
        m_serviceWatcher->addWatchedService(QString::fromLatin1(service->name));

    bus.registerService(QString::fromLatin1(GuiService::Name));
    // Each service gets these in the order in which initData uses their replies: the
    // connection state's handling asks for the station information before the level is
    // taken, and initData asks for it once more before the ready check.
    m_battPowerQuery.send();
    m_readyQuery.send();
    m_enableQuery.send();
    m_wlanConnectionQuery.send();
    m_stationInfoQueries[0].send();
    m_wlanLevelQuery.send();
    m_stationInfoQueries[1].send();
    m_readyCheckQuery.send();
}

void MainWindow::initDBus()
{
    takeSystemReplies();
    takeWlanReplies();
}

void MainWindow::takeSystemReplies()
{
    QDBusMessage reply = m_battPowerQuery.take();
    if (succeeded(reply, 1))
        fbatteryPower(reply.arguments().at(0).toInt());
    reply = m_readyQuery.take();
    if (succeeded(reply, 2))
        freadychanged(reply.arguments().at(0).toInt(), reply.arguments().at(1).toInt());
    reply = m_enableQuery.take();
    if (succeeded(reply, 1))
        ftoolenable(reply.arguments().at(0).toInt());
}

void MainWindow::takeWlanReplies()
{
    QDBusMessage reply = m_wlanConnectionQuery.take();
    if (succeeded(reply, 1))
        wlanConnectionChanged(reply.arguments().at(0).toInt());
    reply = m_wlanLevelQuery.take();
    if (succeeded(reply, 1))
        wlanLevelChanged(reply.arguments().at(0).toInt());
}

// ---- signals of the GUI interface

void MainWindow::jobabort()
{
    GuiService::sendSignal(QStringLiteral("jobabort"));
}

void MainWindow::jobselected(int jobnr)
{
    GuiService::sendSignal(QStringLiteral("jobselected"), { jobnr });
}

void MainWindow::prgselected(int prgnr)
{
    GuiService::sendSignal(QStringLiteral("prgselected"), { prgnr });
}

void MainWindow::sendResConnStatus(int state)
{
    GuiService::sendSignal(QStringLiteral("currentResConnState"), { state });
}

void MainWindow::sendScanBtnPressed(int button)
{
    GuiService::sendSignal(QStringLiteral("scanbuttonpressed"), { button });
}

void MainWindow::sendOperationMode(int mode)
{
    GuiService::sendSignal(QStringLiteral("currentOperationMode"), { mode });
}

// ---- methods of the GUI interface

void MainWindow::fpopupString(QString header, QString text, int timer, int waitforack)
{
    // The tool becomes unready before a popup that must be acknowledged appears.
    if (waitforack == 1)
        disableScrewdriver();
    callRoot("popupString", { InputLimits::cap(header, InputLimits::MaxText), InputLimits::cap(text, InputLimits::MaxText),
                              timer, waitforack, QString(), QString() });
}

void MainWindow::fjobdisplaymsg(QString header, QString text)
{
    callRoot("jobDisplayMsg", { InputLimits::cap(header, InputLimits::MaxText), InputLimits::cap(text, InputLimits::MaxText) });
}

void MainWindow::fclosepopupString()
{
    callRoot("closepopupString", { -1 });
}

void MainWindow::fclosejobdisplaymsg()
{
    callRoot("closejobdisplaymsg", { -1 });
}

void MainWindow::ftestMode(bool power)
{
    callRoot("setTestMode", { power });
}

void MainWindow::ftestModeText(int field, QString color, QString bgColor, int size, QString text)
{
    using namespace InputLimits;
    callRoot("setTestViewText", { field, cap(color, MaxName), cap(bgColor, MaxName), size, cap(text, MaxText) });
}

void MainWindow::ftestModeProgressBar(int progress)
{
    callRoot("setTestViewProgress", { progress });
}

bool MainWindow::getFccTestMode()
{
    return m_fccTestMode;
}

void MainWindow::setFccTestMode(bool active)
{
    m_fccTestMode = active;
    callRoot("setFccTestMode", { active });
}

void MainWindow::fresetresult()
{
    callRoot("resetResult");
}

void MainWindow::fdisplayscanicon(int button)
{
    QMutexLocker lock(&m_stateMutex);
    SystemLog::debug(QStringLiteral("fdisplayscanicon %1").arg(button));
    callRoot("displayscanicon", { button });
}

void MainWindow::fhidescanicon()
{
    QMutexLocker lock(&m_stateMutex);
    callRoot("hidescanicon");
}

void MainWindow::fshownokackpopup(int prgnr)
{
    QMutexLocker lock(&m_stateMutex);
    callRoot("checkIfNokAckPopupToShow", { prgnr });
}

void MainWindow::fpruefsoftwarestarted(bool active)
{
    m_testSoftware = active;
}

// ---- battery, ready state, enable, identification code

void MainWindow::fbatteryPower(int power)
{
    if (m_testSoftware)
        return;
    QMutexLocker lock(&m_stateMutex);
    callRoot("batteryPower", { power });
}

void MainWindow::fbatteryStatus(int status)
{
    if (m_testSoftware)
        return;
    QMutexLocker lock(&m_stateMutex);
    callRoot("batteryStatus", { status });
}

void MainWindow::fbatteryCountDown(int count)
{
    if (m_testSoftware)
        return;
    QMutexLocker lock(&m_stateMutex);
    callRoot("batteryCountDown", { count });
}

void MainWindow::freadychanged(int ist, int soll)
{
    QMutexLocker lock(&m_stateMutex);
    callRoot("setReady", { ist == soll });
}

void MainWindow::ftoolenable(int en)
{
    QMutexLocker lock(&m_stateMutex);
    callRoot("setEnable", { en > 0 });
}

void MainWindow::newIdcode(int first, int second, QString code)
{
    QMutexLocker lock(&m_stateMutex);
    if (first == second)
        callRoot("newIdcode", { InputLimits::cap(code, InputLimits::MaxCode) });
}

// ---- ready flags at the system service

void MainWindow::setAkkuReady()
{
    ToolServices::post(ToolServices::System, QStringLiteral("frdyflagset"), { BatteryReadyFlag });
}

void MainWindow::akkuNotReady()
{
    ToolServices::post(ToolServices::System, QStringLiteral("frdyflagreset"), { BatteryReadyFlag });
}

void MainWindow::setGuiReady()
{
    m_guiReady = true;
    ToolServices::post(ToolServices::System, QStringLiteral("frdyflagset"), { GuiReadyFlag });
}

void MainWindow::disableScrewdriver()
{
    m_guiReady = false;
    // The only flag call that waits (within the bound): the tool is to be unready before the
    // popup that asks for an acknowledgement appears.
    ServiceProxy(ToolServices::System).call(QStringLiteral("frdyflagreset"), { GuiReadyFlag });
}

void MainWindow::enableScrewdriver()
{
    m_guiReady = true;
    // Only proves that the system service answers; the values are not looked at.
    const QDBusMessage reply = m_readyCheckQuery.take();
    if (!succeeded(reply)) {
        SystemLog::error(QStringLiteral("SysService.frdyget not possible: ") + reply.errorName() + QStringLiteral(", ") + reply.errorMessage());
        return;
    }
    setGuiReady();
}

// ---- a tool service that starts again

// A new owner of a service's name knows nothing of the GUI: it gets what the start-up gave
// its predecessor. The replies of each batch share one time-out, so a new owner that hangs
// holds the display for ReplyTimeoutMs at most.
void MainWindow::toolServiceOwnerChanged(const QString& name, const QString&, const QString& newOwner)
{
    if (newOwner.isEmpty())
        return;
    SystemLog::info(name + QStringLiteral(" has a new owner"));
    if (name == QLatin1String(ToolServices::System.name)) {
        m_battPowerQuery.send();
        m_readyQuery.send();
        m_enableQuery.send();
        if (m_guiReady)
            m_readyCheckQuery.send();
        takeSystemReplies();
        // The GUI's ready flag as the GUI last left it (no popup waits on this clearing).
        if (m_guiReady)
            enableScrewdriver();
        else
            ToolServices::post(ToolServices::System, QStringLiteral("frdyflagreset"), { GuiReadyFlag });
    } else if (name == QLatin1String(ToolServices::Wlan.name)) {
        m_wlanConnectionQuery.send();
        m_wlanLevelQuery.send();
        takeWlanReplies();
    }
}

// ---- operation mode

void MainWindow::setOperationMode(int mode, int trgSrc, int trgVal)
{
    // The scene shows the new mode only once the system service confirms it; no answer in
    // time counts as a failure.
    const QDBusMessage reply = ServiceProxy(ToolServices::System).call(QStringLiteral("fsetoperationmode"), { mode, trgSrc, trgVal });
    if (!succeeded(reply))
        SystemLog::error(QStringLiteral("Set operation mode failed"));
}

void MainWindow::fsetoperationmode(int mode, int prgallow, int joballow)
{
    {
        QMutexLocker lock(&m_stateMutex);
        callRoot("updateOperationMode", { mode, prgallow, joballow });
    }
    sendOperationMode(mode);
}

void MainWindow::fsetopmodemenuentry(QString name, int active)
{
    QMutexLocker lock(&m_stateMutex);
    // The scene keeps every entry it is told about: only a bounded set of names gets there.
    if (m_opModeEntries.admit(name))
        callRoot("checkAllowedModes", { name, active });
}

void MainWindow::checkAllowedModes()
{
    const QString manualJobs = DevicePaths::map(QString::fromLatin1(DevicePaths::JobDir) + QStringLiteral("/2"));
    const bool allowed = QDir(manualJobs).exists() && getAllowManOp();
    if (m_opModeEntries.admit(QStringLiteral("showmanop")))
        callRoot("checkAllowedModes", { QStringLiteral("showmanop"), allowed });
}
