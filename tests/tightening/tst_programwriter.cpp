#include <QtTest>

#include "programcatalogue.h"
#include "programwriter.h"
#include "systemlog.h"
#include "testsupport.h"
#include "peer.h"

namespace {

const QString Dir = QStringLiteral("/home/tool/config/srbprg/");

const char* const Expected =
    "prg={}\n"
    "prg.Name = \"Tight\"\n"
    "prg.Version = \"\"\n"
    "prg.Comment = \"\"\n"
    "prg.Date = \"04.12.2026\"\n"
    "prg.Time = \"14:27:05\"\n"
    "--Steps\n"
    "steps={}\n"
    "--steps 1\n"
    "steps[1] = {}\n"
    "steps[1].Name = \"Start\"\n"
    "steps[1].Type = 0\n"
    "steps[1].Column = 0\n"
    "steps[1].Row = 0\n"
    "steps[1].NIO_Next = nil\n"
    "steps[1].IO_Next = 2\n"
    "steps[1].GraphResolution = 1\n"
    "steps[1].MeasuringPoints = 500\n"
    "steps[1].TorqueThreshold = 0\n"
    "steps[1].PlayStartSwitch = 5\n"
    "steps[1].CorrectionAngle = true\n"
    "steps[1].CorrectionTorqueCt = 1\n"
    "steps[1].ResultOutputSuppression = false\n"
    "--steps 2\n"
    "steps[2] = {}\n"
    "steps[2].Name = \"Tightening\"\n"
    "steps[2].Type = 1\n"
    "steps[2].Column = 0\n"
    "steps[2].Row = 1\n"
    "steps[2].IO_Next = 3\n"
    "steps[2].NIO_Next = 3\n"
    "steps[2].GraphResolution = 1\n"
    "steps[2].Category = 0\n"
    "steps[2].TF_UpperTorque = 12\n"
    "steps[2].StartSuppression = 0\n"
    "steps[2].TorqueThreshold = 0\n"
    "steps[2].Speed = 300\n"
    "--steps 3\n"
    "steps[3] = {}\n"
    "steps[3].Name = \"End\"\n"
    "steps[3].Type = 2\n"
    "steps[3].Column = 0\n"
    "steps[3].Row = 2\n"
    "steps[3].IO_Next = nil\n"
    "steps[3].NIO_Next = nil\n";

QDateTime december4()
{
    return QDateTime(QDate(2026, 12, 4), QTime(14, 27, 5));
}

QList<QByteArray> linesOf(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestProgramWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new TempSysroot);
        QVERIFY(m_root->mkdir(Dir));
        SystemLog::startCapture();
    }
    void cleanup()
    {
        SystemLog::stopCapture();
        m_root.reset();
    }

    // The whole file is replaced, also a longer one.
    void exactText()
    {
        QByteArray old;
        for (int i = 0; i < 500; ++i)
            old += "-- an old and much longer program line " + QByteArray::number(i) + "\n";
        QVERIFY(m_root->write(Dir + "prg5.lua", old));
        QVERIFY(ProgramWriter::write(5, 300, QStringLiteral("torque"), 12, december4()));
        const QByteArray written = m_root->read(Dir + "prg5.lua");
        QCOMPARE(written, QByteArray(Expected));
        QCOMPARE(linesOf(written).size(), 45);
        QVERIFY(written.endsWith('\n'));
        QVERIFY(SystemLog::capturedLines().isEmpty());

        // Read back by the catalogue: name Tight, no unit line.
        const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg5.lua"));
        QCOMPARE(e.value("name").toString(), QStringLiteral("Tight"));
        QCOMPARE(e.value("unit").toString(), QStringLiteral("0"));
    }

    void targetsAndSpeed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("line34");
        QTest::addColumn<QByteArray>("line37");
        QTest::newRow("angle, negative speed") << -200 << "angle" << 720 << QByteArray("steps[2].TF_Angle = 720")
                                               << QByteArray("steps[2].Speed = -200");
        QTest::newRow("time") << 50 << "time" << 3 << QByteArray("steps[2].TF_Time = 3") << QByteArray("steps[2].Speed = 50");
        QTest::newRow("negative torque") << 0 << "torque" << -1 << QByteArray("steps[2].TF_UpperTorque = -1")
                                         << QByteArray("steps[2].Speed = 0");
    }

    void targetsAndSpeed()
    {
        QFETCH(int, speed);
        QFETCH(QString, target);
        QFETCH(int, value);
        QFETCH(QByteArray, line34);
        QFETCH(QByteArray, line37);
        QVERIFY(ProgramWriter::write(17, speed, target, value, december4()));
        const QList<QByteArray> lines = linesOf(m_root->read(Dir + "prg17.lua"));
        QCOMPARE(lines.size(), 45);
        QCOMPARE(lines.at(33), line34);
        QCOMPARE(lines.at(36), line37);
    }

    void missingDirectory()
    {
        QVERIFY(m_root->remove(Dir));
        QVERIFY(!ProgramWriter::write(5, 300, QStringLiteral("torque"), 12));
        QCOMPARE(SystemLog::capturedLines(), QStringList({ "<3>Error writing program file" }));
        QVERIFY(!QFileInfo::exists(m_root->path(Dir + "prg5.lua")));
        QVERIFY(!QFileInfo::exists(m_root->path(Dir)));
    }

    // An unknown target would leave line 34 without an assignment: refused, file untouched.
    void unknownTargetRefused()
    {
        QVERIFY(m_root->write(Dir + "prg5.lua", "prg.Name = \"Keep\"\n"));
        QVERIFY(!ProgramWriter::write(5, 300, QStringLiteral("Torque"), 12));
        QVERIFY(!ProgramWriter::write(6, 300, QString(), 12));
        QCOMPARE(m_root->read(Dir + "prg5.lua"), QByteArray("prg.Name = \"Keep\"\n"));
        QVERIFY(!QFileInfo::exists(m_root->path(Dir + "prg6.lua")));
        const QStringList log = SystemLog::capturedLines();
        QCOMPARE(log.size(), 2);
        QVERIFY(log.at(0).startsWith("<3>Unknown program target \"Torque\""));
        QVERIFY(ProgramWriter::text(1, QStringLiteral("speed"), 1, december4()).isEmpty());
    }

    // A reader in another process holds the read lock: the writer waits and the old
    // content stays whole until then.
    void writerWaitsForReader()
    {
        const QByteArray old = "prg.Name = \"Old\"\nprg.TorqueUnit = 1\n";
        QVERIFY(m_root->write(Dir + "prg5.lua", old));
        Peer peer({ "hold", m_root->path(Dir + "prg5.lua"), "r" });
        QVERIFY(peer.started());
        QCOMPARE(peer.readLine(), QStringLiteral("locked"));

        bool ok = false;
        Background writer([&] { ok = ProgramWriter::write(5, 300, QStringLiteral("torque"), 12, december4()); });
        QVERIFY2(writer.stillRunningAfter(300), "wrote while another process held the read lock");
        QCOMPARE(m_root->read(Dir + "prg5.lua"), old);
        peer.go();
        QCOMPARE(peer.finish(), 0);
        writer.join();
        QVERIFY(ok);
        QCOMPARE(m_root->read(Dir + "prg5.lua"), QByteArray(Expected));
    }

private:
    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestProgramWriter)
#include "tst_programwriter.moc"
