// The real program on a real X server without a window manager, as on a kiosk image: the
// window covers the screen and takes the keys from its first frame, with no click.
#include <QStandardPaths>
#include <QtTest>

#include "guirun.h"
#include "testsupport.h"
#include "xserver.h"

namespace {

bool isWhite(QRgb c) { return qRed(c) > 225 && qGreen(c) > 225 && qBlue(c) > 225; }

int whitePixels(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isWhite(img.pixel(x, y));
    return n;
}

// Header slid in (battery outline's top edge at y 6) and the bar's middle text in place.
// The start screen has nothing on the right key; the main menu shows its down arrow there.
bool settled(const QImage& i)
{
    return i.width() == 240 && i.height() == 320 && isWhite(i.pixel(20, 6)) && !isWhite(i.pixel(20, 4))
        && whitePixels(i, QRect(90, 295, 60, 20)) > 30 && whitePixels(i, QRect(185, 295, 50, 20)) == 0;
}

} // namespace

class TestXvfb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fullScreenWithKeys();

private:
    QImage grabUntil(XServer& x, const std::function<bool(const QImage&)>& pred);
    void save(const QImage& img, const QString& name);

    PrivateBus* m_bus = nullptr;
};

void TestXvfb::initTestCase()
{
    for (const char* tool : { "Xvfb", "xdotool", "xwininfo", "import" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
    m_bus = new PrivateBus;
    QVERIFY(m_bus->isRunning());
}

QImage TestXvfb::grabUntil(XServer& x, const std::function<bool(const QImage&)>& pred)
{
    QImage image;
    waitUntil([&] {
        image = x.grab();
        return !image.isNull() && pred(image);
    }, 10000);
    return image;
}

void TestXvfb::save(const QImage& img, const QString& name)
{
    QDir().mkpath(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs"));
    img.save(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs/") + name + QStringLiteral(".png"));
}

void TestXvfb::fullScreenWithKeys()
{
    XServer x(QSize(240, 320));
    QVERIFY(x.isRunning());
    // No window manager and nobody else hands out the focus.
    QVERIFY(x.focusNowhere());
    GuiRun run;
    QVERIFY(run.startSimulator());
    run.setGuiEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run.setGuiEnvironment(QStringLiteral("DISPLAY"), x.display());
    QVERIFY(run.startGui());

    const QImage start = grabUntil(x, settled);
    save(start, "xvfb-start");
    QVERIFY2(settled(start), qPrintable(run.guiLog().right(2000)));
    QCOMPARE(x.windowsOf(QStringLiteral("newgui")), QList<QRect>({ QRect(0, 0, 240, 320) }));

    // The middle key, sent through the X server with no click before it, opens the main menu.
    QVERIFY(x.key(QStringLiteral("a")));
    const QImage menu = grabUntil(x, [](const QImage& i) { return whitePixels(i, QRect(185, 295, 50, 20)) > 20; });
    save(menu, "xvfb-menu");
    QVERIFY2(whitePixels(menu, QRect(185, 295, 50, 20)) > 20, "no menu: the key did not reach the scene");
}

QTEST_MAIN(TestXvfb)
#include "tst_xvfb.moc"
