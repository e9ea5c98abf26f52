// A pulled plug during a settings save: a real writer process is killed at random points of
// its saves, many times; the file on disk, read as a peer reads it, must be the old or the
// new settings text every time. And a disk too full for the new text keeps the old one.
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

#include "devicepaths.h"
#include "savetexts.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"

class TestCrashSafeSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWriter_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("guiconfig.json") << QStringLiteral("cfg");
        QTest::newRow("wlan.json") << QStringLiteral("wlan");
    }

    void killedWriter()
    {
        QFETCH(QString, kind);
        const bool wlan = kind == QLatin1String("wlan");
        const QString file = QString::fromLatin1(wlan ? DevicePaths::WlanConfigFile : DevicePaths::GuiConfigFile);
        TempSysroot root;
        QVERIFY(root.mkdir(QString::fromLatin1(DevicePaths::ConfigDir)));
        SettingsFiles settings;
        wlan ? settings.setWlan(SaveTexts::text(0)) : settings.setCfg(SaveTexts::text(0));
        const QByteArray texts[] = { SaveTexts::text(0).toUtf8(), SaveTexts::text(1).toUtf8() };
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int round = 0; round < 100; ++round) {
            QProcess writer;
            endWithTest(writer);
            writer.start(QStringLiteral(SETTINGSWRITER_PATH), { kind });
            QVERIFY(writer.waitForReadyRead(5000));
            ::usleep(random.bounded(6000));
            writer.kill();
            QVERIFY(writer.waitForFinished(5000));

            // no read through the GUI's loader, which could repair what a peer would see
            const QByteArray bytes = root.read(file);
            QVERIFY2(bytes == texts[0] || bytes == texts[1],
                     qPrintable(QStringLiteral("round %1 (seed %2): %3 bytes").arg(round).arg(seed).arg(bytes.size())));
        }
    }

    // The configuration folder on a file system of its own that the new text does not fit:
    // the save fails, the old text stays whole and no temporary file is left; once there is
    // room again the next save succeeds.
    void fullDisk()
    {
        TempSysroot root;
        const QString dir = root.path(QString::fromLatin1(DevicePaths::ConfigDir));
        QVERIFY(root.mkdir(QString::fromLatin1(DevicePaths::ConfigDir)));
        if (::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("no tmpfs can be mounted here (not root)");
        auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH); });
        const QString gui = QString::fromLatin1(DevicePaths::GuiConfigFile);
        const QString filler = QString::fromLatin1(DevicePaths::ConfigDir) + QLatin1String("filler");
        SettingsFiles settings;
        settings.setCfg(SaveTexts::text(1)); // 60 kB
        QVERIFY(root.write(filler, QByteArray(120 * 1024, 'f')));

        SystemLog::startCapture();
        settings.setCfg(SaveTexts::text(0)); // 150 kB: does not fit beside the old text
        QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<3>Problem writing config file")));
        SystemLog::stopCapture();
        QCOMPARE(root.read(gui), SaveTexts::text(1).toUtf8());
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({ QStringLiteral("filler"), QStringLiteral("guiconfig.json") }));

        QVERIFY(root.remove(filler));
        settings.setCfg(SaveTexts::text(0));
        QCOMPARE(root.read(gui), SaveTexts::text(0).toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestCrashSafeSave)
#include "tst_crashsafesave.moc"
