#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "cardpictures.h"
#include "configexchange.h"
#include "testsupport.h"

class TestConfigExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passwordAndArchiveName();
    void scripts_data();
    void scripts();
    void sdPaths_data();
    void sdPaths();
    void pictures();
};

void TestConfigExchange::passwordAndArchiveName()
{
    // SHA-1 of "NGTOS-1", Base64
    QCOMPARE(ConfigExchange::passwordFor(QStringLiteral("NGTOS-1")), QStringLiteral("7MJ28bkEtUkDHglk7/dT3pZ653Q="));
    QCOMPARE(ConfigExchange::passwordFor(QString()).size(), 28);
    const QDateTime when(QDate(2024, 3, 5), QTime(9, 7, 30));
    QCOMPARE(ConfigExchange::archiveName(QStringLiteral("V-1-2"), when), QStringLiteral("/config/V-1-2-20240305090730.zkcfg"));
    QCOMPARE(ConfigExchange::archiveName(QStringLiteral("-"), when.addSecs(13 * 3600)),
             QStringLiteral("/config/--20240305220730.zkcfg"));
}

// The scripts of the system root get password and file name; exit code and standard error
// (cut at a NUL, capped) come back through the signals, and only an import that ends
// with 0 asks for the restart. A script that cannot start is reported the same way.
void TestConfigExchange::scripts_data()
{
    QTest::addColumn<bool>("import");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::newRow("export ok") << false << QByteArray("exit 0") << 0 << QString();
    QTest::newRow("export no card") << false << QByteArray("echo '  No SD card ' >&2; exit 1") << 1 << "  No SD card \n";
    QTest::newRow("import ok") << true << QByteArray("echo done; exit 0") << 0 << QString();
    QTest::newRow("import not mounted") << true << QByteArray("printf 'SD card not mounted\\0junk' >&2; exit 3")
                                        << 3 << "SD card not mounted";
    QTest::newRow("import killed") << true << QByteArray("kill -9 $$") << 9 << QString();
    QTest::newRow("import hangs") << true << QByteArray("echo 'SD card not mounted' >&2; exec sleep 60") << 9
                                  << "SD card not mounted\n";
    // killed with what it started
    QTest::newRow("export hangs on a child") << false << QByteArray("sleep 60 & echo $! > \"$(dirname \"$0\")/child\"; wait")
                                             << 9 << QString();
    QTest::newRow("endless reason") << true << QByteArray("head -c 100000 /dev/zero | tr '\\0' x >&2; exit 2")
                                    << 2 << QString(ConfigExchange::MaxMessageBytes, QLatin1Char('x'));
    // no body: no script; the body "not executable": a script without the x bit; "*": any reason
    QTest::newRow("no exporter") << false << QByteArray() << 127 << "Exporter not found";
    QTest::newRow("no importer") << true << QByteArray() << 127 << "Importer not found";
    QTest::newRow("importer not executable") << true << QByteArray("not executable") << 126 << "*";
}

void TestConfigExchange::scripts()
{
    QFETCH(bool, import);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    TempSysroot root;
    const QString script = QString::fromLatin1(import ? ConfigExchange::ImporterScript : ConfigExchange::ExporterScript);
    const bool starts = !body.isNull() && body != "not executable";
    if (!body.isNull())
        QVERIFY(root.write(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n" + body + "\n"));
    if (starts)
        QVERIFY(::chmod(QFile::encodeName(root.path(script)).constData(), 0755) == 0);

    ConfigExchange exchange;
    exchange.setScriptTimeout(2000);
    QSignalSpy exported(&exchange, &ConfigExchange::exportFinished);
    QSignalSpy imported(&exchange, &ConfigExchange::importFinished);
    QSignalSpy restart(&exchange, &ConfigExchange::importSucceeded);
    if (import)
        exchange.importConfiguration(QStringLiteral("pw="));
    else
        exchange.exportConfiguration(QStringLiteral("pw="), QStringLiteral("/config/V-1-2-20240305090730.zkcfg"));
    QSignalSpy& done = import ? imported : exported;
    QVERIFY(done.size() == 1 || done.wait(10000));
    QCOMPARE((import ? exported : imported).size(), 0);
    QCOMPARE(done.at(0).at(0).toInt(), code);
    if (msg == QLatin1String("*"))
        QVERIFY(!done.at(0).at(1).toString().isEmpty());
    else
        QCOMPARE(done.at(0).at(1).toString(), msg);
    QCOMPARE(restart.size(), import && code == 0 ? 1 : 0);
    const QByteArray child = root.read(QStringLiteral("/etc/backup/child")).trimmed();
    if (!child.isEmpty()) {
        const QString stat = QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(child));
        QVERIFY2(waitUntil([&] {
                     QFile f(stat);
                     return !f.open(QIODevice::ReadOnly) || f.readAll().contains(") Z ");
                 }, 3000), "the script's child was left running");
    }
    if (starts)
        QCOMPARE(root.read(QStringLiteral("/etc/backup/args")),
                 import ? QByteArray("pw=\nconfig.cfg\n") : QByteArray("pw=\n/config/V-1-2-20240305090730.zkcfg\n"));
}

void TestConfigExchange::sdPaths_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("mounts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no card") << QStringList() << QStringList() << QStringList();
    QTest::newRow("partition mounted") << QStringList{ "mmcblk0", "mmcblk0p1", "sda" }
                                       << QStringList{ "mmcblk0", "mmcblk0p1" } << QStringList{ "mmcblk0p1" };
    QTest::newRow("partitions first, in name order") << QStringList{ "mmcblk0", "mmcblk0p2", "mmcblk0p1" }
                                                     << QStringList{ "mmcblk0p2", "mmcblk0p1" }
                                                     << QStringList{ "mmcblk0p1", "mmcblk0p2" };
    QTest::newRow("card without partitions") << QStringList{ "mmcblk0" } << QStringList{ "mmcblk0" }
                                             << QStringList{ "mmcblk0" };
    QTest::newRow("nothing mounted") << QStringList{ "mmcblk0", "mmcblk0p1" } << QStringList{ "mmcblk0" }
                                     << QStringList();
}

