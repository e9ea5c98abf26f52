// The real program, offscreen, against the simulated tool: what the operator sees of the
// header, the bar and the results; the key-bit mode and the settings and service screens,
// operated with the display's keys and checked on grabs, on the bus and in the sandbox's files.
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

// A little more tolerant than Grab's: the list rows are anti-aliased against their colour.
bool rowRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90; }
bool rowGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 150 && qBlue(c) < 100; }
bool textDark(QRgb c) { return qGray(c) < 90; }

// Header and bar in place on any screen: the battery outline's top edge at y 6, the bar's
// background at y 291.
bool inPlace(const QImage& i)
{
    return isWhite(i.pixel(20, 6)) && !isWhite(i.pixel(20, 4)) && !isWhite(i.pixel(3, 318)) && !textDark(i.pixel(3, 288));
}

// A screen with its white title strip (blue theme), in place.
bool onScreen(const QImage& i)
{
    return inPlace(i) && isWhite(i.pixel(5, 40)) && count(i, QRect(90, 295, 60, 20), isWhite) > 20;
}

QStringList repeat(const QString& key, int n)
{
    QStringList keys;
    for (int i = 0; i < n; ++i)
        keys << key;
    return keys;
}

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
    void keyBitMode();
    void wlanOff();
    void setDate();
    void informationAndDiagnosis();

private:
    // From the actual values into the main menu and down to the entry at `index`.
    // Waits until start-up has settled on the display first: the tool's late answers to the
    // start-up queries rebuild the menu.
    bool openMenuEntry(int index)
    {
        if (!inPlace(m_run->grabUntil(inPlace)))
            return false;
        QTest::qWait(300);
        return m_run->keys(QStringList { "A" } + repeat("Right", index) + QStringList { "A" });
    }
    QStringList callsStartingWith(const QString& prefix)
    {
        return m_run->calls().filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }

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

// The key switch in its middle position: the bar shows the PLC texts, and a ManOp key
// pressed and released twice sends exactly 1 and then 0.
void TestEndToEnd::keyBitMode()
{
    QVERIFY(m_run->startGui());
    QVERIFY(inPlace(m_run->grabUntil(inPlace)));
    QVERIFY(!m_run->ctl({ "plctab", "ManOp", "-", "Prog3" }).isNull());
    QVERIFY(!m_run->ctl({ "keyswitch", "0" }).isNull());
    QVERIFY(!m_run->ctl({ "prgnr", "-88" }).isNull());
    // "ManOp" left, "n.a" in the middle, "Prog3" right, in the small font
    QImage img = m_run->grabUntil([](const QImage& i) {
        return inPlace(i) && count(i, QRect(5, 292, 70, 26), isWhite) > 20 && count(i, QRect(170, 292, 68, 26), isWhite) > 20;
    });
    save(img, "keybits");
    QVERIFY(count(img, QRect(5, 292, 70, 26), isWhite) > 20);
    QVERIFY(count(img, QRect(100, 292, 40, 26), isWhite) > 5);
    QVERIFY(count(img, QRect(170, 292, 68, 26), isWhite) > 20);

    QVERIFY(m_run->keys({ "Left", "Left", "A" }));
    QVERIFY(waitUntil([&] { return callsStartingWith("fguiplcupdate").size() >= 2; }));
    QTest::qWait(300);
    QCOMPARE(callsStartingWith("fguiplcupdate"), QStringList({ "fguiplcupdate 0 1", "fguiplcupdate 0 0" }));
    QVERIFY(m_run->displayActivities().contains(QStringLiteral("111 ManOp")));
    // the middle key, without assignment, neither sends nor opens the menu; the switch back ends
    // the mode on the actual values, whose bar has nothing on the right key (the menu's has its
    // down arrow there)
    QVERIFY(!m_run->ctl({ "keyswitch", "2" }).isNull());
    QVERIFY(!m_run->ctl({ "prgnr", "-88" }).isNull());
    const auto actualValuesBar = [](const QImage& i) {
        return count(i, QRect(5, 292, 70, 26), isWhite) == 0 && count(i, QRect(90, 295, 60, 20), isWhite) > 20
            && count(i, QRect(175, 292, 65, 26), isWhite) == 0;
    };
    img = m_run->grabUntil(actualValuesBar);
    save(img, "keybits-ended");
    QVERIFY(actualValuesBar(img));
}

