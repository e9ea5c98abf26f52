#include <QtTest>

#include "jobcatalogue.h"
#include "programcatalogue.h"
#include "programwriter.h"
#include "systemlog.h"
#include "testsupport.h"
#include "torqueunits.h"
#include "peer.h"

// A literal with its zero bytes.
#define Bytes(s) QByteArray(s, sizeof(s) - 1)

namespace {

const QString Dir = QStringLiteral("/home/tool/config/srbprg/");
const QString JobDir = QStringLiteral("/home/tool/config/jobs/");
const QString ChanCfg = QStringLiteral("/home/tool/config/ChanCfg.json");

// A channel configuration with two torque units, the second active.
const QByteArray TwoUnits = R"({"Kanal": 1, "EinheitDrehmoment": {"Aktiv": 2, "Faktoren": [
    {"Id": 1, "Einheit": "Nm", "Wert": 1, "Genauigkeit": 2}, {"Id": 2, "Einheit": "ft lb", "Wert": 0.7376, "Genauigkeit": 3}]}})";

QByteArray program(const QByteArray& name)
{
    return "prg={}\nprg.Name = \"" + name + "\"\nprg.Version = \"\"\nsteps={}\n";
}

// Reproducible binary noise of `size` bytes.
QByteArray noise(int size, quint32 seed)
{
    QByteArray out;
    out.reserve(size);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out += char(seed >> 24);
    }
    return out;
}

QStringList slotsOf(const QVariantList& list)
{
    QStringList out;
    for (const QVariant& v : list)
        out << v.toMap().value(QStringLiteral("slot")).toString();
    return out;
}

// The writer's text for speed 300 and a torque of 12, made on 4 December 2026 at 14:27:05.
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

QDateTime december4() { return QDateTime(QDate(2026, 12, 4), QTime(14, 27, 5)); }

} // namespace

