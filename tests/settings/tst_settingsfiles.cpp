#include <QFile>
#include <QtTest>

#include "devicepaths.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"

class TestSettingsFiles : public QObject
{
    Q_OBJECT

private:
    const QString GuiCfg = QString::fromLatin1(DevicePaths::GuiConfigFile);
    const QString WlanCfg = QString::fromLatin1(DevicePaths::WlanConfigFile);

private Q_SLOTS:
    void init() { SystemLog::startCapture(); }
    void cleanup() { SystemLog::stopCapture(); }

    void loadsBothFiles()
    {
        TempSysroot root;
        const QByteArray gui = "{\n  \"global\": {\n    \"language\": \"de\",\n    \"theme\": \"black\"\n  }\n}\n";
        const QByteArray wlan = "{\"interface\": true, \"name\": \"Stra\xc3\x9f" "e\"}";
        QVERIFY(root.write(GuiCfg, gui));
        QVERIFY(root.write(WlanCfg, wlan));
        SettingsFiles s;
        QVERIFY(s.wlan().isEmpty());
        s.loadCfg();
        s.loadWlan();
        QCOMPARE(s.cfg(), QString::fromUtf8(gui));
        QCOMPARE(s.wlan(), QString::fromUtf8(wlan));
        QVERIFY(s.wlan().contains(QStringLiteral("Stra\u00dfe")));
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void missingOrUnopenableFileKeepsText_data()
    {
        QTest::addColumn<bool>("asDirectory");
        QTest::newRow("missing") << false;
        // root ignores file modes, so a directory in the file's place stands for an
        // unreadable file
        QTest::newRow("not a file") << true;
    }

    void missingOrUnopenableFileKeepsText()
    {
        QFETCH(bool, asDirectory);
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{\"x\": 1}"));
        QVERIFY(root.write(WlanCfg, "{\"interface\": false}"));
        SettingsFiles s;
        s.loadCfg();
        s.loadWlan();
        QVERIFY(root.remove(GuiCfg));
        QVERIFY(root.remove(WlanCfg));
        if (asDirectory) {
            QVERIFY(root.mkdir(GuiCfg));
            QVERIFY(root.mkdir(WlanCfg));
        }
        SystemLog::startCapture();
        s.loadCfg();
        s.loadWlan();
        QCOMPARE(s.cfg(), QStringLiteral("{\"x\": 1}"));
        QCOMPARE(s.wlan(), QStringLiteral("{\"interface\": false}"));
        QCOMPARE(SystemLog::capturedLines(),
                 QStringList({ QStringLiteral("<4>Configuration not found"), QStringLiteral("<4>Wlan config not found") }));
    }

    void oddContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("cut at NUL") << QByteArray("{\"a\": 1}\0garbage\0", 18) << QStringLiteral("{\"a\": 1}");
        QTest::newRow("leading NUL") << QByteArray("\0{}", 3) << QString();
        QTest::newRow("binary") << QByteArray("\xff\xfe\x01\x02", 4) << QString::fromUtf8("\xff\xfe\x01\x02", 4);
    }

    void oddContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, content));
        SettingsFiles s;
        s.loadCfg();
        QCOMPARE(s.cfg(), expected);
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void oversizedFileIsReadWhole()
    {
        TempSysroot root;
        QByteArray big = "{\"pad\": \"";
        big += QByteArray(2 * 1024 * 1024, 'y');
        big += "\"}";
        QVERIFY(root.write(GuiCfg, big));
        SettingsFiles s;
        s.loadCfg();
        QCOMPARE(s.cfg().size(), big.size());
    }

    // The whole text replaces the whole file; a missing file is created; an empty text
    // truncates without a complaint.
    void writeReplacesWholeContent()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, QByteArray(5000, 'o')));
        SettingsFiles s;
        const QString text = QStringLiteral("{\n  \"global\": {\n    \"theme\": \"blue\", \"name\": \"\u00e4\u20ac\"\n  }\n}");
        s.setCfg(text);
        QCOMPARE(s.cfg(), text);
        QCOMPARE(root.read(GuiCfg), text.toUtf8());
        s.setCfg(QStringLiteral("{}"));
        QCOMPARE(root.read(GuiCfg), QByteArray("{}"));

        s.setWlan(QStringLiteral("{\"interface\": true}"));
        QCOMPARE(root.read(WlanCfg), QByteArray("{\"interface\": true}"));
        s.setWlan(QString());
        QVERIFY(QFile::exists(root.path(WlanCfg)));
        QCOMPARE(QFileInfo(root.path(WlanCfg)).size(), 0);
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void unwritableFileKeepsPropertyValue_data()
    {
        QTest::addColumn<bool>("dirExists");
        QTest::newRow("no config directory") << false;
        QTest::newRow("directory in the file's place") << true;
    }

    void unwritableFileKeepsPropertyValue()
    {
        QFETCH(bool, dirExists);
        TempSysroot root;
        if (dirExists)
            QVERIFY(root.mkdir(GuiCfg));
        SettingsFiles s;
        s.setCfg(QStringLiteral("{\"kept\": true}"));
        QCOMPARE(s.cfg(), QStringLiteral("{\"kept\": true}"));
        QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<3>Cannot write config file")));
    }

};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
