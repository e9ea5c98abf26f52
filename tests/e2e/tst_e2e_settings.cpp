// The real program, offscreen, against the simulated tool: the key-bit mode and the settings
// and service screens, operated with the display's keys and checked on grabs, on the bus and
// in the sandbox's files.
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"

using Grab::count;
using Grab::isWhite;
using Grab::save;

namespace {

// A little more tolerant than Grab's: the list rows are anti-aliased against their colour.
bool isRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 150 && qBlue(c) < 100; }
bool isDark(QRgb c) { return qGray(c) < 90; }

// Header and bar in place: the battery outline's top edge at y 6, the bar's background at y 291.
bool settled(const QImage& i)
{
    return isWhite(i.pixel(20, 6)) && !isWhite(i.pixel(20, 4)) && !isWhite(i.pixel(3, 318)) && !isDark(i.pixel(3, 288));
}

// A screen with its white title strip (blue theme), settled.
bool onScreen(const QImage& i)
{
    return settled(i) && isWhite(i.pixel(5, 40)) && count(i, QRect(90, 295, 60, 20), isWhite) > 20;
}

QStringList repeat(const QString& key, int n)
{
    QStringList keys;
    for (int i = 0; i < n; ++i)
        keys << key;
    return keys;
}

} // namespace

class TestEndToEndSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.isRunning());
    }
    void init()
    {
        m_run = new GuiRun;
        QVERIFY(m_run->startSimulator());
    }
    void cleanup()
    {
        delete m_run;
        m_run = nullptr;
    }

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
        if (!settled(m_run->grabUntil(settled)))
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

// The key switch in its middle position: the bar shows the PLC texts, and a ManOp key
// pressed and released twice sends exactly 1 and then 0.
void TestEndToEndSettings::keyBitMode()
{
    QVERIFY(m_run->startGui());
    QVERIFY(settled(m_run->grabUntil(settled)));
    QVERIFY(!m_run->ctl({ "plctab", "ManOp", "-", "Prog3" }).isNull());
    QVERIFY(!m_run->ctl({ "keyswitch", "0" }).isNull());
    QVERIFY(!m_run->ctl({ "prgnr", "-88" }).isNull());
    // "ManOp" left, "n.a" in the middle, "Prog3" right, in the small font
    QImage img = m_run->grabUntil([](const QImage& i) {
        return settled(i) && count(i, QRect(5, 292, 70, 26), isWhite) > 20 && count(i, QRect(170, 292, 68, 26), isWhite) > 20;
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
    // the middle key, without assignment, neither sends nor opens the menu; the switch back ends the mode
    QVERIFY(!m_run->ctl({ "keyswitch", "2" }).isNull());
    QVERIFY(!m_run->ctl({ "prgnr", "-88" }).isNull());
    img = m_run->grabUntil([](const QImage& i) {
        return count(i, QRect(5, 292, 70, 26), isWhite) == 0 && count(i, QRect(90, 295, 60, 20), isWhite) > 20;
    });
    QCOMPARE(count(img, QRect(5, 292, 70, 26), isWhite), 0);
}

// WLAN off on the WLAN screen: wlan.json rewritten in its layout, announced, WLAN
// restarted, and the header's red cross.
void TestEndToEndSettings::wlanOff()
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
    const QImage img = m_run->grabUntil([](const QImage& i) { return count(i, QRect(56, 10, 16, 16), isRed) > 6; }, 8000);
    save(img, "wlan-off");
    QVERIFY(count(img, QRect(56, 10, 16, 16), isRed) > 6);
}

// The date and time screen runs the sandbox's date and hwclock and writes entry 501.
void TestEndToEndSettings::setDate()
{
    QVERIFY(m_run->startGui());
    QVERIFY(openMenuEntry(10));
    // the day one on, then through month, year, the date summary, hour and minute
    QVERIFY(m_run->keys({ "Right", "A", "A", "A", "A", "A", "A" }));
    const QImage img = m_run->grabUntil(onScreen);
    save(img, "setdatetime-showtime");
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
void TestEndToEndSettings::informationAndDiagnosis()
{
    QVERIFY(m_run->startGui());
    // the connection changes first: they rebuild the main menu when they arrive
    QVERIFY(!m_run->ctl({ "resconn", "OpenProtocol", "1" }).isNull());
    QVERIFY(!m_run->ctl({ "resconn", "Xml", "0" }).isNull());
    QVERIFY(settled(m_run->grabUntil(settled)));
    QVERIFY(openMenuEntry(11));
    QImage img = m_run->grabUntil(onScreen);
    save(img, "info");
    // code, version and time: the value centred in each row (the RSSI needs a WLAN address)
    for (int row = 0; row < 3; ++row)
        QVERIFY2(count(img, QRect(20, 30 + 52 + 52 * row + 26, 200, 20), isDark) > 20, qPrintable(QString::number(row)));
    QVERIFY(m_run->keys(repeat("Right", 6)));
    img = m_run->grabUntil([](const QImage& i) { return count(i, QRect(185, 292, 50, 26), isWhite) == 0; });
    save(img, "info-end");
    QVERIFY(m_run->keys({ "A" }));
    QVERIFY(m_run->keys(repeat("Right", 12) + QStringList { "A" }));
    img = m_run->grabUntil([](const QImage& i) { return isGreen(i.pixel(200, 30 + 52 + 26)) && isRed(i.pixel(200, 30 + 104 + 26)); });
    save(img, "diagnosis");
    QVERIFY(isGreen(img.pixel(200, 30 + 52 + 26)));  // OpenProtocol connected
    QVERIFY(isRed(img.pixel(200, 30 + 104 + 26)));   // Xml not connected
}

QTEST_MAIN(TestEndToEndSettings)
#include "tst_e2e_settings.moc"
