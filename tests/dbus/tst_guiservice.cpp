// The GUI's D-Bus interface and its clients of the tool services, with the real host window
// on a private bus and the simulated tool as the peer process.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QQuickItem>
#include <QtTest>

#include <unistd.h>

#include "dbustestbench.h"
#include "interfacedescription.h"
#include "mainwindow.h"
#include "systemlog.h"
#include "testsupport.h"

class TestGuiService : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void onNamedResConnState() { ++m_namedResConnStates; }

private:
    QStringList calls() const { return DBusTestBench::sceneCalls(*m_window); }
    int mark() const { return calls().size(); }
    QStringList callsSince(int from) const { return calls().mid(from); }
    bool sceneGets(const QString& entry, int from)
    {
        return waitUntil([&] { return callsSince(from).contains(entry); }, 10000);
    }
    bool signalSeen(const QString& entry, int from)
    {
        return waitUntil([&] { return m_bench->guiSignals().mid(from).contains(entry); }, 10000);
    }
    static bool ok(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

    TempSysroot* m_root = nullptr;
    PrivateBus m_bus;
    DBusTestBench* m_bench = nullptr;
    MainWindow* m_window = nullptr;
    QStringList m_startupSimCalls;
    int m_namedResConnStates = 0;

private Q_SLOTS:
    void initTestCase()
    {
        m_root = new TempSysroot;
        QVERIFY(m_root->isValid());
        // The bus must exist before anything in this process touches it.
        QVERIFY(m_bus.isRunning());
        m_bench = new DBusTestBench(m_bus.address());
        QVERIFY(m_bench->connection().isConnected());
        QVERIFY2(m_bench->startSimulator(m_root->root()), qPrintable(m_bench->simulatorOutput()));
        // A peer that listens to the GUI by its name.
        m_bench->connection().connect(QStringLiteral("com.velmar.akku.GUIService"), QStringLiteral("/GUI"),
            QStringLiteral("com.velmar.akku.gui"), QStringLiteral("currentResConnState"), this, SLOT(onNamedResConnState()));

        m_window = new MainWindow(nullptr, QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")));
        QVERIFY(m_window->rootItem());
        m_startupSimCalls = m_bench->simCalls();
    }

    void cleanupTestCase()
    {
        delete m_window;
        delete m_bench;
        delete m_root;
    }

    // Start-up asks the system and WLAN services in this order (the scene's handling of the
    // connection state asks for the station information first), and sets the GUI ready flag
    // once the system service has answered "frdyget". The scene's first connection state goes
    // out under the GUI's name, so that a peer listening by that name gets it.
    void startupQueries()
    {
        QVERIFY(QDBusConnection::systemBus().interface()->isServiceRegistered(QStringLiteral("com.velmar.akku.GUIService")).value());
        QVERIFY(waitUntil([this] { return m_namedResConnStates == 1; }));
        const QStringList expected { "fbattpowerget", "frdyget", "ftoolenableget", "fReqGetConnectionStatus", "fReqStationInfo",
            "fReqGetRssiLevel", "fReqStationInfo", "frdyget", "frdyflagset 7" };
        int at = 0;
        for (const QString& c : m_startupSimCalls)
            if (at < expected.size() && c == expected.at(at))
                ++at;
        QVERIFY2(at == expected.size(), qPrintable(m_startupSimCalls.join(QLatin1String(" | "))));

        // The answers reached the scene.
        for (const char* answer : { "^batteryPower ", "^setReady ", "^setEnable " })
            QVERIFY2(!calls().filter(QRegularExpression(QLatin1String(answer))).isEmpty(), answer);
    }

    // The information screen's refresh asks for the station information without waiting, and
    // without asking for a reply: neither the service nor the GUI wakes for one.
    void stationInfoWithoutReply()
    {
        const int from = m_bench->simCalls().size();
        m_window->requestStationInfo();
        QVERIFY(waitUntil([&] { return m_bench->simCalls().mid(from).contains(QStringLiteral("fReqStationInfo no reply")); }));
    }

    // What another process sees on "/GUI" is the interface description, in its order.
    void introspection()
    {
        const QDBusMessage reply = m_bench->call(QStringLiteral("com.velmar.akku.GUIService"), QStringLiteral("/GUI"),
            QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
        QVERIFY(ok(reply));
        QFile file(QStringLiteral(NG_GUI_INTERFACE_XML));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString iface = QStringLiteral("com.velmar.akku.gui");
        QCOMPARE(interfaceMembers(reply.arguments().value(0).toString(), iface), interfaceMembers(QString::fromUtf8(file.readAll()), iface));
    }

    // The GUI ready flag is cleared at the system service before a popup that waits for an
    // acknowledgement reaches the scene; one that does not leaves the flag alone.
    void popups()
    {
        m_bench->clearSimCalls();
        QStringList simCallsAtPopup;
        bool popupSeen = false;
        m_bench->watchScene(*m_window, [&](const QString& entry) {
            if (entry.startsWith(QLatin1String("popupString "))) {
                popupSeen = true;
                simCallsAtPopup = m_bench->simCalls();
            }
        });
        const int from = mark();
        const QDBusMessage reply = m_bench->callGui(QStringLiteral("fpopupString"),
            { QStringLiteral("Achtung"), QStringLiteral("Bitte bestätigen"), 5, 1 });
        m_bench->watchScene(*m_window, nullptr);
        QVERIFY(ok(reply));
        QVERIFY(reply.arguments().isEmpty());
        QVERIFY(popupSeen);
        QVERIFY2(simCallsAtPopup.contains(QStringLiteral("frdyflagreset 7")), qPrintable(simCallsAtPopup.join(QLatin1String(" | "))));

        const QStringList since = callsSince(from);
        const auto popup = std::find_if(since.begin(), since.end(), [](const QString& c) { return c.startsWith(QLatin1String("popupString ")); });
        QVERIFY(popup != since.end());
        // The scene gets texts as texts and numbers as numbers, with empty code and class texts.
        QStringList args;
        for (const QVariant& a : DBusTestBench::sceneArgs(*m_window, from + int(popup - since.begin())))
            args << QString::fromLatin1(a.typeName()) + QLatin1Char(':') + a.toString();
        QCOMPARE(args, QStringList({ "QString:Achtung", "QString:Bitte bestätigen", "int:5", "int:1", "QString:", "QString:" }));

        // The system service answers the cleared flag; the ready light follows.
        QVERIFY(sceneGets(QStringLiteral("setReady false"), from));
        const int beforeReady = mark();
        m_window->setGuiReady();
        QVERIFY(m_bench->simCalls().contains(QStringLiteral("frdyflagset 7")));
        // Its answer, too, before the next case looks at the scene.
        QVERIFY(waitUntil([&] { return !callsSince(beforeReady).filter(QRegularExpression(QStringLiteral("^setReady "))).isEmpty(); }));

        m_bench->clearSimCalls();
        const int later = mark();
        QVERIFY(ok(m_bench->callGui(QStringLiteral("fpopupString"), { QStringLiteral("Info"), QStringLiteral("Text"), 0, 2 })));
        QCOMPARE(callsSince(later).filter(QRegularExpression(QStringLiteral("^popupString "))), QStringList { QStringLiteral("popupString Info Text 0 2  ") });
        QCOMPARE(m_bench->simCalls(), QStringList());
    }

    void forwarders_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("scene");

        QTest::newRow("fjobdisplaymsg") << "fjobdisplaymsg" << QVariantList { "Job 3", "Schraube 2 von 5" } << "jobDisplayMsg Job 3 Schraube 2 von 5";
        QTest::newRow("fclosejobdisplaymsg") << "fclosejobdisplaymsg" << QVariantList {} << "closejobdisplaymsg -1";
        QTest::newRow("fclosepopupString") << "fclosepopupString" << QVariantList {} << "closepopupString -1";
        QTest::newRow("fresetresult") << "fresetresult" << QVariantList {} << "resetResult";
        QTest::newRow("fupdateprgnr") << "fupdateprgnr" << QVariantList { 7 } << "updatePrgnr 7";
        QTest::newRow("fupdateprgnr none") << "fupdateprgnr" << QVariantList { -88 } << "updatePrgnr -1";
        QTest::newRow("ftestMode") << "ftestMode" << QVariantList { true } << "setTestMode true";
        QTest::newRow("ftestModeText") << "ftestModeText" << QVariantList { 2, "#ff0000", "black", 14, "Motor" }
                                       << "setTestViewText 2 #ff0000 black 14 Motor";
        QTest::newRow("ftestModeProgressBar") << "ftestModeProgressBar" << QVariantList { 40 } << "setTestViewProgress 40";
        QTest::newRow("fdisplayscanicon") << "fdisplayscanicon" << QVariantList { 2 } << "displayscanicon 2";
        QTest::newRow("fhidescanicon") << "fhidescanicon" << QVariantList {} << "hidescanicon";
        QTest::newRow("fshownokackpopup") << "fshownokackpopup" << QVariantList { 5 } << "checkIfNokAckPopupToShow 5";
        QTest::newRow("fsetopmodemenuentry") << "fsetopmodemenuentry" << QVariantList { "showmanop", 1 } << "checkAllowedModes showmanop 1";
        QTest::newRow("setFccTestMode") << "setFccTestMode" << QVariantList { true } << "setFccTestMode true";
        QTest::newRow("fpruefsoftwarestarted") << "fpruefsoftwarestarted" << QVariantList { false } << "";
        QTest::newRow("fResServiceConChanged") << "fResServiceConChanged" << QVariantList { "OpenProtocol", 1 } << "";
        QTest::newRow("fResServiceDiagDataChanged") << "fResServiceDiagDataChanged"
                                                    << QVariantList { "/var/run/diag/res_services/OpenProtocol.json" } << "";
    }

    // Each method is answered with an empty reply after the scene got its call.
    void forwarders()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, args);
        QFETCH(QString, scene);
        SystemLog::startCapture();
        const int from = mark();
        const QDBusMessage reply = m_bench->callGui(method, args);
        const QStringList log = SystemLog::capturedLines();
        SystemLog::stopCapture();
        QVERIFY2(ok(reply), qPrintable(reply.errorMessage()));
        QVERIFY(reply.arguments().isEmpty());
        if (!scene.isEmpty())
            QVERIFY2(callsSince(from).contains(scene), qPrintable(callsSince(from).join(QLatin1String(" | "))));
        if (method == QLatin1String("fdisplayscanicon"))
            QVERIFY(log.contains(QStringLiteral("<7>fdisplayscanicon 2")));
    }

    // The FCC test mode set by another process is what it reads back; nothing is announced.
    // setNice answers with the nice value after the step (what the step does is tst_mainwindow's).
    void fccTestModeAndNice()
    {
        const int signalsFrom = m_bench->guiSignals().size();
        const int from = mark();
        QDBusMessage reply = m_bench->run({ QStringLiteral("fcc"), QStringLiteral("1") });
        QVERIFY2(ok(reply), qPrintable(reply.errorMessage()));
        QVERIFY(sceneGets(QStringLiteral("setFccTestMode true"), from));
        reply = m_bench->run({ QStringLiteral("getfcc") });
        QVERIFY(ok(reply));
        QCOMPARE(reply.arguments().value(0).toString(), QStringLiteral("true"));

        QVERIFY(ok(m_bench->callGui(QStringLiteral("setFccTestMode"), { false })));
        reply = m_bench->callGui(QStringLiteral("getFccTestMode"));
        QVERIFY(ok(reply));
        QCOMPARE(reply.signature(), QStringLiteral("b"));
        QCOMPARE(reply.arguments().value(0).toBool(), false);
        QCOMPARE(m_window->getFccTestMode(), false);
        const int nice = ::nice(0);
        reply = m_bench->callGui(QStringLiteral("setNice"), { 0 });
        QVERIFY(ok(reply));
        QCOMPARE(reply.signature(), QStringLiteral("i"));
        QCOMPARE(reply.arguments().value(0).toInt(), nice);

        // A signal of the GUI sent now arrives after any that the calls above could have sent.
        m_window->prgselected(201);
        QVERIFY(signalSeen(QStringLiteral("prgselected 201"), signalsFrom));
        for (const QString& s : m_bench->guiSignals().mid(signalsFrom))
            QVERIFY2(!s.startsWith(QLatin1String("fccTestModeChanged")), qPrintable(s));
    }

    // Each GUI signal leaves "/GUI" with its interface, name and arguments.
    void guiSignals()
    {
        const int from = m_bench->guiSignals().size();
        m_window->jobselected(3);
        m_window->prgselected(12);
        m_window->sendResConnStatus(-1);
        m_window->sendScanBtnPressed(2);
        m_window->jobabort();
        m_window->sendOperationMode(2);
        const QStringList expected { "jobselected 3", "prgselected 12", "currentResConnState -1", "scanbuttonpressed 2", "jobabort",
            "currentOperationMode 2" };
        QVERIFY(waitUntil([&] { return m_bench->guiSignals().size() >= from + expected.size(); }));
        QCOMPARE(m_bench->guiSignals().mid(from, expected.size()), expected);
        for (const QDBusMessage& m : m_bench->guiSignalMessages().mid(from, expected.size())) {
            QCOMPARE(m.type(), QDBusMessage::SignalMessage);
            QCOMPARE(m.path(), QStringLiteral("/GUI"));
            QCOMPARE(m.interface(), QStringLiteral("com.velmar.akku.gui"));
            QCOMPARE(m.signature(), m.member() == QLatin1String("jobabort") ? QString() : QStringLiteral("i"));
            QVERIFY(m.service().startsWith(QLatin1Char(':')));
        }
    }

    // The ready state (ist against soll) and the tool's enable reach the lights.
    void readyAndEnable()
    {
        const QList<QPair<QStringList, QString>> steps {
            { { "ready", "3", "3" }, "setReady true" }, { { "ready", "1", "3" }, "setReady false" },
            { { "enable", "-1" }, "setEnable false" }, { { "enable", "2" }, "setEnable true" },
        };
        for (const auto& step : steps) {
            const int from = mark();
            QVERIFY(ok(m_bench->run(step.first)));
            QVERIFY2(sceneGets(step.second, from), qPrintable(step.second));
        }
    }

    // Only a code whose two leading numbers agree reaches the scene, and unchanged.
    void identificationCode()
    {
        const int from = mark();
        QVERIFY(ok(m_bench->run({ "idcode", "FIRST", "1", "2" })));
        const QString code = QStringLiteral("VIN 4711-ü");
        QVERIFY(ok(m_bench->run({ QStringLiteral("idcode"), code, QStringLiteral("2"), QStringLiteral("2") })));
        QVERIFY(sceneGets(QStringLiteral("newIdcode ") + code, from));
        const QStringList since = callsSince(from);
        QVERIFY2(since.filter(QRegularExpression(QStringLiteral("^newIdcode FIRST"))).isEmpty(), qPrintable(since.join(QLatin1String(" | "))));
        QCOMPARE(DBusTestBench::sceneArgs(*m_window, from + since.indexOf(QStringLiteral("newIdcode ") + code)), QVariantList { code });
    }

    // While the test software runs, battery reports do not reach the scene.
    void testSoftwareBlocksBattery()
    {
        QVERIFY(ok(m_bench->run({ QStringLiteral("pruefsoftware"), QStringLiteral("1") })));
        QVERIFY(waitUntil([&] { return m_window->testSoftwareActive(); }));
        int from = mark();
        QVERIFY(ok(m_bench->run({ "battery", "power=40", "status=2", "countdown=9" })));
        // Signals of one sender arrive in order: once this one is in, the battery ones were handled.
        QVERIFY(ok(m_bench->run({ "enable", "3" })));
        QVERIFY(sceneGets(QStringLiteral("setEnable true"), from));
        QVERIFY2(callsSince(from).filter(QRegularExpression(QStringLiteral("^battery"))).isEmpty(),
                 qPrintable(callsSince(from).join(QLatin1String(" | "))));

        QVERIFY(ok(m_bench->callGui(QStringLiteral("fpruefsoftwarestarted"), { false })));
        from = mark();
        QVERIFY(ok(m_bench->run({ "battery", "power=41", "status=3", "countdown=8" })));
        for (const char* entry : { "batteryPower 41", "batteryStatus 3", "batteryCountDown 8" })
            QVERIFY2(sceneGets(QLatin1String(entry), from), entry);
    }

    // The scene asks for manual operation; the GUI shows it once the system service confirms it.
    void operationModeRoundTrip()
    {
        m_bench->clearSimCalls();
        const int from = mark();
        const int signalsFrom = m_bench->guiSignals().size();
        int signalsAtUpdate = -1;
        m_bench->watchScene(*m_window, [&](const QString& entry) {
            if (entry.startsWith(QLatin1String("updateOperationMode")))
                signalsAtUpdate = m_bench->guiSignals().size();
        });
        SystemLog::startCapture();
        m_window->setOperationMode(2, 0, 1);
        const QStringList log = SystemLog::capturedLines();
        SystemLog::stopCapture();
        QVERIFY(!log.contains(QStringLiteral("<3>Set operation mode failed")));
        // Nothing is shown before the confirmation, which carries the service's own
        // program and job permissions.
        const auto updates = [&] {
            return callsSince(from).filter(QRegularExpression(QStringLiteral("^updateOperationMode ")));
        };
        QVERIFY(updates().isEmpty());
        QVERIFY(m_bench->simCalls().contains(QStringLiteral("fsetoperationmode 2 0 1")));
        QVERIFY(waitUntil([&] { return !updates().isEmpty(); }));
        QVERIFY2(updates().first().startsWith(QLatin1String("updateOperationMode 2 ")), qPrintable(updates().first()));
        QVERIFY(signalSeen(QStringLiteral("currentOperationMode 2"), signalsFrom));
        m_bench->watchScene(*m_window, nullptr);
        QCOMPARE(signalsAtUpdate, signalsFrom);

        // The service's own change is shown and announced at once.
        const int later = mark();
        const int laterSignals = m_bench->guiSignals().size();
        QVERIFY(ok(m_bench->callGui(QStringLiteral("fsetoperationmode"), { 2, 1, 0 })));
        QVERIFY(callsSince(later).contains(QStringLiteral("updateOperationMode 2 1 0")));
        QVERIFY(signalSeen(QStringLiteral("currentOperationMode 2"), laterSignals));
    }

    // Manual operation is offered only with the job directory "2" and "gui/showmanop" set.
    void allowedModes()
    {
        const QString showmanop = QStringLiteral("/var/run/diag/gui/showmanop");
        const QString jobs2 = QStringLiteral("/home/tool/config/jobs/2");
        struct Case { bool dir; QByteArray flag; bool allowed; };
        const Case cases[] = { { false, "1", false }, { true, "0", false }, { true, "", false }, { true, "1", true } };
        for (const Case& c : cases) {
            m_root->remove(jobs2);
            if (c.dir)
                QVERIFY(m_root->mkdir(jobs2));
            QVERIFY(m_root->write(showmanop, c.flag));
            const int from = mark();
            QVERIFY(QMetaObject::invokeMethod(m_window, "checkAllowedModes"));
            QCOMPARE(callsSince(from).filter(QRegularExpression(QStringLiteral("^checkAllowedModes "))),
                QStringList { QStringLiteral("checkAllowedModes showmanop ") + (c.allowed ? "true" : "false") });
        }
        m_root->remove(jobs2);
    }

    // A service that takes its name again gets the start-up's queries once more, in their
    // order, and the system service the GUI's ready flag it forgot; each restart is logged once.
    void serviceRestarts()
    {
        const auto simSays = [this](const QStringList& args) { return m_bench->run(args).arguments().value(0).toString(); };
        m_window->setGuiReady();
        QVERIFY(waitUntil([&] { return simSays({ QStringLiteral("readyflags") }).contains(QLatin1String("gui 1")); }));
        struct Case { const char* service; const char* name; QStringList queries; };
        const Case cases[] = {
            { "sys", "com.velmar.akku.SysService", { "fbattpowerget", "frdyget", "ftoolenableget", "frdyget", "frdyflagset 7" } },
            { "wlan", "com.velmar.akku.WlanService", { "fReqGetConnectionStatus", "fReqGetRssiLevel" } },
        };
        for (const Case& c : cases) {
            m_bench->clearSimCalls();
            SystemLog::startCapture();
            QCOMPARE(simSays({ QStringLiteral("restart"), QLatin1String(c.service) }), QStringLiteral("ok"));
            QVERIFY(waitUntil([&] { return m_bench->simCalls().size() >= c.queries.size(); }));
            const QStringList log = SystemLog::capturedLines();
            SystemLog::stopCapture();
            QCOMPARE(m_bench->simCalls().filter(QRegularExpression(QStringLiteral("^f"))), c.queries);
            QCOMPARE(log.filter(QLatin1String(c.name)).size(), 1);
        }
        QVERIFY(simSays({ QStringLiteral("readyflags") }).contains(QLatin1String("gui 1")));
    }
};

QTEST_MAIN(TestGuiService)
#include "tst_guiservice.moc"
