// The NOK road with the real program on a real X server and the simulated tool: a NOK result
// and the tool's request for its acknowledgement make the tool unready and open the popup;
// the operator's middle key makes it ready again.
#include <QtTest>

#include "guirun.h"
#include "testsupport.h"
#include "xserver.h"

namespace {

bool isWhite(QRgb c) { return qRed(c) > 225 && qGreen(c) > 225 && qBlue(c) > 225; }
bool isGreen(QRgb c) { return qGreen(c) > 150 && qRed(c) < 150 && qBlue(c) < 150; }

int count(const QImage& img, const QRect& r, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(img.pixel(x, y));
    return n;
}

// The ready LED at 150,4 (22 x 22), judged by its most saturated, brightest pixel.
bool readyLedGreen(const QImage& img)
{
    int best = -1;
    QRgb colour = 0;
    for (int dy = 6; dy < 16; ++dy)
        for (int dx = 6; dx < 16; ++dx) {
            const QColor c(img.pixel(150 + dx, 4 + dy));
            if (c.saturation() + c.value() > best) {
                best = c.saturation() + c.value();
                colour = c.rgb();
            }
        }
    return isGreen(colour);
}

bool headerShown(const QImage& i)
{
    return isWhite(i.pixel(20, 6)) && !isWhite(i.pixel(20, 4));
}

// The blue popup with its white header text, once the tool's header has slid away.
bool popupShown(const QImage& i)
{
    const QColor bg(i.pixel(30, 150));
    return bg.blue() > bg.red() + 30 && count(i, QRect(20, 20, 200, 40), isWhite) > 100 && !headerShown(i);
}

} // namespace

class TestEndToEndPopups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void nokAcknowledgement();

private:
    PrivateBus* m_bus = nullptr;
};

void TestEndToEndPopups::initTestCase()
{
    m_bus = new PrivateBus;
    QVERIFY(m_bus->isRunning());
}

void TestEndToEndPopups::nokAcknowledgement()
{
    XServer x(QSize(240, 320));
    QVERIFY(x.isRunning());
    GuiRun run;
    QVERIFY(run.startSimulator());
    run.setGuiEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run.setGuiEnvironment(QStringLiteral("DISPLAY"), x.display());
    QVERIFY(run.startGui());
    auto grabUntil = [&](const std::function<bool(const QImage&)>& pred) {
        QImage image;
        waitUntil([&] { image = x.grab(); return !image.isNull() && pred(image); }, 10000);
        return image;
    };
    auto save = [](const QImage& img, const QString& name) {
        QDir().mkpath(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs"));
        img.save(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs/") + name + QStringLiteral(".png"));
    };

    QVERIFY2(readyLedGreen(grabUntil([](const QImage& i) { return headerShown(i) && readyLedGreen(i); })),
             qPrintable(run.guiLog().right(2000)));
    QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));

    QVERIFY(!run.ctl({ "nokresult", "prg=5", "qcode=0x18", "torque=14.2" }).isNull());
    const QImage popup = grabUntil(popupShown);
    save(popup, "nok-acknowledgement");
    QVERIFY2(popupShown(popup), qPrintable(run.guiLog().right(2000)));
    QVERIFY(count(popup, QRect(90, 295, 60, 20), isWhite) > 20); // "OK" on the middle key
    QVERIFY(waitUntil([&] { return run.ctl({ "readyflags" }).contains(QLatin1String("gui 0")); }));
    QVERIFY(run.calls().contains(QStringLiteral("frdyflagreset 7")));

    QVERIFY(x.key(QStringLiteral("a")));
    const QImage ready = grabUntil([](const QImage& i) { return headerShown(i) && readyLedGreen(i); });
    save(ready, "nok-acknowledged");
    QVERIFY(!popupShown(ready));
    QVERIFY(readyLedGreen(ready));
    QCOMPARE(run.ctl({ "readyflags" }), QStringLiteral("ist 0xc3 soll 0xc3 gui 1 battery 1"));
}

QTEST_MAIN(TestEndToEndPopups)
#include "tst_e2e_popups.moc"
