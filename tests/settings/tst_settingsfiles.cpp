#include <QFile>
#include <QtTest>

#include "devicepaths.h"
#include "filelock.h"
#include "jsonfile.h"
#include "peer.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"
#include "wlanstatus.h"

class TestSettingsFiles : public QObject
{
    Q_OBJECT

private:
    const QString GuiCfg = QString::fromLatin1(DevicePaths::GuiConfigFile);
    const QString WlanCfg = QString::fromLatin1(DevicePaths::WlanConfigFile);
    const QString ChanCfg = QStringLiteral("/home/tool/config/ChanCfg.json");
    const QString StationInfo = QString::fromLatin1(DevicePaths::StationInfoFile);
    QString ownPid() const { return QString::number(QCoreApplication::applicationPid()); }

    // Runs work on a thread that must block on another process's lock: it has not finished
    // while the lock is held, and finishes once released.
    void expectBlockedUntilReleased(Peer& holder, const std::function<void()>& work,
                                    const std::function<void()>& whileBlocked = {})
    {
        Background worker(work);
        const bool blocked = worker.stillRunningAfter(300);
        if (whileBlocked && blocked)
            whileBlocked();
        QVERIFY(holder.release()); // also unblocks the worker before a failed check below
        worker.join();
        QVERIFY2(blocked, "the operation did not wait for the other process's lock");
        QVERIFY(worker.done());
    }

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

    // Files of a few MiB are read whole, by the settings and by the JSON reader.
    void oversizedFileIsReadWhole()
    {
        TempSysroot root;
        const QByteArray pad(3 * 1024 * 1024, 'y');
        const QByteArray big = "{\"pad\": \"" + pad + "\"}";
        QVERIFY(root.write(GuiCfg, big));
        SettingsFiles s;
        s.loadCfg();
        QCOMPARE(s.cfg().size(), big.size());
        QVariant out;
        QVERIFY(JsonFile::parse(out, root.path(GuiCfg)));
        QCOMPARE(out.toMap().value(QStringLiteral("pad")).toString().size(), pad.size());
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

    // The JSON reader.
    void parsesObjectsAndArrays()
    {
        TempSysroot root;
        QVERIFY(root.write(ChanCfg, "\xEF\xBB\xBF{\"interface\": true, \"connections\": [{\"wlan\": {\"ssid\": \"Halle 3\"}}], \"n\": 2}"));
        QVariant out;
        QVERIFY(JsonFile::parse(out, root.path(ChanCfg)));
        const QVariantMap map = out.toMap();
        QCOMPARE(map.value(QStringLiteral("interface")).toBool(), true);
        QCOMPARE(map.value(QStringLiteral("n")).toInt(), 2);
        QCOMPARE(map.value(QStringLiteral("connections")).toList().first().toMap().value(QStringLiteral("wlan")).toMap().value(QStringLiteral("ssid")).toString(),
                 QStringLiteral("Halle 3"));

        QVERIFY(root.write(ChanCfg, "[1, \"zwei\"]"));
        QVERIFY(JsonFile::parse(out, root.path(ChanCfg)));
        QCOMPARE(out.toList().size(), 2);
    }

    void jsonBadInput_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("white space") << QByteArray(" \n");
        QTest::newRow("truncated") << QByteArray("{\"a\": [1, 2");
        QTest::newRow("trailing garbage") << QByteArray("{\"a\": 1} x");
        QTest::newRow("two values") << QByteArray("1],[2");
        QTest::newRow("NUL bytes") << QByteArray("{\"a\":\0 1}", 9);
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
    }

    void jsonBadInput()
    {
        QFETCH(QByteArray, content);
        TempSysroot root;
        QVERIFY(root.write(ChanCfg, content));
        QVariant out(QStringLiteral("previous"));
        QVERIFY(!JsonFile::parse(out, root.path(ChanCfg)));
        if (!content.trimmed().isEmpty())
            QVERIFY(!out.isValid());
    }

    void jsonMissingFileLeavesOutput()
    {
        TempSysroot root;
        QVariant out(42);
        QVERIFY(!JsonFile::parse(out, root.path(ChanCfg)));
        QCOMPARE(out, QVariant(42));
        QVERIFY(root.mkdir(ChanCfg));
        QVERIFY(!JsonFile::parse(out, root.path(ChanCfg)));
        QCOMPARE(out, QVariant(42));
    }

