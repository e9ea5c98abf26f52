#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "resultreader.h"
#include "systemlog.h"
#include "testsupport.h"
#include "peer.h"

namespace {

const QString DbFile = QStringLiteral("/home/tool/data/result.sq3");

// The subset of the result service's database that the reader relies on.
const char* const Schema[] = {
    "CREATE TABLE srbergallg (id INTEGER PRIMARY KEY, prg_nr INTEGER, prg_name TEXT, result INTEGER,"
    " qcode INTEGER, id_code TEXT, torque_unit INTEGER, created TEXT)",
    "CREATE TABLE stuferg (id INTEGER PRIMARY KEY, allg_id INTEGER, row INTEGER, last_cmd INTEGER,"
    " time REAL, angle REAL, torque REAL)",
    "CREATE TABLE srbfncts (id INTEGER PRIMARY KEY, stuferg_id INTEGER, cmd INTEGER, actual REAL, nom REAL,"
    " switching INTEGER)",
};

} // namespace

class TestResultReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new TempSysroot);
        QVERIFY(m_root->mkdir("/home/tool/data"));
        SystemLog::startCapture();
    }

    void cleanup()
    {
        SystemLog::stopCapture();
        closeWriter();
        m_root.reset();
    }

    // Paths from the notification are device paths, mapped into the system root.
    void okResultMap()
    {
        const QString other = QStringLiteral("/home/tool/data/other.sq3");
        createDb(true, other);
        addResult(1, 1, 105, "WP-4711");
        // The last step of the result is the one shown.
        sql("INSERT INTO stuferg VALUES (2, 1, 1, 105, 1.75, 361.5, 12.25)");
        ResultReader r;
        r.setDatabasePath(other);
        QVariantMap m;
        QVERIFY(r.read(1, m));
        // OK results carry no deviation, whatever ended the step.
        QCOMPARE(QJsonDocument(QJsonObject::fromVariantMap(m)).toJson(QJsonDocument::Compact),
                 QByteArray("{\"angle\":361.5,\"cycle\":\"WP-4711\",\"dAngle\":0,\"dTgs\":0,\"dTorque\":0,\"prg_name\":\"Tight\","
                            "\"prg_nr\":5,\"qcode\":0,\"result\":1,\"row\":1,\"tgs\":1.75,\"torque\":12.25,\"torqueUnit\":2}"));
        QVERIFY(SystemLog::capturedLines().isEmpty());
        // The connection is closed between results.
        QVERIFY(!QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen());
    }

    void deviations_data()
    {
        QTest::addColumn<int>("lastCmd");
        QTest::addColumn<QStringList>("functions");
        QTest::addColumn<QList<int>>("expected"); // dTorque, dAngle, dTgs
        QTest::newRow("ended by lower torque") << 106 << QStringList() << QList<int> { -1, 0, 0 };
        QTest::newRow("ended by upper torque") << 105 << QStringList() << QList<int> { 1, 0, 0 };
        QTest::newRow("ended by upper angle") << 117 << QStringList() << QList<int> { 0, 1, 0 };
        QTest::newRow("ended by lower angle") << 118 << QStringList() << QList<int> { 0, -1, 0 };
        QTest::newRow("ended by time") << 104 << QStringList() << QList<int> { 0, 0, 1 };
        QTest::newRow("other code >= 100") << 150 << QStringList({ "105, 20, 10, 0" }) << QList<int> { 0, 0, 0 };
        QTest::newRow("function rows") << 3 << QStringList({ "105, 12.5, 12.0, 0", "118, 30, 35, 0" }) << QList<int> { 1, 1, 0 };
        QTest::newRow("lower limits among function rows give 1")
            << 99 << QStringList({ "106, 8, 10, 0", "117, 400, 360, 0", "104, 0, 0, 0" }) << QList<int> { 1, 1, 1 };
        QTest::newRow("later row overwrites") << 0 << QStringList({ "105, 13, 12, 0", "105, 11, 12, 0" }) << QList<int> { 0, 0, 0 };
        QTest::newRow("switching rows ignored") << 0 << QStringList({ "105, 13, 12, 1", "117, 10, 5, 1" }) << QList<int> { 0, 0, 0 };
        QTest::newRow("no function rows") << 1 << QStringList() << QList<int> { 0, 0, 0 };
        // Without a function table the NOK result is still shown, without deviations or a log line.
        QTest::newRow("no function table") << 7 << QStringList({ "DROP TABLE srbfncts" }) << QList<int> { 0, 0, 0 };
    }

    void deviations()
    {
        QFETCH(int, lastCmd);
        QFETCH(QStringList, functions);
        QFETCH(QList<int>, expected);
        createDb();
        addResult(9, -1, lastCmd, nullptr);
        // Rows of another step never count.
        sql("INSERT INTO srbfncts (stuferg_id, cmd, actual, nom, switching) VALUES (10, 104, 1, 0, 0)");
        for (const QString& f : functions)
            sql(f.startsWith("DROP") ? f : "INSERT INTO srbfncts (stuferg_id, cmd, actual, nom, switching) VALUES (9, " + f + ")");
        ResultReader r;
        QVariantMap m;
        QVERIFY(r.read(9, m));
        QCOMPARE(QList<int>({ m.value("dTorque").toInt(), m.value("dAngle").toInt(), m.value("dTgs").toInt() }), expected);
        // A NULL identification code is an empty text, never a null one.
        QCOMPARE(m.value("cycle").typeId(), QMetaType::QString);
        QVERIFY(!m.value("cycle").toString().isNull() && m.value("cycle").toString().isEmpty());
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    // A failed read logs one line and leaves the caller's map as it was; the next result is
    // read normally.
    void failedRead_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message"); // the whole line, or its start when it ends in a blank
        QTest::newRow("missing") << "missing" << "<3>result database not found!";
        QTest::newRow("no row for the id") << "norow" << "<3>DB Error ";
        QTest::newRow("corrupt") << "corrupt" << "<3>DB Error ";
        QTest::newRow("empty file") << "empty" << "<3>DB Error ";
        QTest::newRow("directory") << "directory" << "<3>result database not found!";
        QTest::newRow("tables missing") << "notables" << "<3>DB Error ";
        // A database comes from a path on the bus. An endless recursive view named like the
        // step table, or a million step rows, must not hold the GUI: the read is cut off at
        // its time bound.
        QTest::newRow("recursive view") << "endless" << "<3>DB Error query interrupted after 200 ms";
        QTest::newRow("a million steps") << "million" << "<3>DB Error query interrupted after 200 ms";
        // Nor may a value that a view computes, or one stored, be copied whole: past the
        // length bound the read fails at once.
        QTest::newRow("view computing a 200 MB code") << "hugeview" << "<3>DB Error Unable to fetch row";
        QTest::newRow("stored 1 MB code") << "hugevalue" << "<3>DB Error Unable to fetch row";
        // Read-only: a hot journal left by a crashed writer is not rolled back by the GUI (that
        // is the writer's business); both files stay as they were.
        QTest::newRow("hot journal") << "journal" << "<3>DB Error ";
    }

    void failedRead()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        ResultReader r;
        const QString copy = QStringLiteral("/home/tool/data/crashed.sq3");
        QByteArray db, journal;
        if (setup == "norow" || setup == "notables") {
            createDb(setup == "norow");
            if (setup == "norow")
                addResult(1, 1, 0, nullptr);
        } else if (setup == "corrupt") {
            QVERIFY(m_root->write(DbFile, "SQLite format 3" + QByteArray(4096, '\x5a')));
        } else if (setup == "empty") {
            QVERIFY(m_root->write(DbFile, QByteArray()));
        } else if (setup == "directory") {
            QVERIFY(m_root->mkdir(DbFile));
        } else if (setup != "missing") {
            createDb();
            addResult(2, 1, 0, "A");
        }
        if (setup == "endless") {
            sql("DROP TABLE stuferg");
            sql("CREATE VIEW stuferg AS WITH RECURSIVE r(id, allg_id, row, last_cmd, time, angle, torque)"
                " AS (SELECT 1, 2, 0, 0, 0, 0, 0 UNION ALL SELECT id + 1, 2, 0, 0, 0, 0, 0 FROM r) SELECT * FROM r");
        } else if (setup == "hugeview") {
            sql("ALTER TABLE srbergallg RENAME TO stored");
            sql("CREATE VIEW srbergallg AS SELECT id, prg_nr, prg_name, result, qcode, hex(zeroblob(100000000)) AS id_code,"
                " torque_unit FROM stored");
        } else if (setup == "hugevalue") {
            sql("UPDATE srbergallg SET id_code = printf('%.*c', 1000000, 'x')");
        } else if (setup == "million") {
            sql("WITH RECURSIVE c(x) AS (SELECT 3 UNION ALL SELECT x + 1 FROM c WHERE x < 1000000)"
                " INSERT INTO stuferg SELECT x, 2, x, 0, 0.5, 90.0, 10.5 FROM c");
        } else if (setup == "journal") {
            sql("CREATE TABLE pad (x BLOB)");
            sql("INSERT INTO pad SELECT zeroblob(1000) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 200) SELECT x FROM c)");
            sql("PRAGMA cache_size=1");
            sql("BEGIN");
            sql("UPDATE pad SET x = zeroblob(1500)");
            QVERIFY(QFile::copy(m_root->path(DbFile), m_root->path(copy)));
            QVERIFY(QFile::copy(m_root->path(DbFile) + "-journal", m_root->path(copy) + "-journal"));
            sql("ROLLBACK");
            db = m_root->read(copy);
            journal = m_root->read(copy + "-journal");
            r.setDatabasePath(copy);
        }
        closeWriter();
        QVariantMap m { { "untouched", 1 } };
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!r.read(2, m));
        if (setup == "endless" || setup == "million" || setup.startsWith("huge"))
            QVERIFY(timer.elapsed() < 10 * ResultReader::QueryTimeBoundMs);
        QCOMPARE(m, QVariantMap({ { "untouched", 1 } }));
        const QStringList log = SystemLog::capturedLines();
        QCOMPARE(log.size(), 1);
        QVERIFY2(message.endsWith(' ') ? log.first().startsWith(message) : log.first() == message, qPrintable(log.first()));
        // The reader never creates a database where there was none, nor rolls back a journal.
        if (setup == "missing")
            QVERIFY(!QFileInfo::exists(m_root->path(DbFile)));
        if (setup == "journal") {
            QCOMPARE(m_root->read(copy), db);
            QCOMPARE(m_root->read(copy + "-journal"), journal);
        }
        // The next result is read normally.
        if (setup != "directory") {
            r.setDatabasePath(DbFile);
            m_root->remove(DbFile);
            createDb();
            addResult(2, 1, 0, nullptr);
            QVERIFY(r.read(2, m));
        }
    }

    // Another process writes results, each under an exclusive lock that it holds for a
    // moment; the reader waits for the lock (busy time-out) and sees the new result.
    void concurrentWriterProcess()
    {
        createDb();
        addResult(1, 1, 0, "first");
        closeWriter();
        Peer peer({ "write-results", m_root->path(DbFile), "2", "3", "150" });
        QVERIFY(peer.started());
        ResultReader r;
        for (int id = 2; id <= 4; ++id) {
            QCOMPARE(peer.readLine(), QStringLiteral("locked %1").arg(id));
            QVariantMap m;
            QVERIFY2(r.read(id, m), qPrintable(SystemLog::capturedLines().join('\n')));
            QCOMPARE(m.value("prg_name").toString(), QStringLiteral("Peer"));
            QCOMPARE(m.value("cycle").toString(), "P" + QString::number(id));
            QCOMPARE(m.value("torque").toDouble(), id + 0.25);
            QCOMPARE(m.value("dTorque").toInt(), -1);
        }
        QCOMPARE(peer.finish(), 0);
        QVariantMap m;
        QVERIFY(r.read(1, m));
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

private:
    void createDb(bool withTables = true, const QString& devicePath = DbFile)
    {
        closeWriter();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
        db.setDatabaseName(m_root->path(devicePath));
        QVERIFY(db.open());
        if (withTables) {
            for (const char* s : Schema)
                sql(QString::fromLatin1(s));
        } else {
            sql(QStringLiteral("CREATE TABLE other (x INTEGER)"));
        }
    }

    void closeWriter()
    {
        if (!QSqlDatabase::contains(QStringLiteral("writer")))
            return;
        QSqlDatabase::database(QStringLiteral("writer"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    }

    void sql(const QString& text)
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("writer")));
        QVERIFY2(q.exec(text), qPrintable(text + ": " + q.lastError().text()));
    }

    // One result with one step (step id = result id) ended by lastCmd.
    void addResult(int id, int result, int lastCmd, const char* idCode)
    {
        const QString code = idCode ? "'" + QString::fromLatin1(idCode) + "'" : QStringLiteral("NULL");
        sql(QStringLiteral("INSERT INTO srbergallg VALUES (%1, 5, 'Tight', %2, 0, %3, 2, 'now')").arg(id).arg(result).arg(code));
        sql(QStringLiteral("INSERT INTO stuferg VALUES (%1, %1, 0, %2, 0.5, 90.0, 10.5)").arg(id).arg(lastCmd));
    }

    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestResultReader)
#include "tst_resultreader.moc"
