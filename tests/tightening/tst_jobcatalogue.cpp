#include <QtTest>

#include "jobcatalogue.h"
#include "testsupport.h"
#include "peer.h"

#define Bytes(s) QByteArray(s, sizeof(s) - 1)

namespace {
const QString Dir = QStringLiteral("/home/tool/config/jobs/");
}

class TestJobCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new TempSysroot);
        QVERIFY(m_root->mkdir(Dir));
    }
    void cleanup() { m_root.reset(); }

    void nameLines()
    {
        QVERIFY(m_root->write(Dir + "job003.lua", "-- job\njob = {}\njob.jobName = \"Door left\"\njob.jobName = \"Other\"\n"));
        QVERIFY(m_root->write(Dir + "job3.lua", "jobName = \"never read\"\n"));
        QVERIFY(m_root->write(Dir + "job004.lua", "jobName=first=second\n"));
        QVERIFY(m_root->write(Dir + "job005.lua", "job = {}\nreturn job\n"));
        QVERIFY(m_root->write(Dir + "job006.lua", "\n\n  \njobName ==x\n"));
        QVERIFY(m_root->write(Dir + "job007.lua", "jobName \"no equals\"\n"));
        QVERIFY(m_root->write(Dir + "job008.lua", "JOBNAME = \"case\"\n"));
        QVERIFY(m_root->write(Dir + "job255.lua", "jobName = last"));
        QVERIFY(m_root->write(Dir + "job256.lua", "jobName = beyond\n"));
        JobCatalogue c;
        c.load();
        const QMap<int, QString> expected {
            { 3, QStringLiteral(" \"Door left\"\n") },
            { 4, QStringLiteral("first") },
            { 6, QString() },
            { 7, QString() },
            { 255, QStringLiteral(" last") },
        };
        QCOMPARE(c.table(), expected);

        const QVariantList list = c.list();
        QCOMPARE(list.size(), 5);
        const QVariantMap first = list.first().toMap();
        QCOMPARE(first.keys(), QStringList({ "name", "slot" }));
        QCOMPARE(first.value("slot").typeId(), QMetaType::UInt);
        QCOMPARE(first.value("slot").toUInt(), 3u);
        QCOMPARE(first.value("name").toString(), QStringLiteral(" \"Door left\"\n"));
        QCOMPARE(list.last().toMap().value("slot").toUInt(), 255u);
    }

    void reloadAfterDelete()
    {
        QVERIFY(m_root->write(Dir + "job007.lua", "jobName = seven\n"));
        QVERIFY(m_root->write(Dir + "job008.lua", "jobName = eight\n"));
        JobCatalogue c;
        c.load();
        QCOMPARE(c.table().keys(), QList<int>({ 7, 8 }));
        QVERIFY(m_root->remove(Dir + "job007.lua"));
        c.load();
        QCOMPARE(c.table().keys(), QList<int>({ 8 }));
        QVERIFY(m_root->remove(Dir));
        c.load();
        QVERIFY(c.list().isEmpty());
    }

    void badFiles()
    {
        QByteArray noise;
        quint32 x = 99;
        for (int i = 0; i < 128 * 1024; ++i) {
            x = x * 1664525u + 1013904223u;
            noise += char(x >> 24);
        }
        QVERIFY(m_root->write(Dir + "job001.lua", noise));
        QVERIFY(m_root->write(Dir + "job002.lua", QByteArray()));
        QVERIFY(m_root->write(Dir + "job003.lua", Bytes("job\0Name = hidden\njobName = a\0b\n")));
        QVERIFY(m_root->write(Dir + "job004.lua", QByteArray(8 * 1024 * 1024, 'j')));
        QVERIFY(m_root->write(Dir + "job005.lua", "jobName = Pr\xfc""f\n"));
        QVERIFY(m_root->mkdir(Dir + "job006.lua"));
        JobCatalogue c;
        c.load();
        QVERIFY(!c.table().contains(2));
        QVERIFY(!c.table().contains(4));
        QVERIFY(!c.table().contains(6));
        QCOMPARE(c.table().value(3), QStringLiteral(" a"));
        QCOMPARE(c.table().value(5), QString::fromUtf8(" Pr\xef\xbf\xbd""f\n"));
    }

    // A job file that another process is rewriting is read only after the writer is done.
    void readerWaitsForWriter()
    {
        QVERIFY(m_root->write(Dir + "job010.lua", "jobName = old\n"));
        Peer peer({ "hold", m_root->path(Dir + "job010.lua"), "w", "-- rewriting\n", "jobName = new\n" });
        QVERIFY(peer.started());
        QCOMPARE(peer.readLine(), QStringLiteral("locked"));
        JobCatalogue c;
        Background reader([&] { c.load(); });
        QVERIFY2(reader.stillRunningAfter(300), "read the job file while another process held the write lock");
        peer.go();
        QCOMPARE(peer.finish(), 0);
        reader.join();
        QCOMPARE(c.table().value(10), QStringLiteral(" new\n"));
    }

private:
    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestJobCatalogue)
#include "tst_jobcatalogue.moc"