    void boolValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("expected");
        QTest::newRow("true text") << QVariant(QStringLiteral("true")) << true;
        QTest::newRow("padded") << QVariant(QStringLiteral(" true\n")) << true;
        QTest::newRow("json true") << QVariant(true) << true;
        QTest::newRow("capital") << QVariant(QStringLiteral("True")) << false;
        QTest::newRow("one") << QVariant(1) << false;
        QTest::newRow("false") << QVariant(QStringLiteral("false")) << false;
        QTest::newRow("invalid") << QVariant() << false;
    }

    void boolValue()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, expected);
        QCOMPARE(JsonFile::boolValue(value), expected);
    }

    // The WLAN status from the settings and the station file.
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

    // The lock protocol against a real second process.
    void lockRecordFollowsOpenMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only") << int(QIODevice::ReadOnly) << "read";
        QTest::newRow("read-only text") << int(QIODevice::ReadOnly | QIODevice::Text) << "read";
        QTest::newRow("append") << int(QIODevice::WriteOnly | QIODevice::Append) << "write";
        QTest::newRow("read-write") << int(QIODevice::ReadWrite) << "write";
    }

    void lockRecordFollowsOpenMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, kind);
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{}"));
        const QString path = root.path(GuiCfg);
        QFile file(path);
        QVERIFY(file.open(QIODevice::OpenMode(mode)));
        QVERIFY(FileLock::lock(file));
        const QString expected = kind + QLatin1Char(' ') + ownPid();
        QCOMPARE(Peer::probe(path), expected);
        // the whole file, also beyond its current end
        QCOMPARE(Peer::probe(path, 1 << 20, 1), expected);
        QVERIFY(FileLock::unlock(file));
        QCOMPARE(Peer::probe(path), QStringLiteral("none"));
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void failuresAreLogged()
    {
        TempSysroot root;
        QFile closed(root.path(QStringLiteral("/never-opened")));
        QVERIFY(!FileLock::lock(closed));
        QVERIFY(!FileLock::unlock(closed));
        const QStringList lines = SystemLog::capturedLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), QStringLiteral("<3>FLOCK failed: %1; Bad file descriptor").arg(closed.fileName()));
        QCOMPARE(lines.at(1), QStringLiteral("<3>FUNLOCK failed: %1; Bad file descriptor").arg(closed.fileName()));
    }

    void readLocksAreShared()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{\"global\": {\"theme\": \"blue\"}}"));
        Peer holder;
        QVERIFY(holder.hold(root.path(GuiCfg), false));
        // must not wait: both hold read locks
        QVariant out;
        QVERIFY(JsonFile::parse(out, root.path(GuiCfg)));
        SettingsFiles settings;
        settings.loadCfg();
        QVERIFY(settings.cfg().contains(QLatin1String("blue")));
        QVERIFY(holder.release());
    }

    void writerWaitsForReader()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "old"));
        Peer holder;
        QVERIFY(holder.hold(root.path(GuiCfg), false));
        SettingsFiles settings;
        expectBlockedUntilReleased(
            holder, [&] { settings.setCfg(QStringLiteral("new")); },
            [&] { QCOMPARE(root.read(GuiCfg), QByteArray("old")); });
        QCOMPARE(root.read(GuiCfg), QByteArray("new"));
        QCOMPARE(Peer::probe(root.path(GuiCfg)), QStringLiteral("none"));
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void readersWaitForWriter()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{\"a\": 1}"));
        SettingsFiles settings;
        QVariant out;
        const std::function<void()> readers[] = { [&] { settings.loadCfg(); }, [&] { JsonFile::parse(out, root.path(GuiCfg)); } };
        for (const auto& read : readers) {
            Peer holder;
            QVERIFY(holder.hold(root.path(GuiCfg), true));
            expectBlockedUntilReleased(holder, read);
        }
        QCOMPARE(settings.cfg(), QStringLiteral("{\"a\": 1}"));
        QCOMPARE(out.toMap().value(QStringLiteral("a")).toInt(), 1);
    }

    // The kernel refuses a lock that would close a cycle of waiting processes: the write is
    // skipped, the file untouched (not even truncated for an empty text) and both failures
    // are logged.
    void refusedLockWritesNothing()
    {
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "old"));
        QVERIFY(root.write(QStringLiteral("/other"), ""));
        QFile other(root.path(QStringLiteral("/other")));
        QVERIFY(other.open(QIODevice::ReadWrite));
        QVERIFY(FileLock::lock(other));
        Peer holder;
        holder.start({ QStringLiteral("chain"), root.path(GuiCfg), other.fileName() });
        QCOMPARE(holder.readLine(), QStringLiteral("locked"));
        QTest::qSleep(300); // let it queue up for the file this process holds
        SystemLog::startCapture();
        SettingsFiles settings;
        settings.setCfg(QString());
        QCOMPARE(settings.cfg(), QString());
        QCOMPARE(root.read(GuiCfg), QByteArray("old"));
        const QStringList lines = SystemLog::capturedLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).startsWith(QStringLiteral("<3>FLOCK failed: %1; ").arg(root.path(GuiCfg))), qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), QStringLiteral("<3>Problem writing config file"));
        QVERIFY(FileLock::unlock(other));
        QCOMPARE(holder.readLine(), QStringLiteral("chained"));
        QVERIFY(holder.release());
    }

    // A reader that takes the read lock sees the old or the new text, never an empty or
    // partial file, however often the file is rewritten.
    void concurrentReaderNeverSeesPartialFile()
    {
        TempSysroot root;
        QByteArray a = "{\"global\": {\"theme\": \"blue\"}}";
        QByteArray b = "{\"global\": {\"theme\": \"black\", \"pad\": \"";
        b += QByteArray(200000, 'x');
        b += "\"}}";
        QVERIFY(root.write(QStringLiteral("/expected/a"), a));
        QVERIFY(root.write(QStringLiteral("/expected/b"), b));
        QVERIFY(root.write(GuiCfg, a));

        Peer reader;
        reader.start({ QStringLiteral("readloop"), root.path(GuiCfg), root.path(QStringLiteral("/expected/a")),
                                 root.path(QStringLiteral("/expected/b")) });
        QCOMPARE(reader.readLine(), QStringLiteral("ready"));

        SettingsFiles settings;
        const QString textA = QString::fromUtf8(a);
        const QString textB = QString::fromUtf8(b);
        bool seen = false;
        int writes = 0;
        // rewrite until the reader has met both texts often (bounded by a count, not a time)
        while (!seen && writes < 20000) {
            settings.setCfg(writes % 2 ? textA : textB);
            ++writes;
            reader.process().waitForReadyRead(0);
            if (reader.process().canReadLine())
                seen = reader.readLine(0) == QLatin1String("seen");
        }
        reader.process().write("\n");
        const QString stats = reader.readLine();
        QVERIFY2(seen, qPrintable(stats));
        QVERIFY2(stats.endsWith(QLatin1String(" bad=0")), qPrintable(stats));
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
