// Configuration export and import and the program editor with the real program on a real X
// server and the simulated tool, driven by the operator's keys.
#include <QCryptographicHash>
#include <QtTest>

#include <sys/stat.h>

#include "fwversion.h"
#include "grabcheck.h"
#include "testsupport.h"
#include "xserver.h"

using namespace Grab;

namespace {

// The exchange screen's wait and result text: 240 x 106, centred in the screen below the header.
const QRect ResultArea(0, 30 + 77, 240, 106);

bool failureShown(const QImage& i) { return count(i, ResultArea, isRed) > 100 && barMiddle(i); }
bool successShown(const QImage& i)
{
    return count(i, ResultArea, isRed) == 0 && count(i, ResultArea, isDark) > 100 && barMiddle(i);
}

QString fileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class TestEndToEndExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exportAndImport();
    void pictures();

private:
    PrivateBus m_bus;
};

void TestEndToEndExchange::initTestCase()
{
    QVERIFY(m_bus.isRunning());
}

void TestEndToEndExchange::exportAndImport()
{
    XServer x(QSize(240, 320));
    QVERIFY(x.isRunning());
    GuiRun run;
    QVERIFY(run.startSimulator());
    QVERIFY(setMenu(run, { "exchange", "program", "prgselect" }));
    QVERIFY(x.startGui(run));
    auto grabUntil = [&](const std::function<bool(const QImage&)>& pred) { return x.grabUntil(pred); };
    auto keys = [&](const QStringList& list) { QVERIFY(x.keys(list)); };
    const QString version = fileText(run.path(QStringLiteral("/etc/version"))).trimmed();
    const QString password = QString::fromLatin1(
        QCryptographicHash::hash(FwVersion(version).osName().toUtf8(), QCryptographicHash::Sha1).toBase64());
    const QString power = run.path(QStringLiteral("/var/log/power.log"));
    QVERIFY(barMiddle(grabUntil(barMiddle)));

    // An import from a card that is not mounted fails with the translated reason in red.
    QVERIFY(!run.ctl({ "card", "unmounted" }).isNull());
    keys({ "a", "a", "a" });   // menu, exchange, import
    QImage img = grabUntil(failureShown);
    save(img, "exchange-import-not-mounted");
    QVERIFY2(failureShown(img), qPrintable(run.guiLog().right(2000)));
    QCOMPARE(run.ctl({ "exchangelog" }), QStringLiteral("import [%1] [config.cfg]").arg(password));
    QVERIFY(!QFile::exists(power));

    // The export gets the password and the archive name of the sample version.
    QVERIFY(!run.ctl({ "card", "in" }).isNull());
    keys({ "a", "a", "Right", "a" });   // OK to the menu, exchange, export
    img = grabUntil(successShown);
    save(img, "exchange-export-finished");
    QVERIFY2(successShown(img), qPrintable(run.guiLog().right(2000)));
    const QStringList log = run.ctl({ "exchangelog" }).split(QLatin1Char('\n'));
    QCOMPARE(log.size(), 2);
    const QRegularExpression exportLine(QStringLiteral("^export \\[(.*)\\] \\[(/config/%1-(\\d{14})\\.zkcfg)\\]$")
                                            .arg(QRegularExpression::escape(version)));
    const QRegularExpressionMatch m = exportLine.match(log.at(1));
    QVERIFY2(m.hasMatch(), qPrintable(log.at(1)));
    QCOMPARE(m.captured(1), password);
    QVERIFY(QDateTime::fromString(m.captured(3), QStringLiteral("yyyyMMddHHmmss")).isValid());
    QVERIFY(QFile::exists(run.path(QStringLiteral("/mnt/mmc/mmcblk0p1") + m.captured(2))));

    // Importing that archive succeeds and restarts the tool once.
    keys({ "a", "a", "a" });   // OK to the menu, exchange, import
    img = grabUntil(successShown);
    save(img, "exchange-import-finished");
    QVERIFY2(successShown(img), qPrintable(run.guiLog().right(2000)));
    QVERIFY(waitUntil([&] { return fileText(power).count(QStringLiteral("reboot requested")) == 1; }, 5000));
    QTest::qWait(500);
    QCOMPARE(fileText(power).count(QStringLiteral("reboot requested")), 1);

    // The program editor writes program 1 (the second entry, after 99): speed 100, torque 10.
    const QRect secondRow(0, 30 + 52 + 52, 230, 52);
    keys({ "a", "Right", "a" });          // OK to the menu, program editor
    img = grabUntil(barMiddle);
    save(img, "program-slots-before");
    QVERIFY(barMiddle(img));
    const int before = count(img, secondRow, isDark);
    keys({ "Right", "a", "a", "a", "a" });   // slot 1, speed 100, target torque, torque 10
    // the summary: back on the left key
    const auto summary = [](const QImage& i) { return barMiddle(i) && count(i, QRect(5, 292, 60, 26), isWhite) > 20; };
    img = grabUntil(summary);
    save(img, "program-summary");
    QVERIFY(summary(img));
    keys({ "a" });                        // confirm: back to the menu
    const QString file = run.path(QStringLiteral("/home/tool/config/srbprg/prg1.lua"));
    QVERIFY(waitUntil([&] { return fileText(file).contains(QLatin1String("prg.Name = \"Tight\"")); }, 5000));
    const QStringList lines = fileText(file).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 46);   // 45 lines, each ended by a line feed
    QCOMPARE(lines.at(33), QStringLiteral("steps[2].TF_UpperTorque = 10"));
    QCOMPARE(lines.at(36), QStringLiteral("steps[2].Speed = 100"));

    // Once the system service announces the file, the catalogue lists the program by its
    // new, shorter name ("1: Tight" instead of "1: M5 cover screw").
    QVERIFY(!run.ctl({ "cfgchanged", "/home/tool/config/srbprg/prg1.lua" }).isNull());
    QTest::qWait(300);
    keys({ "Right", "a" });
    img = grabUntil(barMiddle);
    save(img, "program-slots-after");
    QVERIFY(barMiddle(img));
    const int after = count(img, secondRow, isDark);
    QVERIFY2(after > 20 && after < before * 7 / 10, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
    // Through to the summary of the first slot (99) and out by the left key, back in the menu
    // (its bar has no left key), without writing.
    const QString first = run.path(QStringLiteral("/home/tool/config/srbprg/prg99.lua"));
    const QString firstBefore = fileText(first);
    const QString fileBefore = fileText(file);
    keys({ "a", "a", "a", "a" });
    QVERIFY(summary(grabUntil(summary)));
    keys({ "Left" });
    const auto menu = [](const QImage& i) { return barMiddle(i) && count(i, QRect(5, 292, 60, 26), isWhite) == 0; };
    QVERIFY(menu(grabUntil(menu)));
    QCOMPARE(fileText(first), firstBefore);
    QCOMPARE(fileText(file), fileBefore);
}

