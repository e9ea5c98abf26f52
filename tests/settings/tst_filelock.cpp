#include <QFile>
#include <QtTest>

#include "devicepaths.h"
#include "filelock.h"
#include "jsonfile.h"
#include "peer.h"
#include "settingsfiles.h"
#include "systemlog.h"
#include "testsupport.h"

// The lock protocol against a real second process.
class TestFileLock : public QObject
{
    Q_OBJECT

private:
    const QString GuiCfg = QString::fromLatin1(DevicePaths::GuiConfigFile);
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

QTEST_GUILESS_MAIN(TestFileLock)
#include "tst_filelock.moc"
