#include "mainwindow.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTimer>

#include <cerrno>
#include <thread>
#include <unistd.h>

#include "cardpictures.h"
#include "devicepaths.h"
#include "pictureprovider.h"
#include "promptrender.h"
#include "sceneprefetch.h"
#include "scenefonts.h"
#include "screengrabber.h"
#include "ticktimer.h"
#include "screenshots.h"
#include "systemlog.h"


MainWindow::MainWindow(QWidget* parent, const QUrl& scene)
    : QMainWindow(parent)
    , m_translator(QLatin1String(DevicePaths::LangDir))
{
    // The result database connection is created by m_results; the state mutex and the
    // tables are members and start empty.
    setCursor(Qt::BlankCursor);
    if (qEnvironmentVariableIntValue("NEWGUI_WINDOWED"))
        setFixedSize(240, 320);
    else
        setWindowState(Qt::WindowFullScreen);

    // The bus connection, the GUI's object, its subscriptions and name, and the start-up
    // queries (whose replies initData takes once the scene is there) are set up on a thread
    // of their own meanwhile: most of it is waiting for the bus.
    ConfigNotifications* configChanges = prepareDBus();
    std::thread busSetup([this, configChanges] { subscribeDBus(configChanges); });

    // Before the scene's first compilation: the scene imports the grabber's module.
    ScreenGrabber::registerType();
    TickTimer::registerType();
    // The engine comes first, so that its loader thread compiles the scene and its usual first
    // screen while the settings, translations, fonts and the bus connection are prepared. The
    // view comes after the fonts (see installSceneFonts) and keeps the engine as its child.
    auto* engine = new QQmlEngine();
    engine->rootContext()->setContextProperty(QStringLiteral("cMainWindow"), this);
    PictureProvider::install(engine);
    CardPictures::install(engine);
    QList<QUrl> prefetched { scene };
    if (scene == QUrl(QString::fromLatin1(DefaultScene)))
        prefetched.append(scene.resolved(QUrl(QStringLiteral("ActualValues.qml"))));
    const ScenePrefetch prefetch(engine, prefetched);
    loadCfg();
    m_translator.getLanguages();
    QCoreApplication::installTranslator(&m_translator);
    initExchange();
    readTorqueFactors();

    installSceneFonts();
    m_view = new QQuickWidget(engine, nullptr);
    engine->setParent(m_view);
    // The scene's grabber copies from this view (setView(cMainWindow) at start-up).
    setProperty(ScreenGrabber::ViewProperty, QVariant::fromValue<QWidget*>(m_view));
    m_view->setCursor(Qt::BlankCursor);
    // The scene may send signals under the GUI's name while it is built.
    busSetup.join();
    m_view->setSource(scene);
    setCentralWidget(m_view);
    // Each screen the body's loader gives up is released (see releaseScreen).
    if (QQuickItem* root = rootItem())
        m_body = root->findChild<QObject*>(QStringLiteral("body"));
    if (m_body) {
        connect(m_body, SIGNAL(itemChanged()), this, SLOT(watchScreen()));
        watchScreen();
    }
    renderPromptly(m_view);
    // What is out of sight at first (the header and the button bar slide in, the job display
    // shows later) is built once the first frame is on the display.
    afterFirstFrame(m_view, [this] {
        if (QQuickItem* root = rootItem())
            root->setProperty("firstFrameShown", true);
        // Then, one at a time in turns of the event loop: the program and job catalogues (the
        // start screen reads only its own program before: getPrgNumberName), and the database
        // driver, so that the first result costs what every result does.
        QTimer::singleShot(0, this, [this] {
            if (!m_prgsLoaded)
                loadPrgs();
            QTimer::singleShot(0, this, [this] {
                if (!m_jobsLoaded)
                    loadJobs();
                QTimer::singleShot(0, this, [] { ResultReader::loadDriver(); });
            });
        });
    });

    initSceneData();
}

MainWindow::~MainWindow()
{
    // The scene goes with the view, after this: its screens release nothing then.
    if (m_body) {
        for (QObject* screen : m_body->children())
            disconnect(screen, &QObject::destroyed, this, nullptr);
    }
}