// The card's pictures in name order: odd names are shown, a file that is no picture (or no
// longer a file) says so, and a huge one is shown scaled without holding up the keys.
void TestEndToEndExchange::pictures()
{
    XServer x(QSize(240, 320));
    QVERIFY(x.isRunning());
    GuiRun run;
    QVERIFY(run.startSimulator());
    QVERIFY(setMenu(run, { "picviewer" }));
    const QString dir = run.path(QStringLiteral("/mnt/mmc/mmcblk0p1/pictures/"));
    QImage green(100, 100, QImage::Format_RGB32);
    green.fill(QColor(0x20, 0xd0, 0x20));
    QVERIFY(green.save(dir + QStringLiteral("06 odd #1?.png")));
    QImage red(6000, 6000, QImage::Format_RGB32);
    red.fill(QColor(0xe0, 0x10, 0x10));
    QVERIFY(red.save(dir + QStringLiteral("07_huge.jpg"), "JPEG", 50));
    red = QImage();
    QVERIFY(x.startGui(run));
    auto grabUntil = [&](const std::function<bool(const QImage&)>& pred) { return x.grabUntil(pred); };
    auto key = [&](const char* k) { QVERIFY(x.keys({ QString::fromLatin1(k) })); };
    const auto centre = [](const QImage& i) { return QColor(i.pixel(120, 160)); };
    const auto isGreenPicture = [&](const QImage& i) { return centre(i).green() > 180 && centre(i).red() < 80; };
    const auto isRedPicture = [&](const QImage& i) { return centre(i).red() > 180 && centre(i).green() < 80; };
    QVERIFY(barMiddle(grabUntil(barMiddle)));

    key("a");
    key("a");   // menu, picture viewer, the first picture
    // 01_flange_M6.png: a dark hub on a light ground, the up arrow on the left key
    const auto flange = [](const QImage& i) {
        return count(i, QRect(5, 292, 60, 26), isWhite) > 20 && isWhite(i.pixel(5, 100)) && isDark(i.pixel(120, 160));
    };
    const QImage firstPicture = grabUntil(flange);
    save(firstPicture, "pictures-first");
    QVERIFY(flange(firstPicture));
    for (int i = 0; i < 3; ++i)
        key("Right");   // 04_SOCKET.PNG: white centre on green
    const auto isSocket = [](const QImage& i) {
        const QColor c(i.pixel(120, 160)), edge(i.pixel(10, 45));
        return c.red() > 200 && c.green() > 200 && edge.green() > 200 && edge.red() < 160;
    };
    QVERIFY(isSocket(grabUntil(isSocket)));
    // Listed as a file, a pipe by the time it is shown: refused without holding up the rest.
    QVERIFY(QFile::remove(dir + QStringLiteral("05_broken.png")));
    QVERIFY(::mkfifo(QFile::encodeName(dir + QStringLiteral("05_broken.png")).constData(), 0644) == 0);
    key("Right");   // 05_broken.png
    QImage img = grabUntil([](const QImage& i) { return count(i, QRect(20, 140, 200, 40), isWhite) > 50; });
    save(img, "pictures-not-a-picture");
    QVERIFY2(count(img, QRect(20, 140, 200, 40), isWhite) > 50, "\"Picture not found\"");
    key("Right");
    img = grabUntil(isGreenPicture);
    save(img, "pictures-odd-name");
    QVERIFY2(isGreenPicture(img), qPrintable(centre(img).name()));
    key("Right");
    img = grabUntil(isRedPicture);
    save(img, "pictures-huge");
    QVERIFY2(isRedPicture(img), qPrintable(centre(img).name()));
    key("Left");
    QVERIFY(isGreenPicture(grabUntil(isGreenPicture)));
    key("Right");
    key("Right");   // wraps to the first
    const QRect pictureArea(0, 30, 240, 260);
    img = grabUntil([&](const QImage& i) { return differing(i, firstPicture, pictureArea) == 0; });
    QCOMPARE(differing(img, firstPicture, pictureArea), 0);
    key("a");
}

QTEST_MAIN(TestEndToEndExchange)
#include "tst_e2e_exchange.moc"
