// The real program against the simulated tool: faults on screen in the configured language,
// and the display following a language change made on the tool.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "guirun.h"
#include "testsupport.h"

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

// Differing pixels of two grabs inside r.
int differing(const QImage& a, const QImage& b, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

class TestEndToEndI18n : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void pendingFaultAtStart();
    void languageFromTheTool();

private:
    void setGlobal(const QString& key, const QString& value);
    void save(const QImage& img, const QString& name);

    PrivateBus* m_bus = nullptr;
    GuiRun* m_run = nullptr;
};

void TestEndToEndI18n::initTestCase()
{
    m_bus = new PrivateBus;
    QVERIFY(m_bus->isRunning());
}

void TestEndToEndI18n::init()
{
    m_run = new GuiRun;
    QVERIFY(m_run->startSimulator());
}

void TestEndToEndI18n::cleanup()
{
    if (QTest::currentTestFailed())
        qWarning().noquote() << m_run->guiLog().right(4000);
    delete m_run;
    m_run = nullptr;
}

void TestEndToEndI18n::save(const QImage& img, const QString& name)
{
    QDir().mkpath(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs"));
    img.save(QStringLiteral(NG_BINARY_DIR "/tests/e2e/grabs/") + name + QStringLiteral(".png"));
}

void TestEndToEndI18n::setGlobal(const QString& key, const QString& value)
{
    QFile f(m_run->path(QStringLiteral("/home/tool/config/guiconfig.json")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QJsonObject cfg = QJsonDocument::fromJson(f.readAll()).object();
    f.close();
    QJsonObject global = cfg.value(QStringLiteral("global")).toObject();
    global.insert(key, value);
    cfg.insert(QStringLiteral("global"), global);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QJsonDocument(cfg).toJson());
}

// A fault that was pending before the GUI came up is on screen after the start, in German.
void TestEndToEndI18n::pendingFaultAtStart()
{
    setGlobal(QStringLiteral("language"), QStringLiteral("de"));
    QCOMPARE(m_run->ctl({ "fault", "17", "3" }), QStringLiteral("139"));
    QVERIFY(m_run->startGui());
    // The popup covers the header: its title where the header was, Ack on the left key.
    const QImage img = m_run->grabUntil([](const QImage& i) {
        return i.size() == QSize(240, 320) && whitePixels(i, QRect(0, 14, 240, 52)) > 150 && whitePixels(i, QRect(5, 295, 60, 20)) > 10;
    });
    save(img, "fault-at-start-de");
    QVERIFY(whitePixels(img, QRect(0, 14, 240, 52)) > 150);     // "Systemfehler"
    QVERIFY(whitePixels(img, QRect(20, 105, 200, 55)) > 80);    // "Code: 17", "Klasse: 3"
    QVERIFY(whitePixels(img, QRect(12, 180, 216, 60)) > 80);    // the fault's text
    QVERIFY(whitePixels(img, QRect(5, 295, 60, 20)) > 10);      // "Quitt." (Ack)
    QVERIFY(whitePixels(img, QRect(90, 295, 60, 20)) > 10);     // "OK"
}

// The tool changes the configured language while the main menu is shown: the menu turns
// German at once, and back.
void TestEndToEndI18n::languageFromTheTool()
{
    setGlobal(QStringLiteral("startview"), QStringLiteral("mainmenu"));
    QVERIFY(m_run->startGui());
    const QImage english = m_run->grabUntil([](const QImage& i) { return whitePixels(i, QRect(90, 295, 60, 20)) > 30; });
    save(english, "mainmenu-en");
    QVERIFY(!m_run->ctl({ "language", "de" }).isNull());
    const QImage german = m_run->grabUntil([&](const QImage& i) { return differing(i, english, QRect(0, 30, 240, 260)) > 200; });
    save(german, "mainmenu-de");
    QVERIFY(differing(german, english, QRect(0, 30, 240, 260)) > 200);
    QVERIFY(!m_run->ctl({ "language", "en" }).isNull());
    const QImage back = m_run->grabUntil([&](const QImage& i) { return differing(i, english, QRect(0, 30, 240, 260)) == 0; });
    QCOMPARE(differing(back, english, QRect(0, 30, 240, 260)), 0);
}

QTEST_MAIN(TestEndToEndI18n)
#include "tst_e2e_i18n.moc"