void MainWindow::watchScreen()
{
    QObject* screen = m_body->property("item").value<QObject*>();
    if (!screen)
        return;
    // The loader deletes the screen it gives up later; it is released after the next frame
    // and what that frame set off (normally the frame that shows the new screen; one is asked
    // for should that have been drawn already).
    connect(screen, &QObject::destroyed, this, [this] {
        if (m_releasePending)
            return;
        m_releasePending = true;
        afterFirstFrame(m_view, [this] { QTimer::singleShot(0, this, &MainWindow::releaseScreen); });
        m_view->update();
    });
}

// A screen given up leaves its script objects, and through them its compiled types (each
// screen's file linked to the engine, its property caches and functions), until the script
// engine collects its garbage, which it does only when its own heap is full. Collected and
// dropped at once, the next screen is built in the room they leave instead of the heap growing
// by every screen visited; coming back to a screen takes its types from the program again.
// This runs once the frame that shows the new screen is drawn, not before it.
void MainWindow::releaseScreen()
{
    m_releasePending = false;
    if (QQmlEngine* engine = m_view ? m_view->engine() : nullptr) {
        engine->collectGarbage();
        engine->trimComponentCache();
    }
}

QQuickItem* MainWindow::rootItem() const
{
    return m_view ? m_view->rootObject() : nullptr;
}

void MainWindow::callRoot(const char* function, const QVariantList& args)
{
    QQuickItem* root = rootItem();
    if (!root || args.size() > 10)
        return;
    // Script functions of the root take untyped (variant) parameters.
    QByteArray signature(function);
    signature += '(';
    for (int i = 0; i < args.size(); ++i)
        signature += i ? ",QVariant" : "QVariant";
    signature += ')';
    const int index = root->metaObject()->indexOfMethod(signature.constData());
    if (index < 0)
        return;
    const QMetaMethod method = root->metaObject()->method(index);
    QGenericArgument a[10];
    for (int i = 0; i < args.size(); ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    method.invoke(root, Qt::AutoConnection, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
}

void MainWindow::initData()
{
    loadPrgs();
    loadJobs();
    initSceneData();
}

void MainWindow::initSceneData()
{
    initDBus();
    loadFccTestMode();
    setWlanConnectionActiveFlag();
    // The start screen is fresh: a good battery need not pass through the popup screen.
    if (QQuickItem* root = rootItem())
        root->setProperty("startingUp", true);
    fbatteryStatus(getBattStatus().toInt());
    if (QQuickItem* root = rootItem())
        root->setProperty("startingUp", false);
    fbatteryPower(getBattPower().toInt());
    ftoolenable(getEnable());
    int fclass = -1;
    int code = -1;
    getSysfaultTwoInts(fclass, code);
    updatePrgnr(getPrgnr(), code);
    fsysfault(code, fclass, 0);
    callRoot("setSSID", { getSSID() });
    callRoot("setBSSID", { getBSSID() });
    // Without a connection state the first request was not taken; later ones are fresh.
    m_stationInfoTaken = 2;
    getInitialIDcode();
    m_diag.resetConnectionStates();
    getInitResConStates();
    enableScrewdriver();
    m_testSoftware = false;
    checkAllowedModes();
}

int MainWindow::setNice(int incr)
{
    // The kernel knows nice values -20..19; a larger step only saturates, and an unclamped
    // one overflows in the C library's sum (INT_MAX at 5 would give -20).
    constexpr int Span = 40;
    incr = qBound(-Span, incr, Span);
    errno = 0;
    const int value = ::nice(incr);
    if (errno == 0) {
        SystemLog::debug(QString::asprintf("Current nice is %d", value));
        return value;
    }
    SystemLog::error(QString::asprintf("Set nice failed with errno %d", errno));
    return 100;
}

bool MainWindow::enableResults()
{
    return ResultReader::resultShown();
}

// The scene's own log lines are accepted and discarded.
void MainWindow::syslogDebug(QString) {}
void MainWindow::syslogError(QString) {}
void MainWindow::logToSys(QString) {}