// The tightening module's files: the programs (the catalogue that reads them and the writer
// of the program editor), the jobs and the channel configuration's torque units.
class TestTighteningFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new TempSysroot);
        QVERIFY(m_root->isValid());
        QVERIFY(m_root->mkdir(Dir));
        SystemLog::startCapture();
    }
    void cleanup()
    {
        SystemLog::stopCapture();
        m_root.reset();
    }

    // The full scan reads prg0.lua to prg255.lua and lists 99 first; a single-file notification
    // brings one entry up to date, whatever its name.
    void scanAndNotifications()
    {
        for (const char* n : { "5", "99", "12", "0", "255", "256", "7" })
            QVERIFY(m_root->write(Dir + "prg" + n + ".lua", program(QByteArray("P") + n)));
        ProgramCatalogue c;
        c.loadAll();
        const QVariantList list = c.list();
        const QStringList listed { "99", "0", "5", "7", "12", "255" };
        QCOMPARE(slotsOf(list), listed);
        // "slot" is text, which the scene compares with "99".
        QCOMPARE(list.first().toMap().value("slot").typeId(), QMetaType::QString);
        QCOMPARE(list.first().toMap().value("name").toString(), QStringLiteral("P99"));
        QCOMPARE(list.first().toMap().keys(), QStringList({ "name", "slot", "unit" }));
        QVERIFY(!c.contains(256));

        // sync() rewrites the caller's name in place.
        const auto sync = [&c](QString name) { c.sync(name); return name; };
        // A notification may add a number outside the scan; it is never listed, and the full
        // scan does not clear it.
        sync(QStringLiteral("prg256.lua"));
        QCOMPARE(c.entry(256).value("name").toString(), QStringLiteral("P256"));
        c.loadAll();
        QVERIFY(c.contains(256));
        QCOMPARE(slotsOf(c.list()), listed);

        // Deleted file: the entry goes.
        QVERIFY(m_root->remove(Dir + "prg7.lua"));
        QCOMPARE(sync(QStringLiteral("prg7.lua")), QStringLiteral("7"));
        QVERIFY(!c.contains(7));

        // A missing prgabc.lua changes nothing; an existing one is stored under 0.
        QCOMPARE(sync(QStringLiteral("prgabc.lua")), QStringLiteral("abc"));
        QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("P0"));
        QVERIFY(m_root->write(Dir + "prgabc.lua", program("Letters")));
        sync(QStringLiteral("prgabc.lua"));
        QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Letters"));
        QCOMPARE(c.entry(0).value("slot").toString(), QStringLiteral("0"));

        // Leading zeros are normalised.
        QVERIFY(m_root->write(Dir + "prg007.lua", program("Bond")));
        sync(QStringLiteral("prg007.lua"));
        QCOMPARE(c.entry(7).value("slot").toString(), QStringLiteral("7"));
        QCOMPARE(c.entry(7).value("name").toString(), QStringLiteral("Bond"));

        // A directory is no program file; an empty name is nothing.
        QVERIFY(m_root->mkdir(Dir + "prg9.lua"));
        sync(QStringLiteral("prg9.lua"));
        QVERIFY(!c.contains(9));
        sync(QString());
        QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Letters"));
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
        QTest::newRow("NUL ends the line") << Bytes("prg.Name = \"Ab\"\0\"cd\"\nprg.TorqueUnit = 4\0 9\n") << "Ab" << "4";
        QTest::newRow("NUL at line start hides the line") << Bytes("\0prg.Name = \"Hidden\"\nprg.Name = \"Seen\"\n") << "Seen" << "0";
        QTest::newRow("Latin-1 bytes") << QByteArray("prg.Name = \"Pr\xfc""f\"\nprg.TorqueUnit = 1\n") << QString::fromUtf8("Pr\xef\xbf\xbd""f") << "1";
        QTest::newRow("UTF-8 name") << QByteArray("prg.Name = \"Pr\xc3\xbc""f\"\n") << QString::fromUtf8("Pr\xc3\xbc""f") << "0";
        // Hostile files are read safely and within bounds.
        QTest::newRow("binary noise") << noise(256 * 1024, 12345) << "" << "0";
        QTest::newRow("12 MiB without a line end") << QByteArray(12 * 1024 * 1024, 'x') << "" << "0";
        QTest::newRow("reading stops after 4 MiB")
            << "prg.Name = \"Big\"\n" + (QByteArray(1023, '-') + '\n').repeated(12 * 1024) + "prg.TorqueUnit = 2\n" << "Big" << "0";
        QTest::newRow("name cut to 64 characters") << "prg.Name = \"" + QByteArray(2 * 1024 * 1024, '"') + "\n" << QString(64, '"') << "0";
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

    // Deleted job files and a deleted directory empty the catalogues; the writer does not make
    // the directory.
    void deletedFilesAndDirectories()
    {
        QVERIFY(m_root->write(Dir + "prg1.lua", program("One")));
        QVERIFY(m_root->write(JobDir + "job007.lua", "jobName = seven\n"));
        QVERIFY(m_root->write(JobDir + "job008.lua", "jobName = eight\n"));
        ProgramCatalogue programs;
        programs.loadAll();
        QVERIFY(programs.contains(1));
        JobCatalogue jobs;
        jobs.load();
        QCOMPARE(jobs.table().keys(), QList<int>({ 7, 8 }));
        QVERIFY(m_root->remove(JobDir + "job007.lua"));
        jobs.load();
        QCOMPARE(jobs.table().keys(), QList<int>({ 8 }));
        QVERIFY(m_root->remove(Dir) && m_root->remove(JobDir));
        programs.loadAll();
        jobs.load();
        QVERIFY(programs.list().isEmpty() && jobs.list().isEmpty());
        QVERIFY(!ProgramWriter::write(5, 300, QStringLiteral("torque"), 12));
        QCOMPARE(SystemLog::capturedLines(), QStringList({ "<3>Error writing program file" }));
        QVERIFY(!QFileInfo::exists(m_root->path(Dir)));
    }

    // A program or job file that another process is rewriting is read only after the writer
    // is done; a program that another process is reading is written only after the reader is
    // done. Meanwhile the file stays as it was.
    void waitsForTheOtherProcessesLock()
    {
        QVERIFY(m_root->write(Dir + "prg5.lua", "prg.Name = \"Old\"\nprg.TorqueUnit = 1\n"));
        QVERIFY(m_root->write(JobDir + "job010.lua", "jobName = old\n"));
        QVariantMap seen;
        JobCatalogue jobs;
        bool written = false;
        const struct {
            QString file;
            QStringList lock; // "w" with the text written before the lock is announced and the rest after, or "r"
            std::function<void()> act;
        } cases[] = {
            { Dir + "prg5.lua", { "w", "prg.Name = \"New\"\n", "prg.Version = \"\"\nprg.TorqueUnit = 3\n" },
              [&] { seen = ProgramCatalogue::readEntry(QStringLiteral("prg5.lua")); } },
            { JobDir + "job010.lua", { "w", "-- rewriting\n", "jobName = new\n" }, [&] { jobs.load(); } },
            { Dir + "prg5.lua", { "r" }, [&] { written = ProgramWriter::write(5, 300, QStringLiteral("torque"), 12, december4()); } },
        };
        for (const auto& c : cases) {
            Peer peer(QStringList { "hold", m_root->path(c.file) } + c.lock);
            QCOMPARE(peer.readLine(), QStringLiteral("locked"));
            const QByteArray before = m_root->read(c.file);
            Background other(c.act);
            const bool waited = other.stillRunningAfter(300);
            const QByteArray during = m_root->read(c.file);
            peer.go();
            QCOMPARE(peer.finish(), 0);
            other.join();
            QVERIFY2(waited, qPrintable(c.file + " used while another process held its lock"));
            QCOMPARE(during, before);
        }
        QCOMPARE(seen.value("name").toString(), QStringLiteral("New"));
        QCOMPARE(seen.value("unit").toString(), QStringLiteral("3"));
        QCOMPARE(jobs.table().value(10), QStringLiteral(" new\n"));
        QVERIFY(written);
        QCOMPARE(m_root->read(Dir + "prg5.lua"), ProgramWriter::text(300, QStringLiteral("torque"), 12, december4()));
    }

    // While another process rewrites the program over and over, every read sees a
    // complete program.
    void concurrentWriterNeverHalfSeen()
    {
        QVERIFY(ProgramWriter::write(8, 1, QStringLiteral("torque"), 1));
        Peer peer({ "write-programs", "8", "150" });
        QCOMPARE(peer.readLine(), QStringLiteral("started"));
        for (int reads = 0; peer.process().state() != QProcess::NotRunning || reads == 0; ++reads) {
            const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg8.lua"));
            QCOMPARE(e.value("name").toString(), QStringLiteral("Tight"));
            peer.process().waitForFinished(0);
        }
        QCOMPARE(peer.finish(), 0);
    }

    // Another process creates and deletes a program file over and over: whenever the file
    // goes away between look and read, the number is dropped, never stored under 0.
    void fileVanishingWhileSynced()
    {
        QVERIFY(m_root->write(Dir + "prg0.lua", program("Zero")));
        ProgramCatalogue c;
        c.loadAll();
        Peer peer({ "flip-file", m_root->path(Dir + "prg7.lua"), "20000" });
        QCOMPARE(peer.readLine(), QStringLiteral("started"));
        QString name;
        for (int syncs = 0; peer.process().state() != QProcess::NotRunning || syncs == 0; ++syncs) {
            c.sync(name = QStringLiteral("prg7.lua"));
            QCOMPARE(c.entry(0).value("name").toString(), QStringLiteral("Zero"));
            if (c.contains(7))
                QCOMPARE(c.entry(7).value("slot").toString(), QStringLiteral("7"));
            peer.process().waitForFinished(0);
        }
        QCOMPARE(peer.finish(), 0);
        c.sync(name = QStringLiteral("prg7.lua"));
        QCOMPARE(c.table().keys(), QList<int>({ 0 }));
    }

    // The job files: the first line that holds "jobName" gives the text after its first "=".
    void jobNames()
    {
        QVERIFY(m_root->write(JobDir + "job003.lua", "-- job\njob = {}\njob.jobName = \"Door left\"\njob.jobName = \"Other\"\n"));
        QVERIFY(m_root->write(JobDir + "job3.lua", "jobName = \"never read\"\n"));
        QVERIFY(m_root->write(JobDir + "job004.lua", "jobName=first=second\n"));
        QVERIFY(m_root->write(JobDir + "job005.lua", "job = {}\nreturn job\n"));
        QVERIFY(m_root->write(JobDir + "job006.lua", "\n\n  \njobName ==x\n"));
        QVERIFY(m_root->write(JobDir + "job007.lua", "jobName \"no equals\"\n"));
        QVERIFY(m_root->write(JobDir + "job008.lua", "JOBNAME = \"case\"\n"));
        QVERIFY(m_root->write(JobDir + "job010.lua", noise(128 * 1024, 99)));
        QVERIFY(m_root->write(JobDir + "job011.lua", QByteArray()));
        QVERIFY(m_root->write(JobDir + "job012.lua", Bytes("job\0Name = hidden\njobName = a\0b\n")));
        QVERIFY(m_root->write(JobDir + "job013.lua", QByteArray(8 * 1024 * 1024, 'j')));
        QVERIFY(m_root->write(JobDir + "job014.lua", "jobName = Pr\xfc""f\n"));
        QVERIFY(m_root->mkdir(JobDir + "job015.lua"));
        QVERIFY(m_root->write(JobDir + "job255.lua", "jobName = last"));
        QVERIFY(m_root->write(JobDir + "job256.lua", "jobName = beyond\n"));
        JobCatalogue c;
        c.load();
        const QMap<int, QString> expected {
            { 3, QStringLiteral(" \"Door left\"\n") }, { 4, QStringLiteral("first") }, { 6, QString() }, { 7, QString() },
            { 12, QStringLiteral(" a") }, { 14, QString::fromUtf8(" Pr\xef\xbf\xbd""f\n") }, { 255, QStringLiteral(" last") },
        };
        QCOMPARE(c.table(), expected);

        const QVariantList list = c.list();
        QCOMPARE(list.size(), expected.size());
        const QVariantMap first = list.first().toMap();
        QCOMPARE(first.keys(), QStringList({ "name", "slot" }));
        QCOMPARE(first.value("slot").typeId(), QMetaType::UInt);
        QCOMPARE(first.value("slot").toUInt(), 3u);
        QCOMPARE(first.value("name").toString(), QStringLiteral(" \"Door left\"\n"));
        QCOMPARE(list.last().toMap().value("slot").toUInt(), 255u);
    }

    // The writer replaces the whole file, also a longer one: the date, the time, the target
    // and the speed in their lines, and the catalogue reads it back as "Tight".
    void writerText_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("line34");
        QTest::addColumn<QByteArray>("line37");
        QTest::newRow("torque") << 300 << "torque" << 12 << QByteArray("TF_UpperTorque = 12") << QByteArray("Speed = 300");
        QTest::newRow("angle, negative speed") << -200 << "angle" << 720 << QByteArray("TF_Angle = 720") << QByteArray("Speed = -200");
        QTest::newRow("time") << 50 << "time" << 3 << QByteArray("TF_Time = 3") << QByteArray("Speed = 50");
        QTest::newRow("negative torque") << 0 << "torque" << -1 << QByteArray("TF_UpperTorque = -1") << QByteArray("Speed = 0");
    }

    void writerText()
    {
        QFETCH(int, speed);
        QFETCH(QString, target);
        QFETCH(int, value);
        QFETCH(QByteArray, line34);
        QFETCH(QByteArray, line37);
        QByteArray old;
        for (int i = 0; i < 500; ++i)
            old += "-- an old and much longer program line " + QByteArray::number(i) + "\n";
        QVERIFY(m_root->write(Dir + "prg17.lua", old));
        QVERIFY(ProgramWriter::write(17, speed, target, value, december4()));
        QVERIFY(SystemLog::capturedLines().isEmpty());
        const QByteArray written = m_root->read(Dir + "prg17.lua");
        QVERIFY(written.endsWith('\n'));
        const QList<QByteArray> lines = written.chopped(1).split('\n');
        QCOMPARE(lines.size(), 45);
        // The tool reads the file as it is written: every fixed line stays as it stands.
        if (target == QLatin1String("torque") && speed == 300)
            QCOMPARE(written, QByteArray(Expected));
        QCOMPARE(lines.at(4), QByteArray("prg.Date = \"04.12.2026\""));
        QCOMPARE(lines.at(5), QByteArray("prg.Time = \"14:27:05\""));
        QCOMPARE(lines.at(33), "steps[2]." + line34);
        QCOMPARE(lines.at(36), "steps[2]." + line37);
        const QVariantMap e = ProgramCatalogue::readEntry(QStringLiteral("prg17.lua"));
        QCOMPARE(e.value("name").toString(), QStringLiteral("Tight"));
        QCOMPARE(e.value("unit").toString(), QStringLiteral("0"));
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
    }

    // The channel configuration's torque units: read again while missing, kept through a
    // broken file, emptied by a document without units.
    void torqueUnits()
    {
        TorqueUnits t;
        t.read();
        QVERIFY(t.isEmpty());
        QCOMPARE(t.activeName(), QStringLiteral("Nm"));
        QCOMPARE(t.format(10), QStringLiteral("-"));
        // The next name request reads again while the table is empty.
        QVERIFY(m_root->write(ChanCfg, TwoUnits));
        QCOMPARE(t.name(2), QStringLiteral("ft lb"));
        QCOMPARE(t.activeId(), 2);
        QCOMPARE(t.name(1), QStringLiteral("Nm"));
        QCOMPARE(t.name(5), QStringLiteral("Nm"));
        QCOMPARE(t.precisions().value(2), 3);
        QCOMPARE(t.format(10), QStringLiteral("7.376 ft lb"));

        for (const QByteArray& bad : { QByteArray(), QByteArray("{\"EinheitDrehmoment\": {\"Aktiv\": 1"),
                                       QByteArray("\0\0\0\xff", 4), QByteArray(5 * 1024 * 1024, '{') }) {
            QVERIFY(m_root->write(ChanCfg, bad));
            t.read();
            QCOMPARE(t.activeId(), 2);
            QCOMPARE(t.activeName(), QStringLiteral("ft lb"));
        }
        QVERIFY(m_root->remove(ChanCfg));
        t.read();
        QCOMPARE(t.activeName(), QStringLiteral("ft lb"));

        // Valid JSON of the wrong shape: missing keys read as 0 or empty text.
        QVERIFY(m_root->write(ChanCfg, R"({"EinheitDrehmoment": {"Aktiv": "2", "Faktoren": [
            7, {"Id": 2, "Einheit": "in lb"}, {"Id": 2, "Einheit": "kgf cm", "Wert": 10.197}]}})"));
        t.read();
        QCOMPARE(t.activeId(), 2);
        QCOMPARE(t.names().value(0), QString());
        QCOMPARE(t.activeName(), QStringLiteral("kgf cm"));
        QCOMPARE(t.format(1), QStringLiteral("10.197 kgf cm"));

        const struct { QByteArray doc; int active; } withoutUnits[] = {
            { R"({"EinheitDrehmoment": {"Aktiv": 3}})", 3 }, { R"({"Other": true})", 0 }, { "[1, 2, 3]", 0 } };
        for (const auto& w : withoutUnits) {
            QVERIFY(m_root->write(ChanCfg, TwoUnits));
            t.read();
            QVERIFY(m_root->write(ChanCfg, w.doc));
            t.read();
            QVERIFY(t.isEmpty());
            QVERIFY(t.factors().isEmpty());
            QCOMPARE(t.activeId(), w.active);
            QCOMPARE(t.activeName(), QStringLiteral("Nm"));
            QCOMPARE(t.format(1), QStringLiteral("-"));
        }
    }

private:
    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestTighteningFiles)
#include "tst_tighteningfiles.moc"
