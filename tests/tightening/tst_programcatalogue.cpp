#include <QtTest>

#include "devicepaths.h"
#include "programcatalogue.h"
#include "programwriter.h"
#include "testsupport.h"
#include "peer.h"

// A literal with its zero bytes.
#define Bytes(s) QByteArray(s, sizeof(s) - 1)

namespace {

const QString Dir = QStringLiteral("/home/tool/config/srbprg/");

QByteArray program(const QByteArray& name, const QByteArray& unitLine = QByteArray())
{
    QByteArray text = "prg={}\nprg.Name = \"" + name + "\"\nprg.Version = \"\"\n";
    if (!unitLine.isEmpty())
        text += unitLine + "\n";
    text += "steps={}\n";
    return text;
}

QStringList slotsOf(const QVariantList& list)
{
    QStringList out;
    for (const QVariant& v : list)
        out << v.toMap().value(QStringLiteral("slot")).toString();
    return out;
}

} // namespace

class TestProgramCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new TempSysroot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->mkdir(Dir));
    }
    void cleanup() { m_root.reset(); }

    void listOrder99First()
    {
        QVERIFY(m_root->write(Dir + "prg5.lua", program("Five")));
        QVERIFY(m_root->write(Dir + "prg99.lua", program("NinetyNine")));
        QVERIFY(m_root->write(Dir + "prg12.lua", program("Twelve")));
        QVERIFY(m_root->write(Dir + "prg0.lua", program("Zero")));
        QVERIFY(m_root->write(Dir + "prg255.lua", program("Last")));
        QVERIFY(m_root->write(Dir + "prg256.lua", program("Beyond")));
        ProgramCatalogue c;
        c.loadAll();
        const QVariantList list = c.list();
        QCOMPARE(slotsOf(list), QStringList({ "99", "0", "5", "12", "255" }));
        // "slot" is text, which the scene compares with "99".
        QCOMPARE(list.first().toMap().value("slot").typeId(), QMetaType::QString);
        QCOMPARE(list.first().toMap().value("name").toString(), QStringLiteral("NinetyNine"));
        QCOMPARE(list.first().toMap().keys(), QStringList({ "name", "slot", "unit" }));
        QVERIFY(!c.contains(256));
    }

    void nameAndUnitLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unit");
        QTest::newRow("unit after name, trailing blanks")
            << QByteArray("prg={}\nprg.Name = \"Tight\"\nprg.TorqueUnit = 2   \nprg.TorqueUnit = 3\n") << "Tight" << "2";
        QTest::newRow("unit before name") << QByteArray("prg.TorqueUnit = 2\nprg.Name = \"Tight\"\n") << "Tight" << "0";
        QTest::newRow("comment with quotes after the name")
            << QByteArray("prg.Name = \"Tight\" -- \"old name\"\n") << "Tight\" -- \"old name" << "0";
        QTest::newRow("leading white space, no blanks around =")
            << QByteArray("  \tprg.Name=\"A B\"\n\t prg.TorqueUnit=7\n") << "A B" << "7";
        QTest::newRow("not at line start") << QByteArray("x prg.Name = \"No\"\n-- prg.TorqueUnit = 4\n") << "" << "0";
        QTest::newRow("only the first name line counts")
            << QByteArray("prg.Name = \"One\"\nprg.Name = \"Two\"\nprg.TorqueUnit = 1\n") << "One" << "1";
        QTest::newRow("CRLF line ends") << QByteArray("prg.Name = \"Win\"\r\nprg.TorqueUnit = 5\r\n") << "Win" << "5";
        QTest::newRow("no line end at the end") << QByteArray("prg.Name = \"Eof\"\nprg.TorqueUnit = 9") << "Eof" << "9";
        QTest::newRow("no name line") << QByteArray("prg={}\nprg.TorqueUnit = 3\n") << "" << "0";
        QTest::newRow("empty name") << QByteArray("prg.Name = \"\"\nprg.TorqueUnit = 1\n") << "" << "1";
        QTest::newRow("unterminated quote") << QByteArray("prg.Name = \"Open\nprg.TorqueUnit = 1\n") << "" << "0";
        QTest::newRow("empty file") << QByteArray() << "" << "0";
        QTest::newRow("NUL ends the line")
            << Bytes("prg.Name = \"Ab\"\0\"cd\"\nprg.TorqueUnit = 4\0 9\n") << "Ab" << "4";
        QTest::newRow("NUL at line start hides the line")
            << Bytes("\0prg.Name = \"Hidden\"\nprg.Name = \"Seen\"\n") << "Seen" << "0";
        QTest::newRow("Latin-1 bytes") << QByteArray("prg.Name = \"Pr\xfc""f\"\nprg.TorqueUnit = 1\n") << QString::fromUtf8("Pr\xef\xbf\xbd""f") << "1";
        QTest::newRow("UTF-8 name") << QByteArray("prg.Name = \"Pr\xc3\xbc""f\"\n") << QString::fromUtf8("Pr\xc3\xbc""f") << "0";
    }

    void nameAndUnitLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, unit);
        QVERIFY(m_root->write(Dir + "prg3.lua", content));
        const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg3.lua"));
        QCOMPARE(e.value("name").toString(), name);
        QCOMPARE(e.value("unit").toString(), unit);
        QCOMPARE(e.value("slot").toString(), QStringLiteral("3"));
    }

    void badFilesNeverCrash()
    {
        // Binary noise, a huge file without line ends and one with its name line first.
        QByteArray noise;
        quint32 x = 12345;
        for (int i = 0; i < 256 * 1024; ++i) {
            x = x * 1103515245u + 12345u;
            noise += char(x >> 16);
        }
        QVERIFY(m_root->write(Dir + "prg1.lua", noise));
        QVERIFY(m_root->write(Dir + "prg2.lua", QByteArray(12 * 1024 * 1024, 'x')));
        QByteArray padding;
        for (int i = 0; i < 12 * 1024; ++i)
            padding += QByteArray(1023, '-') + '\n';
        QVERIFY(m_root->write(Dir + "prg4.lua", "prg.Name = \"Big\"\n" + padding + "prg.TorqueUnit = 2\n"));
        QVERIFY(m_root->write(Dir + "prg6.lua", "prg.Name = \"" + QByteArray(2 * 1024 * 1024, '"') + "\n"));
        ProgramCatalogue c;
        c.loadAll();
        QCOMPARE(slotsOf(c.list()), QStringList({ "1", "2", "4", "6" }));
        QCOMPARE(c.entry(2).value("name").toString(), QString());
        QCOMPARE(c.entry(4).value("name").toString(), QStringLiteral("Big"));
        // Reading stops after the first 4 MiB of a file.
        QCOMPARE(c.entry(4).value("unit").toString(), QStringLiteral("0"));
        // Names are cut to 64 characters.
        QCOMPARE(c.entry(6).value("name").toString(), QString(64, QLatin1Char('"')));
    }

    void fileNamesAndNotifications()
    {
        ProgramCatalogue c;
        QVERIFY(m_root->write(Dir + "prg7.lua", program("Seven")));
        QVERIFY(m_root->write(Dir + "prg300.lua", program("Far")));
        c.loadAll();
        QCOMPARE(slotsOf(c.list()), QStringList({ "7" }));

        // A single-file notification may add a number outside the scan.
        QString far = QStringLiteral("prg300.lua");
        c.sync(far);
        QCOMPARE(c.entry(300).value("name").toString(), QStringLiteral("Far"));
        QCOMPARE(slotsOf(c.list()), QStringList({ "7" }));
        // The full scan does not clear entries outside 0 to 255.
        c.loadAll();
        QVERIFY(c.contains(300));

        // Deleted file: the entry goes, and the caller's name is rewritten in place.
        QVERIFY(m_root->remove(Dir + "prg7.lua"));
        QString seven = QStringLiteral("prg7.lua");
        c.sync(seven);
        QCOMPARE(seven, QStringLiteral("7"));
        QVERIFY(!c.contains(7));

        // A missing prgabc.lua changes nothing; an existing one is stored under 0.
        QVERIFY(m_root->write(Dir + "prg0.lua", program("Zero")));
        c.loadAll();
        QString abc = QStringLiteral("prgabc.lua");
        c.sync(abc);
        QCOMPARE(abc, QStringLiteral("abc"));
        QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Zero"));
        QVERIFY(m_root->write(Dir + "prgabc.lua", program("Letters")));
        abc = QStringLiteral("prgabc.lua");
        c.sync(abc);
        QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Letters"));
        QCOMPARE(c.entry(0).value("slot").toString(), QStringLiteral("0"));

        // Leading zeros are normalised.
        QVERIFY(m_root->write(Dir + "prg007.lua", program("Bond")));
        QString bond = QStringLiteral("prg007.lua");
        c.sync(bond);
        QCOMPARE(c.entry(7).value("slot").toString(), QStringLiteral("7"));
        QCOMPARE(c.entry(7).value("name").toString(), QStringLiteral("Bond"));

        // A directory is no program file; an empty name is nothing.
        QVERIFY(m_root->mkdir(Dir + "prg9.lua"));
        QString dir = QStringLiteral("prg9.lua");
        c.sync(dir);
        QVERIFY(!c.contains(9));
        QString empty;
        c.sync(empty);
        QVERIFY(!c.contains(0) || c.entry(0).value("name") == QStringLiteral("Letters"));
    }

    void missingDirectory()
    {
        QVERIFY(m_root->write(Dir + "prg1.lua", program("One")));
        ProgramCatalogue c;
        c.loadAll();
        QVERIFY(c.contains(1));
        QVERIFY(m_root->remove(Dir));
        c.loadAll();
        QVERIFY(c.list().isEmpty());
    }

    // The reader waits for a writer in another process that holds the write lock.
    void readerWaitsForWriter()
    {
        QVERIFY(m_root->write(Dir + "prg5.lua", program("Old", "prg.TorqueUnit = 1")));
        Peer peer({ "hold", m_root->path(Dir + "prg5.lua"), "w", "prg.Name = \"New\"\n",
                    "prg.Version = \"\"\nprg.TorqueUnit = 3\n" });
        QVERIFY(peer.started());
        QCOMPARE(peer.readLine(), QStringLiteral("locked"));

        QVariantMap seen;
        Background reader([&] { seen = ProgramCatalogue::readEntry(QStringLiteral("prg5.lua")); });
        QVERIFY2(reader.stillRunningAfter(300), "read the file while another process held the write lock");
        peer.go();
        QCOMPARE(peer.finish(), 0);
        reader.join();
        QCOMPARE(seen.value("name").toString(), QStringLiteral("New"));
        QCOMPARE(seen.value("unit").toString(), QStringLiteral("3"));
    }

    // While another process rewrites the program over and over, every read sees a
    // complete program.
    void concurrentWriterNeverHalfSeen()
    {
        QVERIFY(ProgramWriter::write(8, 1, QStringLiteral("torque"), 1));
        Peer peer({ "write-programs", "8", "150" });
        QVERIFY(peer.started());
        QCOMPARE(peer.readLine(), QStringLiteral("started"));
        int reads = 0;
        while (peer.process().state() != QProcess::NotRunning || reads == 0) {
            const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg8.lua"));
            QCOMPARE(e.value("name").toString(), QStringLiteral("Tight"));
            ++reads;
            peer.process().waitForFinished(0);
        }
        QCOMPARE(peer.finish(), 0);
        QVERIFY(reads > 0);
    }

    // Another process creates and deletes a program file over and over: whenever the file
    // goes away between look and read, the number is dropped, never stored under 0.
    void fileVanishingWhileSynced()
    {
        QVERIFY(m_root->write(Dir + "prg0.lua", program("Zero")));
        ProgramCatalogue c;
        c.loadAll();
        Peer peer({ "flip-file", m_root->path(Dir + "prg7.lua"), "20000" });
        QVERIFY(peer.started());
        QCOMPARE(peer.readLine(), QStringLiteral("started"));
        int syncs = 0;
        while (peer.process().state() != QProcess::NotRunning || syncs == 0) {
            QString name = QStringLiteral("prg7.lua");
            c.sync(name);
            QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Zero"));
            if (c.contains(7))
                QCOMPARE(c.entry(7).value("slot").toString(), QStringLiteral("7"));
            ++syncs;
            peer.process().waitForFinished(0);
        }
        QCOMPARE(peer.finish(), 0);
        QString name = QStringLiteral("prg7.lua");
        c.sync(name);
        QCOMPARE(c.table().keys(), QList<int>({ 0 }));
    }

private:
    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestProgramCatalogue)
#include "tst_programcatalogue.moc"
