// A pulled plug during a settings save: a real writer process is killed at random points of
// its saves, many times; every read-back must be the old or the new settings text.
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

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
        TempSysroot root;
        QVERIFY(root.mkdir(QString::fromLatin1(DevicePaths::ConfigDir)));
        SettingsFiles settings;
        wlan ? settings.setWlan(SaveTexts::text(0)) : settings.setCfg(SaveTexts::text(0));
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int restored = 0;
        for (int round = 0; round < 100; ++round) {
            QProcess writer;
            endWithTest(writer);
            writer.start(QStringLiteral(SETTINGSWRITER_PATH), { kind });
            QVERIFY(writer.waitForReadyRead(5000));
            ::usleep(random.bounded(6000));
            writer.kill();
            QVERIFY(writer.waitForFinished(5000));

            SystemLog::startCapture();
            SettingsFiles reader;
            wlan ? reader.loadWlan() : reader.loadCfg();
            const QString text = wlan ? reader.wlan() : reader.cfg();
            restored += SystemLog::capturedLines().size();
            SystemLog::stopCapture();
            QVERIFY2(text == SaveTexts::text(0) || text == SaveTexts::text(1),
                     qPrintable(QStringLiteral("round %1 (seed %2): %3 bytes").arg(round).arg(seed).arg(text.size())));
        }
        qInfo("%d of 100 kills cut a save short and were restored", restored);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafeSave)
#include "tst_crashsafesave.moc"
