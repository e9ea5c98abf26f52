#include <QFile>
#include <QtTest>

#include <sys/stat.h>

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

    // Both files are read as they are, also when they are no JSON: cut at the first NUL
    // byte, and files of a few MiB whole.
    void readsFilesAsTheyAre_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QByteArray text = "{\n  \"global\": {\n    \"language\": \"de\",\n    \"name\": \"Stra\xc3\x9f" "e\"\n  }\n}\n";
        QTest::newRow("UTF-8") << text << QString::fromUtf8(text);
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("cut at NUL") << QByteArray("{\"a\": 1}\0garbage\0", 18) << QStringLiteral("{\"a\": 1}");
        QTest::newRow("leading NUL") << QByteArray("\0{}", 3) << QString();
        QTest::newRow("binary") << QByteArray("\xff\xfe\x01\x02", 4) << QString::fromUtf8("\xff\xfe\x01\x02", 4);
        const QByteArray big = "{\"pad\": \"" + QByteArray(3 * 1024 * 1024, 'y') + "\"}";
        QTest::newRow("3 MiB") << big << QString::fromLatin1(big);
    }

    void readsFilesAsTheyAre()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, content));
        QVERIFY(root.write(WlanCfg, content));
        SettingsFiles s;
        s.loadCfg();
        s.loadWlan();
        QCOMPARE(s.cfg(), expected);
        QCOMPARE(s.wlan(), expected);
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    // A file that is gone, or a directory in its place (root ignores file modes, so that
    // stands for an unreadable file), leaves the text read before.
    void missingOrUnopenableFileKeepsText()
    {
        for (const bool asDirectory : { false, true }) {
            TempSysroot root;
            QVERIFY(root.write(GuiCfg, "{\"x\": 1}"));
            QVERIFY(root.write(WlanCfg, "{\"interface\": false}"));
            SettingsFiles s;
            s.loadCfg();
            s.loadWlan();
            QVERIFY(root.remove(GuiCfg) && root.remove(WlanCfg));
            if (asDirectory)
                QVERIFY(root.mkdir(GuiCfg) && root.mkdir(WlanCfg));
            SystemLog::startCapture();
            s.loadCfg();
            s.loadWlan();
            QCOMPARE(s.cfg(), QStringLiteral("{\"x\": 1}"));
            QCOMPARE(s.wlan(), QStringLiteral("{\"interface\": false}"));
            QCOMPARE(SystemLog::capturedLines(),
                     QStringList({ QStringLiteral("<4>Configuration not found"), QStringLiteral("<4>Wlan config not found") }));
        }
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

        s.setWlan(QStringLiteral("{\"interface\": true}"));
        QCOMPARE(root.read(WlanCfg), QByteArray("{\"interface\": true}"));
        s.setWlan(QString());
        QVERIFY(QFile::exists(root.path(WlanCfg)));
        QCOMPARE(QFileInfo(root.path(WlanCfg)).size(), 0);
        QVERIFY(SystemLog::capturedLines().isEmpty());
        // readable by the owner and the tool's group only, and nothing left beside them
        for (const QString& file : { GuiCfg, WlanCfg }) {
            struct stat st;
            QCOMPARE(::stat(QFile::encodeName(root.path(file)).constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, 0640u);
        }
        QCOMPARE(QFileInfo(root.path(GuiCfg)).dir().entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({ QStringLiteral("guiconfig.json"), QStringLiteral("wlan.json") }));
    }

    // Without the config directory, or with a directory in the file's place.
    void unwritableFileKeepsPropertyValue()
    {
        for (const bool dirExists : { false, true }) {
            TempSysroot root;
            if (dirExists)
                QVERIFY(root.mkdir(GuiCfg));
            SystemLog::startCapture();
            SettingsFiles s;
            s.setCfg(QStringLiteral("{\"kept\": true}"));
            QCOMPARE(s.cfg(), QStringLiteral("{\"kept\": true}"));
            QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<3>Cannot write config file")));
        }
    }

    // The JSON reader: a BOM is skipped, a top-level array is fine, a few MiB are read whole.
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

        const QByteArray pad(3 * 1024 * 1024, 'y');
        QVERIFY(root.write(ChanCfg, "{\"pad\": \"" + pad + "\"}"));
        QVERIFY(JsonFile::parse(out, root.path(ChanCfg)));
        QCOMPARE(out.toMap().value(QStringLiteral("pad")).toString().size(), pad.size());
    }

    void jsonBadInput_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file; "/": a directory
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("directory") << QByteArray("/");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("white space") << QByteArray(" \n");
        QTest::newRow("truncated") << QByteArray("{\"a\": [1, 2");
        QTest::newRow("trailing garbage") << QByteArray("{\"a\": 1} x");
        QTest::newRow("two values") << QByteArray("1],[2");
        QTest::newRow("NUL bytes") << QByteArray("{\"a\":\0 1}", 9);
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
    }

    // Refused; the output is left as it was when the file cannot be opened, and cleared
    // when the content does not parse.
    void jsonBadInput()
    {
        QFETCH(QByteArray, content);
        TempSysroot root;
        const bool unopenable = content.isNull() || content == "/";
        if (content == "/")
            QVERIFY(root.mkdir(ChanCfg));
        else if (!content.isNull())
            QVERIFY(root.write(ChanCfg, content));
        QVariant out(QStringLiteral("previous"));
        QVERIFY(!JsonFile::parse(out, root.path(ChanCfg)));
        if (unopenable)
            QCOMPARE(out, QVariant(QStringLiteral("previous")));
        else if (!content.trimmed().isEmpty())
            QVERIFY(!out.isValid());
    }

    void boolValue()
    {
        // only the trimmed text "true" (a JSON true reads as that text)
        const QList<QPair<QVariant, bool>> table = {
            { QStringLiteral("true"), true }, { QStringLiteral(" true\n"), true }, { true, true }, { QStringLiteral("True"), false },
            { 1, false }, { QStringLiteral("false"), false }, { QVariant(), false },
        };
        for (const auto& [value, expected] : table)
            QVERIFY2(JsonFile::boolValue(value) == expected, qPrintable(value.toString()));
    }

    // The WLAN status from the settings and the station file.
    void signalBars()
    {
        // every boundary, from both sides
        const QList<QPair<int, int>> table = { { -29, 0 }, { -30, 5 }, { -50, 5 }, { -51, 4 }, { -55, 4 }, { -56, 3 },
                                                { -65, 3 }, { -66, 2 }, { -74, 2 }, { -75, 1 }, { -150, 1 }, { -151, 0 } };
        for (const auto& [level, bars] : table)
            QVERIFY2(WlanStatus::signalBars(level) == bars, qPrintable(QStringLiteral("%1 dBm").arg(level)));
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
    // Only writing takes the write lock, whatever the other open flags; a lock or unlock that
    // fails is logged.
    void lockRecordFollowsOpenMode()
    {
        const QList<QPair<QIODevice::OpenMode, QString>> modes = {
            { QIODevice::ReadOnly, "read" }, { QIODevice::ReadOnly | QIODevice::Text, "read" },
            { QIODevice::WriteOnly | QIODevice::Append, "write" }, { QIODevice::ReadWrite, "write" },
        };
        TempSysroot root;
        QVERIFY(root.write(GuiCfg, "{}"));
        const QString path = root.path(GuiCfg);
        for (const auto& [mode, kind] : modes) {
            QFile file(path);
            QVERIFY(file.open(mode));
            QVERIFY(FileLock::lock(file));
            const QString expected = kind + QLatin1Char(' ') + QString::number(QCoreApplication::applicationPid());
            QCOMPARE(Peer::probe(path), expected);
            // the whole file, also beyond its current end
            QCOMPARE(Peer::probe(path, 1 << 20, 1), expected);
            QVERIFY(FileLock::unlock(file));
            QCOMPARE(Peer::probe(path), QStringLiteral("none"));
        }
        QVERIFY(SystemLog::capturedLines().isEmpty());

        // a file that is not open: both refused and logged
        QFile closed(root.path(QStringLiteral("/never-opened")));
        QVERIFY(!FileLock::lock(closed));
        QVERIFY(!FileLock::unlock(closed));
        QCOMPARE(SystemLog::capturedLines(), QStringList({ QStringLiteral("<3>FLOCK failed: %1; Bad file descriptor").arg(closed.fileName()),
                                                           QStringLiteral("<3>FUNLOCK failed: %1; Bad file descriptor").arg(closed.fileName()) }));
    }

    // Another process's lock, shared or exclusive, holds a save up for a bounded time only:
    // the file keeps the old text, the save stays pending (a reload keeps the new text) and
    // goes through once the lock is released.
    void saveWaitsBoundedForLock_data()
    {
        QTest::addColumn<bool>("write");
        QTest::newRow("read lock") << false;
        QTest::newRow("write lock") << true;
    }

    void saveWaitsBoundedForLock()
    {
        QFETCH(bool, write);
        TempSysroot root;
        const QByteArray old = "{\"global\": {\"theme\": \"blue\"}}";
        QVERIFY(root.write(GuiCfg, old));
        Peer holder;
        QVERIFY(holder.hold(root.path(GuiCfg), write));
        SettingsFiles settings;
        Background worker([&] { settings.setCfg(QStringLiteral("new")); });
        const bool blocked = worker.stillRunningAfter(SettingsFiles::SaveLockWaitMs * 4);
        if (blocked)
            QVERIFY(holder.release());
        worker.join();
        QVERIFY2(!blocked, "the save waited for the lock without a bound");
        QCOMPARE(root.read(GuiCfg), old);
        QVERIFY(settings.hasPendingSave());
        QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<4>Config file locked by another process, saving later: ") + root.path(GuiCfg)));
        QVERIFY(settings.savePending());
        settings.loadCfg();
        QCOMPARE(settings.cfg(), QStringLiteral("new"));

        QVERIFY(holder.release());
        QVERIFY(!settings.savePending());
        QCOMPARE(root.read(GuiCfg), QByteArray("new"));
        QCOMPARE(SystemLog::capturedLines().size(), 1);
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

    // A reader that takes the read lock sees the old or the new text, never an empty or
    // partial file, however often the file is rewritten.
    void concurrentReaderNeverSeesPartialFile()
    {
        TempSysroot root;
        const QByteArray a = "{\"global\": {\"theme\": \"blue\"}}";
        const QByteArray b = "{\"global\": {\"theme\": \"black\", \"pad\": \"" + QByteArray(200000, 'x') + "\"}}";
        QVERIFY(root.write(QStringLiteral("/expected/a"), a));
        QVERIFY(root.write(QStringLiteral("/expected/b"), b));
        QVERIFY(root.write(GuiCfg, a));

        Peer reader;
        reader.start({ QStringLiteral("readloop"), root.path(GuiCfg), root.path(QStringLiteral("/expected/a")),
                                 root.path(QStringLiteral("/expected/b")) });
        QCOMPARE(reader.readLine(), QStringLiteral("ready"));

        SettingsFiles settings;
        const QString textA = QString::fromUtf8(a), textB = QString::fromUtf8(b);
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
