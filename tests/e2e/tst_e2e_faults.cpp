// The real program on a real X server against the simulated tool: the fault road with the
// operator's acknowledgement on the left key, a fault pending before the start, and the
// display following a language change made on the tool.
#include <QDateTime>
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"
#include "xserver.h"

using namespace Grab;

namespace {

int whitePixels(const QImage& img, const QRect& r) { return count(img, r, isWhite); }

// A fault popup: the title where the header was, "Ack" on the left key, "OK" in the middle.
bool faultPopup(const QImage& i)
{
    return i.size() == QSize(240, 320) && !headerShown(i) && whitePixels(i, QRect(0, 14, 240, 52)) > 150
        && whitePixels(i, QRect(5, 295, 60, 20)) > 10 && whitePixels(i, QRect(90, 295, 60, 20)) > 10;
}

// The popup's texts, from its title down to the bar.
const QRect PopupArea(0, 14, 240, 276);

} // namespace

class TestEndToEndFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void faultRoad();
    void pendingFaultAtStart();
    void languageFromTheTool();

private:
    bool startGui() { return m_x->startGui(*m_run); }
    QImage grabUntil(const std::function<bool(const QImage&)>& pred) { return m_x->grabUntil(pred, true); }

    PrivateBus m_bus;
    XServer* m_x = nullptr;
    GuiRun* m_run = nullptr;
    qint64 m_started = 0;
};

void TestEndToEndFaults::initTestCase()
{
    QVERIFY(m_bus.isRunning());
}

void TestEndToEndFaults::init()
{
    m_started = QDateTime::currentSecsSinceEpoch();
    m_x = new XServer(QSize(240, 320));
    QVERIFY(m_x->isRunning());
    m_run = new GuiRun;
    QVERIFY(m_run->startSimulator());
    QVERIFY(setGlobal(*m_run, QStringLiteral("language"), QStringLiteral("de")));
}

void TestEndToEndFaults::cleanup()
{
    delete m_run;
    m_run = nullptr;
    delete m_x;
    m_x = nullptr;
}

// Two faults; Ack on the left key acknowledges the one on display at the system service,
// which logs it, confirms, and the earlier fault comes back; the second Ack ends the road on
// the working screen.
void TestEndToEndFaults::faultRoad()
{
    QVERIFY(startGui());
    QVERIFY2(headerShown(grabUntil(headerShown)), qPrintable(m_run->guiLog().right(2000)));

    QCOMPARE(m_run->ctl({ "fault", "17", "3" }), QStringLiteral("139"));
    const QImage first = grabUntil(faultPopup);
    save(first, "fault-17-de");
    QVERIFY(faultPopup(first));
    QVERIFY(whitePixels(first, QRect(20, 105, 200, 55)) > 80);  // "Code: 17", "Klasse: 3"
    QVERIFY(whitePixels(first, QRect(12, 180, 216, 60)) > 80);  // "Motortemperatur zu hoch"

    QVERIFY(!m_run->ctl({ "fault", "23", "3" }).isNull());
    const QImage second = grabUntil([&](const QImage& i) { return faultPopup(i) && differing(i, first, PopupArea) > 300; });
    save(second, "fault-23-de");
    QVERIFY(differing(second, first, PopupArea) > 300);

    // Ack: the newest fault is acknowledged, fault 17 returns exactly as it was shown.
    QVERIFY(m_x->key(QStringLiteral("Left")));
    QVERIFY(waitUntil([&] { return m_run->calls().contains(QStringLiteral("fackerrlist")); }));
    const QImage back = grabUntil([&](const QImage& i) { return differing(i, first, PopupArea) == 0; });
    save(back, "fault-17-back");
    QCOMPARE(differing(back, first, PopupArea), 0);
    QCOMPARE(m_run->ctl({ "faults" }), QStringLiteral("17/3"));

    QVERIFY(m_x->key(QStringLiteral("Left")));
    const QImage done = grabUntil(headerShown);
    save(done, "fault-road-done");
    QVERIFY(headerShown(done));
    QCOMPARE(m_run->ctl({ "faults" }), QStringLiteral("none"));
    QCOMPARE(m_run->displayActivities(m_started), QStringList({ "600", "600" }));
}

// A fault that was pending before the GUI came up is on screen after the start, in German.
void TestEndToEndFaults::pendingFaultAtStart()
{
    QCOMPARE(m_run->ctl({ "fault", "17", "3" }), QStringLiteral("139"));
    QVERIFY(startGui());
    const QImage img = grabUntil(faultPopup);
    save(img, "fault-at-start-de");
    QVERIFY2(faultPopup(img), qPrintable(m_run->guiLog().right(2000)));
    QVERIFY(whitePixels(img, QRect(20, 105, 200, 55)) > 80);
    QVERIFY(whitePixels(img, QRect(12, 180, 216, 60)) > 80);
}

// The tool changes the configured language while the main menu is shown: the menu follows
// at once, and back.
void TestEndToEndFaults::languageFromTheTool()
{
    QVERIFY(setGlobal(*m_run, QStringLiteral("language"), QStringLiteral("en")));
    QVERIFY(setGlobal(*m_run, QStringLiteral("startview"), QStringLiteral("mainmenu")));
    QVERIFY(startGui());
    const QImage english = grabUntil([](const QImage& i) { return headerShown(i) && whitePixels(i, QRect(90, 295, 60, 20)) > 30; });
    save(english, "mainmenu-en");
    const QRect menu(0, 30, 240, 260);
    QVERIFY(!m_run->ctl({ "language", "de" }).isNull());
    const QImage german = grabUntil([&](const QImage& i) { return differing(i, english, menu) > 200; });
    save(german, "mainmenu-de");
    QVERIFY(differing(german, english, menu) > 200);
    QVERIFY(!m_run->ctl({ "language", "en" }).isNull());
    QCOMPARE(differing(grabUntil([&](const QImage& i) { return differing(i, english, menu) == 0; }), english, menu), 0);
}

QTEST_MAIN(TestEndToEndFaults)
#include "tst_e2e_faults.moc"