// WLAN off on the WLAN screen: wlan.json rewritten in its layout, announced, WLAN
// restarted, and the header's red cross.
void TestEndToEnd::wlanOff()
{
    QFile sample(QStringLiteral(NG_SOURCE_DIR "/tools/toolsim/sample/home/tool/config/wlan.json"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray expected = sample.readAll().trimmed();
    expected.replace("\"interface\": true", "\"interface\": false");
    QVERIFY(m_run->startGui());
    QVERIFY(openMenuEntry(7));
    QVERIFY(m_run->keys({ "Left", "Left", "A" }));
    QVERIFY(waitUntil([&] { return !callsStartingWith("fcfgfilechanged").isEmpty(); }));
    QCOMPARE(callsStartingWith("fcfgfilechanged"), QStringList({ "fcfgfilechanged /home/tool/config/wlan.json" }));
    QFile wlan(m_run->path(QStringLiteral("/home/tool/config/wlan.json")));
    QVERIFY(wlan.open(QIODevice::ReadOnly));
    QCOMPARE(wlan.readAll().trimmed(), expected);
    QVERIFY(waitUntil([&] {
        QFile log(m_run->path(QStringLiteral("/var/log/wlan.log")));
        return log.open(QIODevice::ReadOnly) && log.readAll().contains("restart");
    }));
    const QImage img = m_run->grabUntil([](const QImage& i) { return count(i, QRect(56, 10, 16, 16), rowRed) > 6; }, 8000);
    save(img, "wlan-off");
    QVERIFY(count(img, QRect(56, 10, 16, 16), rowRed) > 6);
}

// The date and time screen runs the sandbox's date and hwclock and writes entry 501.
void TestEndToEnd::setDate()
{
    QVERIFY(m_run->startGui());
    QVERIFY(openMenuEntry(10));
    // the day one on, then through month, year, the date summary, hour and minute
    QVERIFY(m_run->keys({ "Right", "A", "A", "A", "A", "A", "A" }));
    // the time summary: back on the left key, nothing on the right (the wheels have arrows there)
    const auto showTime = [](const QImage& i) {
        return onScreen(i) && count(i, QRect(5, 292, 60, 26), isWhite) > 20 && count(i, QRect(175, 292, 65, 26), isWhite) == 0;
    };
    const QImage img = m_run->grabUntil(showTime);
    save(img, "setdatetime-showtime");
    QVERIFY(showTime(img));
    QVERIFY(m_run->keys({ "A" }));
    QString log;
    QVERIFY(waitUntil([&] {
        QFile f(m_run->path(QStringLiteral("/var/log/clock.log")));
        log = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        return log.contains(QLatin1String("hwclock"));
    }));
    const QDate today = QDate::currentDate();
    const QStringList lines = log.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(QRegularExpression(QStringLiteral("^date -s %1\\.%2\\.%3-\\d{1,2}:\\d{1,2}$")
                                    .arg(today.year()).arg(today.month()).arg(today.day() == 31 ? 1 : today.day() + 1))
                 .match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[1], QStringLiteral("hwclock -uw"));
    QVERIFY(waitUntil([&] { return m_run->displayActivities().contains(QStringLiteral("501")); }));
}

// The information screen with the sample device's values; the services coloured by their state.
void TestEndToEnd::informationAndDiagnosis()
{
    QVERIFY(m_run->startGui());
    // the connection changes first: they rebuild the main menu when they arrive
    QVERIFY(!m_run->ctl({ "resconn", "OpenProtocol", "1" }).isNull());
    QVERIFY(!m_run->ctl({ "resconn", "Xml", "0" }).isNull());
    QVERIFY(inPlace(m_run->grabUntil(inPlace)));
    QVERIFY(openMenuEntry(11));
    QImage img = m_run->grabUntil(onScreen);
    save(img, "info");
    // code, version and time: the value centred in each row (the RSSI needs a WLAN address)
    for (int row = 0; row < 3; ++row)
        QVERIFY2(count(img, QRect(20, 30 + 52 + 52 * row + 26, 200, 20), textDark) > 20, qPrintable(QString::number(row)));
    // at the end of the list: the up arrow on the left key, no down arrow on the right
    QVERIFY(m_run->keys(repeat("Right", 6)));
    const auto atEnd = [](const QImage& i) {
        return onScreen(i) && count(i, QRect(5, 292, 60, 26), isWhite) > 20 && count(i, QRect(175, 292, 65, 26), isWhite) == 0;
    };
    img = m_run->grabUntil(atEnd);
    save(img, "info-end");
    QVERIFY(atEnd(img));
    QVERIFY(m_run->keys({ "A" }));
    QVERIFY(m_run->keys(repeat("Right", 12) + QStringList { "A" }));
    img = m_run->grabUntil([](const QImage& i) { return rowGreen(i.pixel(200, 30 + 52 + 26)) && rowRed(i.pixel(200, 30 + 104 + 26)); });
    save(img, "diagnosis");
    QVERIFY(rowGreen(img.pixel(200, 30 + 52 + 26)));  // OpenProtocol connected
    QVERIFY(rowRed(img.pixel(200, 30 + 104 + 26)));   // Xml not connected
}

QTEST_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
