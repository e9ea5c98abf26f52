// The real program, offscreen, against the simulated tool: what the operator sees.
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"

using namespace Grab;

namespace {

bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

bool isYellow(QRgb c) { return qRed(c) > 180 && qGreen(c) > 150 && qBlue(c) < 110; }

int whitePixels(const QImage& img, const QRect& r) { return count(img, r, isWhite); }

// Header and bar have slid in after start-up.
bool settled(const QImage& i) { return headerShown(i) && whitePixels(i, QRect(90, 295, 60, 20)) > 30; }

const QRgb OkColour = qRgb(0x66, 0xff, 0x33);
const QRgb NokColour = qRgb(0xff, 0x00, 0x00);

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void headerAndBar_data();
    void headerAndBar();
    void nokResultBlinksOkResultSteady();

private:

    PrivateBus m_bus;
    GuiRun* m_run = nullptr;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(m_bus.isRunning());
}

void TestEndToEnd::init()
{
    m_run = new GuiRun;
    QVERIFY(m_run->startSimulator());
}

void TestEndToEnd::cleanup()
{
    delete m_run;
    m_run = nullptr;
}

void TestEndToEnd::headerAndBar_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QRgb>("statusBackground");
    QTest::newRow("blue") << QStringLiteral("blue") << qRgb(0xec, 0xec, 0xec);
    QTest::newRow("black") << QStringLiteral("black") << qRgb(0x00, 0x00, 0x00);
}

// Header (battery, LEDs, program label) and button bar at their places, in both themes.
void TestEndToEnd::headerAndBar()
{
    QFETCH(QString, theme);
    QFETCH(QRgb, statusBackground);
    QVERIFY(setGlobal(*m_run, QStringLiteral("theme"), theme));
    QVERIFY(m_run->startGui());
    QVERIFY(!m_run->ctl({ "ready", "3", "3" }).isNull());
    QVERIFY(!m_run->ctl({ "battery", "power=80" }).isNull());

    QImage img = m_run->grabUntil([](const QImage& i) { return settled(i) && isGreen(ledColour(i, 150, 4)); });
    save(img, "header-" + theme);
    QCOMPARE(img.size(), QSize(240, 320));

    // Battery: outline at 10,6 (38 x 17), fill 35 x 0.8 = 28 px wide from x 12.
    QVERIFY(isWhite(img.pixel(10, 14)));
    QVERIFY(isWhite(img.pixel(20, 14)));
    QVERIFY(isWhite(img.pixel(38, 14)));
    QVERIFY(!isWhite(img.pixel(44, 14)));
    // Enable LED yellow (tool enabled), ready LED green (ist == soll).
    QVERIFY2(isYellow(ledColour(img, 127, 4)), qPrintable(QColor(ledColour(img, 127, 4)).name()));
    QVERIFY2(isGreen(ledColour(img, 150, 4)), qPrintable(QColor(ledColour(img, 150, 4)).name()));
    // Program label "P:5" right-aligned in 164..231.
    QVERIFY(whitePixels(img, QRect(200, 5, 31, 20)) > 20);
    // Actual values: the status display in the ready colour of the theme.
    QVERIFY2(near(img.pixel(3, 34), statusBackground), qPrintable(QColor(img.pixel(3, 34)).name()));
    // Button bar: "Menu" in the middle, nothing on the outer keys.
    QVERIFY(whitePixels(img, QRect(90, 295, 60, 20)) > 30);
    QCOMPARE(whitePixels(img, QRect(5, 295, 50, 20)), 0);
    QCOMPARE(whitePixels(img, QRect(185, 295, 50, 20)), 0);

    // Battery low: red fill below 20 %.
    QVERIFY(!m_run->ctl({ "battery", "power=10" }).isNull());
    img = m_run->grabUntil([](const QImage& i) { return isRed(i.pixel(13, 14)); });
    QVERIFY(isRed(img.pixel(13, 14)));
    // Not ready: the ready LED leaves green.
    QVERIFY(!m_run->ctl({ "ready", "1", "3" }).isNull());
    img = m_run->grabUntil([](const QImage& i) { return !isGreen(ledColour(i, 150, 4)); });
    QVERIFY(!isGreen(ledColour(img, 150, 4)));
}

// A NOK result with torque too high and too low (0x18): red status display and torque field,
// angle and time plain, and the inverted phase of the blink; then an OK result in green.
void TestEndToEnd::nokResultBlinksOkResultSteady()
{
    QVERIFY(m_run->startGui());
    QVERIFY(settled(m_run->grabUntil(settled)));
    QVERIFY(!m_run->ctl({ "result", "nok", "prg=5", "qcode=0x18", "torque=14.2", "angle=95", "time=0.8" }).isNull());

    QImage red = m_run->grabUntil([](const QImage& i) { return isRed(i.pixel(3, 34)); });
    save(red, "nok-red");
    QVERIFY(near(red.pixel(3, 34), NokColour));   // status display
    QVERIFY(near(red.pixel(3, 90), NokColour));   // torque field marked
    QVERIFY(!isRed(red.pixel(3, 140)));           // angle field plain
    QVERIFY(!isRed(red.pixel(3, 190)));           // time field plain

    QImage inverted = m_run->grabUntil([](const QImage& i) { return !isRed(i.pixel(3, 34)); });
    save(inverted, "nok-inverted");
    QVERIFY(!isRed(inverted.pixel(3, 34)));
    QVERIFY(!isRed(inverted.pixel(3, 90)));

    QVERIFY(!m_run->ctl({ "result", "ok", "prg=5", "row=0", "torque=12.5", "angle=90", "time=0.8" }).isNull());
    QImage img = m_run->grabUntil([](const QImage& i) { return near(i.pixel(3, 34), OkColour); });
    save(img, "ok");
    QVERIFY(near(img.pixel(3, 34), OkColour));
    QVERIFY(!isRed(img.pixel(3, 90)));
    // The program line "P:5 - S:1A - OK" is drawn in the status display.
    QVERIFY(count(img, QRect(20, 40, 200, 34), [](QRgb c) { return qGray(c) < 80; }) > 50);
}

QTEST_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
