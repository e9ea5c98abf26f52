// The NOK road with the real program on a real X server and the simulated tool: a NOK result
// and the tool's request for its acknowledgement make the tool unready and open the popup;
// the operator's middle key makes it ready again.
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"
#include "xserver.h"

using namespace Grab;

namespace {

bool readyLedGreen(const QImage& img) { return isGreen(ledColour(img, 150, 4)); }

// The blue popup with its white header text, once the tool's header has slid away.
bool popupShown(const QImage& i)
{
    const QColor bg(i.pixel(30, 150));
    return bg.blue() > bg.red() + 30 && count(i, QRect(20, 20, 200, 40), isWhite) > 100 && !headerShown(i);
}

bool readyShown(const QImage& i) { return headerShown(i) && readyLedGreen(i); }

} // namespace

class TestEndToEndPopups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nokAcknowledgement()
    {
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        XServer x(QSize(240, 320));
        QVERIFY(x.isRunning());
        GuiRun run;
        QVERIFY(run.startSimulator());
        QVERIFY(x.startGui(run));

        QVERIFY2(readyShown(x.grabUntil(readyShown)), qPrintable(run.guiLog().right(2000)));
        QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));

        QVERIFY(!run.ctl({ "nokresult", "prg=5", "qcode=0x18", "torque=14.2" }).isNull());
        const QImage popup = x.grabUntil(popupShown);
        save(popup, "nok-acknowledgement");
        QVERIFY2(popupShown(popup), qPrintable(run.guiLog().right(2000)));
        QVERIFY(barMiddle(popup)); // "OK" on the middle key
        QVERIFY(waitUntil([&] { return run.ctl({ "readyflags" }).contains(QLatin1String("gui 0")); }));
        QVERIFY(run.calls().contains(QStringLiteral("frdyflagreset 7")));

        QVERIFY(x.key(QStringLiteral("a")));
        const QImage ready = x.grabUntil(readyShown);
        save(ready, "nok-acknowledged");
        QVERIFY(!popupShown(ready));
        QVERIFY(readyLedGreen(ready));
        QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));
    }
};

QTEST_MAIN(TestEndToEndPopups)
#include "tst_e2e_popups.moc"
