// The real program on a real X server without a window manager, as on a kiosk image: the
// window covers the screen and takes the keys from its first frame, with no click.
#include <QStandardPaths>
#include <QtTest>

#include "grabcheck.h"
#include "testsupport.h"
#include "xserver.h"

using namespace Grab;

class TestXvfb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullScreenWithKeys()
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

        // Header and bar in place; the start screen has nothing on the right key.
        const auto rightKey = [](const QImage& i) { return count(i, QRect(185, 295, 50, 20), isWhite); };
        const auto settled = [&](const QImage& i) { return headerShown(i) && barMiddle(i) && rightKey(i) == 0; };
        const QImage start = x.grabUntil(settled);
        save(start, "xvfb-start");
        QVERIFY2(settled(start), qPrintable(run.guiLog().right(2000)));
        QCOMPARE(x.windowsOf(QStringLiteral("newgui")), QList<QRect>({ QRect(0, 0, 240, 320) }));

        // The middle key, sent through the X server with no click before it, opens the main
        // menu, which shows its down arrow on the right key.
        QVERIFY(x.key(QStringLiteral("a")));
        const QImage menu = x.grabUntil([&](const QImage& i) { return rightKey(i) > 20; });
        save(menu, "xvfb-menu");
        QVERIFY2(rightKey(menu) > 20, "no menu: the key did not reach the scene");
    }
};

QTEST_MAIN(TestXvfb)
#include "tst_xvfb.moc"