void TestConfigExchange::sdPaths()
{
    QFETCH(QStringList, devices);
    QFETCH(QStringList, mounts);
    QFETCH(QStringList, expected);
    TempSysroot root;
    for (const QString& d : devices)
        QVERIFY(root.mkdir("/sys/class/block/" + d));
    for (const QString& m : mounts)
        QVERIFY(root.mkdir("/mnt/mmc/" + m));
    QStringList want;
    for (const QString& e : expected)
        want << root.path("/mnt/mmc/" + e);
    QCOMPARE(ConfigExchange::getSdPaths(), want);
    QCOMPARE(ConfigExchange::extractPaths({ "a", "b" }), QStringList({ "/mnt/mmc/a", "/mnt/mmc/b" }));
}

// Odd names and letter cases are listed in name order; what is not a regular picture
// file is not; a card without a pictures folder has none.
void TestConfigExchange::pictures()
{
    TempSysroot root;
    QVERIFY(root.mkdir("/sys/class/block/mmcblk0p1"));
    QVERIFY(root.mkdir("/mnt/mmc/mmcblk0p1"));
    QCOMPARE(ConfigExchange::getPictures(), QStringList());

    const QString dir = QStringLiteral("/mnt/mmc/mmcblk0p1/pictures/");
    for (const char* name : { "b.jpg", "a.PNG", "Zebra Stripe.JpG", "ölpumpe.png", "notes.txt", "c.jpeg" })
        QVERIFY(root.write(dir + QString::fromUtf8(name), "x"));
    for (int i = 0; i < 300; ++i)
        QVERIFY(root.write(dir + QString::asprintf("m%03d.png", i), "x"));
    QVERIFY(root.mkdir(dir + "folder.jpg"));
    QVERIFY(::mkfifo(QFile::encodeName(root.path(dir + "pipe.png")).constData(), 0644) == 0);
    QVERIFY(QFile::link(root.path(dir + "b.jpg"), root.path(dir + "link.jpg")));
    QVERIFY(root.write("/etc/secret.png", "x"));
    QVERIFY(QFile::link(root.path("/etc/secret.png"), root.path(dir + "outside.png")));

    const QStringList pictures = ConfigExchange::getPictures();
    QCOMPARE(pictures.size(), 305);
    QCOMPARE(pictures.first(), root.path(dir + "a.PNG"));
    QStringList names;
    for (const QString& p : pictures.mid(0, 3) + pictures.mid(303))
        names << QFileInfo(p).fileName();
    QCOMPARE(names, QStringList({ "a.PNG", "b.jpg", "link.jpg", "Zebra Stripe.JpG", "ölpumpe.png" }));

    // What the viewer gets for a listed name, when the name has since been changed under it:
    // a picture on the card is decoded at the size asked for; a pipe, or a link out of the
    // card, gives nothing, at once.
    QImage picture(480, 260, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(root.path(dir + "a.PNG"), "PNG"));
    QVERIFY(root.remove(dir + "b.jpg"));
    QVERIFY(::mkfifo(QFile::encodeName(root.path(dir + "b.jpg")).constData(), 0644) == 0);
    QVERIFY(picture.save(root.path("/etc/secret.png"), "PNG"));
    CardPictures provider;
    const auto sizeOf = [&](const char* name) {
        const QString id = QString::fromLatin1(QUrl::toPercentEncoding(root.path(dir + QString::fromUtf8(name))));
        return provider.requestImage(id, nullptr, QSize(240, 260)).size();
    };
    QCOMPARE(sizeOf("a.PNG"), QSize(240, 130));
    QCOMPARE(sizeOf("b.jpg"), QSize(0, 0));
    QCOMPARE(sizeOf("link.jpg"), QSize(0, 0));
    QCOMPARE(sizeOf("outside.png"), QSize(0, 0));
}

QTEST_GUILESS_MAIN(TestConfigExchange)
#include "tst_configexchange.moc"
