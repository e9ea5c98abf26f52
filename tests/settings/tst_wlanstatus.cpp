#include <QtTest>

#include "devicepaths.h"
#include "wlanstatus.h"
#include "testsupport.h"

class TestWlanStatus : public QObject
{
    Q_OBJECT

private:
    const QString WlanCfg = QString::fromLatin1(DevicePaths::WlanConfigFile);
    const QString StationInfo = QString::fromLatin1(DevicePaths::StationInfoFile);

private Q_SLOTS:
    void signalBars_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("bars");
        // every boundary, from both sides
        const QList<QPair<int, int>> table = { { -29, 0 }, { -30, 5 }, { -50, 5 }, { -51, 4 }, { -55, 4 }, { -56, 3 },
                                                { -65, 3 }, { -66, 2 }, { -74, 2 }, { -75, 1 }, { -150, 1 }, { -151, 0 } };
        for (const auto& row : table)
            QTest::addRow("%d dBm", row.first) << row.first << row.second;
    }

    void signalBars()
    {
        QFETCH(int, level);
        QFETCH(int, bars);
        QCOMPARE(WlanStatus::signalBars(level), bars);
    }

    void ssid_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("ssid");
        QTest::addColumn<bool>("active");
        QTest::newRow("on") << QByteArray("{\"interface\": true, \"connections\": [{\"wlan\": {\"ssid\": \"Halle 3\"}}, {\"wlan\": {\"ssid\": \"B\"}}]}")
                            << "Halle 3" << true;
        QTest::newRow("off") << QByteArray("{\"interface\": false, \"connections\": [{\"wlan\": {\"ssid\": \"A\"}}]}") << "-" << false;
        QTest::newRow("no interface member") << QByteArray("{\"connections\": [{\"wlan\": {\"ssid\": \"A\"}}]}") << "Not found" << false;
        QTest::newRow("empty connections") << QByteArray("{\"interface\": true, \"connections\": []}") << "Not found" << true;
        QTest::newRow("no connections") << QByteArray("{\"interface\": true}") << "Not found" << true;
        QTest::newRow("no ssid") << QByteArray("{\"interface\": true, \"connections\": [{\"wlan\": {}}]}") << "Not found" << true;
        QTest::newRow("empty ssid") << QByteArray("{\"interface\": true, \"connections\": [{\"wlan\": {\"ssid\": \"\"}}]}") << "" << true;
        QTest::newRow("invalid") << QByteArray("{\"interface\": tru") << "Not found" << false;
        QTest::newRow("empty file") << QByteArray("") << "Not found" << false;
        QTest::newRow("not an object") << QByteArray("[true]") << "Not found" << false;
        QTest::newRow("connection not an object") << QByteArray("{\"interface\": true, \"connections\": [3]}") << "Not found" << true;
        QTest::newRow("no file") << QByteArray() << "Not found" << false;
    }

    void ssid()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, ssid);
        QFETCH(bool, active);
        TempSysroot root;
        if (!config.isNull())
            QVERIFY(root.write(WlanCfg, config));
        QCOMPARE(WlanStatus::ssid(root.path(WlanCfg)), ssid);
        QCOMPARE(WlanStatus::interfaceActive(root.path(WlanCfg)), active);
    }

    void bssid_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("bssid");
        QTest::newRow("value") << QByteArray("SSID: Halle 3\nBSSID : 00 1A 2B 3C 4D 5E\nChannel: 6\n") << "001A2B3C4D5E";
        QTest::newRow("cut at next colon") << QByteArray("BSSID: 00:1a:2b:3c:4d:5e\n") << "00";
        QTest::newRow("last line wins") << QByteArray("BSSID: first\nx\nBSSID: second") << "second";
        QTest::newRow("no colon") << QByteArray("BSSID unknown\n") << "-";
        QTest::newRow("none") << QByteArray("SSID: Halle 3\n") << "-";
        QTest::newRow("empty file") << QByteArray("") << "-";
        QTest::newRow("no file") << QByteArray() << "-";
        QTest::newRow("empty value") << QByteArray("BSSID:\n") << "";
        QTest::newRow("NUL bytes") << QByteArray("BSSID: ab\0cd\n", 13) << QString::fromLatin1("ab\0cd", 5);
    }

    void bssid()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, bssid);
        TempSysroot root;
        if (!content.isNull())
            QVERIFY(root.write(StationInfo, content));
        QCOMPARE(WlanStatus::bssid(root.path(StationInfo)), bssid);
    }
};

QTEST_GUILESS_MAIN(TestWlanStatus)
#include "tst_wlanstatus.moc"
