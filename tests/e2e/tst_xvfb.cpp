// The real program on a real X server without a window manager, as on a kiosk image: the
// window covers the screen and takes the keys from its first frame, with no click. On it the
// NOK road: a NOK result and the tool's request for its acknowledgement make the tool unready
// and open the popup; the operator's middle key makes it ready again.
#include <QStandardPaths>
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"
#include "xserver.h"

using namespace Grab;

namespace {

bool readyLedGreen(const QImage& img) { return isGreen(ledColour(img, 150, 4)); }

// The start screen settled: header and bar in place, nothing on the right key.
bool settled(const QImage& i) { return headerShown(i) && barMiddle(i) && count(i, QRect(185, 295, 50, 20), isWhite) == 0; }

// The blue popup with its white header text, once the tool's header has slid away.
bool popupShown(const QImage& i)
{
    const QColor bg(i.pixel(30, 150));
    return bg.blue() > bg.red() + 30 && count(i, QRect(20, 20, 200, 40), isWhite) > 100 && !headerShown(i);
}

bool readyShown(const QImage& i) { return settled(i) && readyLedGreen(i); }

} // namespace

class TestXvfb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullScreenNokRoadByKey()
    {
        for (const char* tool : { "Xvfb", "xdotool", "xwininfo", "import" })
            QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        XServer x(QSize(240, 320));
        QVERIFY(x.isRunning());
        // No window manager and nobody else hands out the focus.
        QVERIFY(x.focusNowhere());
        GuiRun run;
        QVERIFY(run.startSimulator());
        QVERIFY(x.startGui(run));

        const QImage start = x.grabUntil(readyShown);
        save(start, "xvfb-start");
        QVERIFY2(readyShown(start), qPrintable(run.guiLog().right(2000)));
        QCOMPARE(x.windowsOf(QStringLiteral("newgui")), QList<QRect>({ QRect(0, 0, 240, 320) }));
        QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));

        QVERIFY(!run.ctl({ "nokresult", "prg=5", "qcode=0x18", "torque=14.2" }).isNull());
        const QImage popup = x.grabUntil(popupShown);
        save(popup, "nok-acknowledgement");
        QVERIFY2(popupShown(popup), qPrintable(run.guiLog().right(2000)));
        QVERIFY(barMiddle(popup)); // "OK" on the middle key
        QVERIFY(waitUntil([&] { return run.ctl({ "readyflags" }).contains(QLatin1String("gui 0")); }));
        QVERIFY(run.calls().contains(QStringLiteral("frdyflagreset 7")));

        // The middle key, sent through the X server with no click before it, acknowledges.
        QVERIFY(x.key(QStringLiteral("a")));
        const QImage ready = x.grabUntil(readyShown);
        save(ready, "nok-acknowledged");
        QVERIFY2(readyShown(ready), "the key did not reach the scene");
        QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));
    }
};

QTEST_MAIN(TestXvfb)
#include "tst_xvfb.moc"
