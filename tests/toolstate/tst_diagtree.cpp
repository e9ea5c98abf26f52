#include <QDir>
#include <QFile>
#include <QtTest>

#include "devicepaths.h"
#include "diagtree.h"
#include "filelock.h"
#include "peer.h"
#include "systemlog.h"
#include "testsupport.h"

class TestDiagTree : public QObject
{
    Q_OBJECT

private:
    static QString diag(const QString& name) { return QStringLiteral("/var/run/diag/") + name; }

    static QVariantMap values(const QVariant& states) { return states.toMap().value(QStringLiteral("values")).toMap(); }
    static QVariantList keys(const QVariant& states) { return states.toMap().value(QStringLiteral("keys")).toList(); }

private Q_SLOTS:
    void init()
    {
        qunsetenv("LOCAL_VAR_ROOT_PATH");
        SystemLog::startCapture();
    }
    void cleanup()
    {
        qunsetenv("LOCAL_VAR_ROOT_PATH");
        SystemLog::stopCapture();
    }

    // A value is the trimmed text of its file: an empty file gives an empty text, a file that
    // cannot be opened the fallback, and a number that is none reads as 0.
    void singleValues()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("idcode"), "\tVIN 0815 \r\n"));
        QVERIFY(root.write(diag("cycle"), ""));
        QVERIFY(root.write(diag("enable"), "x"));
        QVERIFY(root.write(diag("gui/showmanop"), "0"));
        QVERIFY(root.mkdir(diag("gui/jobselection"))); // cannot be opened as a file
        DiagTree tree;
        QCOMPARE(tree.getIdCode(), QStringLiteral("VIN 0815"));
        QCOMPARE(tree.getDiagProp(QStringLiteral("cycle"), QStringLiteral("fallback")), QString()); // empty, not the fallback
        QCOMPARE(tree.getDiagProp(QStringLiteral("missing"), QStringLiteral("fallback")), QStringLiteral("fallback"));
        QCOMPARE(tree.getDiagProp(QStringLiteral("gui/jobselection"), QStringLiteral("f")), QStringLiteral("f"));
        QCOMPARE(tree.getJobSelect(), 0);
        QCOMPARE(tree.getEnable(), 0);
        QCOMPARE(tree.getAllowManOp(), false);
        QVERIFY(root.write(diag("gui/showmanop"), "2"));
        QCOMPARE(tree.getAllowManOp(), true);
        QVERIFY(SystemLog::capturedLines().isEmpty());
    }

    void runtimeRootVariable()
    {
        TempSysroot root;
        QTemporaryDir elsewhere;
        QVERIFY(root.write(diag("cycle"), "from sysroot"));
        QVERIFY(root.write(diag("res_services/Xml.json"), "{}"));
        QVERIFY(root.write(diag("ResConStates/Xml"), "1"));
        // Files outside the system root, by host path.
        const auto put = [](const QString& path, const QByteArray& text) {
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
        };
        const QString x = elsewhere.path() + QStringLiteral("/x/");
        QVERIFY(put(x + QStringLiteral("diag/cycle"), "from variable"));
        QVERIFY(put(x + QStringLiteral("diag/prgnr"), "7"));
        QVERIFY(put(x + QStringLiteral("diag/ResConStates/Xml"), "0"));

        qputenv("LOCAL_VAR_ROOT_PATH", x.toUtf8());
        DiagTree tree;
        QCOMPARE(tree.getCycle(), QStringLiteral("from variable"));
        QCOMPARE(tree.getPrgnr(), short(7));
        // the fixed paths stay where they are
        QCOMPARE(tree.getServices(), QStringList(QStringLiteral("Xml")));
        // the directory is listed at the fixed path, the value read through the variable
        QCOMPARE(values(tree.getInitResConStates()).value(QStringLiteral("Xml")), QVariant(0));

        // used verbatim: without the trailing slash "diag" is glued to the last name
        const QString glued = elsewhere.path() + QStringLiteral("/x");
        qputenv("LOCAL_VAR_ROOT_PATH", glued.toUtf8());
        QVERIFY(put(glued + QStringLiteral("diag/cycle"), "glued"));
        QCOMPARE(tree.getCycle(), QStringLiteral("glued"));

        // set but empty: still used, the tree is relative to the working directory
        qputenv("LOCAL_VAR_ROOT_PATH", QByteArray());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(x));
        QCOMPARE(tree.getCycle(), QStringLiteral("from variable"));
        QVERIFY(QDir::setCurrent(previous));

        qunsetenv("LOCAL_VAR_ROOT_PATH");
        QCOMPARE(tree.getCycle(), QStringLiteral("from sysroot"));
    }

    // Numbers read from files: the program number (-88 when missing or empty), the fault word
    // (class = value AND 7, code = value >> 3) and the key switch (the first of 6 bytes AND 3;
    // -1 for a read of another length, -77 when it cannot be opened).
    void numbers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // null: no file; "dir": a directory
        QTest::addColumn<QList<int>>("expected");
        const QString prgnr = diag("prgnr"), fault = diag("sysfault"), key = QString::fromLatin1(DevicePaths::KeySwitchFile);
        QTest::newRow("program padded") << prgnr << QByteArray(" 12\n") << QList<int> { 12 };
        QTest::newRow("program empty") << prgnr << QByteArray("") << QList<int> { -88 };
        QTest::newRow("program blank") << prgnr << QByteArray(" \n\t") << QList<int> { -88 };
        QTest::newRow("program missing") << prgnr << QByteArray() << QList<int> { -88 };
        QTest::newRow("program text") << prgnr << QByteArray("abc") << QList<int> { 0 };
        QTest::newRow("no program") << prgnr << QByteArray("-88") << QList<int> { -88 };
        QTest::newRow("program 16 bits") << prgnr << QByteArray("70000") << QList<int> { 4464 };
        QTest::newRow("program NUL padded") << prgnr << QByteArray("12\0\0", 4) << QList<int> { 12 };
        QTest::newRow("fault 43") << fault << QByteArray("43\n") << QList<int> { 3, 5 };
        QTest::newRow("fault class only") << fault << QByteArray("7") << QList<int> { 7, 0 };
        QTest::newRow("fault text") << fault << QByteArray("none") << QList<int> { 0, 0 };
        QTest::newRow("fault negative") << fault << QByteArray("-3") << QList<int> { 5, -1 };
        QTest::newRow("fault missing") << fault << QByteArray() << QList<int> { 0, 0 };
        QTest::newRow("key 0x06") << key << QByteArray("\x06\x00\x00\x00\x00\x00", 6) << QList<int> { 2 };
        QTest::newRow("key 0xff") << key << QByteArray("\xff\x01\x02\x03\x04\x05", 6) << QList<int> { 3 };
        QTest::newRow("key longer") << key << QByteArray("\x01zzzzzzzz", 9) << QList<int> { 1 };
        QTest::newRow("key 5 bytes") << key << QByteArray("\x03\x00\x00\x00\x00", 5) << QList<int> { -1 };
        QTest::newRow("key empty") << key << QByteArray("") << QList<int> { -1 };
        QTest::newRow("key missing") << key << QByteArray() << QList<int> { -77 };
        QTest::newRow("key directory") << key << QByteArray("dir") << QList<int> { -77 };
    }

    void numbers()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, expected);
        TempSysroot root;
        if (content == "dir")
            QVERIFY(root.mkdir(file));
        else if (!content.isNull())
            QVERIFY(root.write(file, content));
        DiagTree tree;
        QList<int> got;
        if (file == diag("prgnr")) {
            got << tree.getPrgnr();
        } else if (file == diag("sysfault")) {
            int fclass = -1, code = -1;
            tree.getSysfaultTwoInts(fclass, code);
            got << fclass << code;
        } else {
            got << tree.adcVal();
            if (got.first() == -1)
                QCOMPARE(SystemLog::capturedLines(), QStringList(QStringLiteral("<7>adcval is read form file: ") + root.path(file)
                                                                 + QStringLiteral(" FAILED size is not 6: %1").arg(content.size())));
        }
        QCOMPARE(got, expected);
    }

    void readerWaitsForWriter()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("battery/power"), "55"));
        Peer holder;
        QVERIFY(holder.hold(root.path(diag("battery/power")), true));
        DiagTree tree;
        QString value;
        Background reader([&] { value = tree.getBattPower(); });
        const bool blocked = reader.stillRunningAfter(300);
        QVERIFY(holder.release());
        reader.join();
        QVERIFY2(blocked, "the reader did not wait for the writer's lock");
        QCOMPARE(value, QStringLiteral("55"));
    }

    // A refused lock (the kernel breaks a cycle of waiting processes) leaves the fallback:
    // -1 for the program number, the fallback text for the generic reader.
    void refusedLock()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("prgnr"), "12"));
        QVERIFY(root.write(diag("cycle"), "3"));
        QVERIFY(root.write(QStringLiteral("/other"), ""));
        QFile other(root.path(QStringLiteral("/other")));
        QVERIFY(other.open(QIODevice::ReadWrite));
        QVERIFY(FileLock::lock(other));
        DiagTree tree;
        for (const QString& name : { QStringLiteral("prgnr"), QStringLiteral("cycle") }) {
            Peer holder;
            holder.start({ QStringLiteral("chain"), root.path(diag(name)), other.fileName() });
            QCOMPARE(holder.readLine(), QStringLiteral("locked"));
            QTest::qSleep(300); // let it queue up for the file this process holds
            SystemLog::startCapture();
            if (name == QLatin1String("prgnr"))
                QCOMPARE(tree.getPrgnr(), short(-1));
            else
                QCOMPARE(tree.getDiagProp(name, QStringLiteral("fb")), QStringLiteral("fb"));
            QVERIFY(SystemLog::capturedLines().first().startsWith(QStringLiteral("<3>FLOCK failed: ") + root.path(diag(name))));
            QVERIFY(FileLock::unlock(other));
            QCOMPARE(holder.readLine(), QStringLiteral("chained"));
            QVERIFY(holder.release());
            QVERIFY(FileLock::lock(other));
        }
    }

    void connectionStatesFromTree()
    {
        TempSysroot root;
        {
            // No directory: an empty map, cached like any other until it is reset.
            DiagTree empty;
            QVERIFY(values(empty.getInitResConStates()).isEmpty() && keys(empty.getInitResConStates()).isEmpty());
            QVERIFY(root.write(diag("ResConStates/Xml"), "1"));
            QVERIFY(values(empty.getInitResConStates()).isEmpty());
            empty.resetConnectionStates();
            QCOMPARE(values(empty.getInitResConStates()).value(QStringLiteral("Xml")), QVariant(1));
        }
        QVERIFY(root.write(diag("ResConStates/Xml"), "1\n"));
        QVERIFY(root.write(diag("ResConStates/b"), "0"));
        QVERIFY(root.write(diag("ResConStates/OpenProtocol"), "-1"));
        QVERIFY(root.write(diag("ResConStates/10"), "garbage"));
        DiagTree tree;
        QVERIFY(tree.connectionStates().isNull());
        const QVariant states = tree.getInitResConStates();
        QCOMPARE(keys(states), QVariantList({ 10, 0, 0, 0 })); // 10, b, OpenProtocol, Xml
        QCOMPARE(values(states), QVariantMap({ { "Xml", 1 }, { "b", 0 }, { "OpenProtocol", -1 }, { "10", 0 } }));

        // cached: the tree is not read again
        QVERIFY(root.write(diag("ResConStates/Xml"), "0"));
        QCOMPARE(values(tree.getInitResConStates()).value(QStringLiteral("Xml")), QVariant(1));
    }

    // The service descriptions: the regular "<name>.json" files, each read up to its first
    // NUL; a name never leads out of the directory.
    void services()
    {
        TempSysroot root;
        QVERIFY(root.write(diag("res_services/Xml.json"), QByteArray("{\"data\": [{\"key\": \"IP\", \"val\": \"10.0.0.1\"}]}\0tail", 50)));
        QVERIFY(root.write(diag("res_services/OpenProtocol.json"), "{}"));
        QVERIFY(root.write(diag("res_services/a.b.json"), "{}"));
        QVERIFY(root.write(diag("res_services/notes.txt"), "x"));
        QVERIFY(root.mkdir(diag("res_services/dir.json")));
        QVERIFY(root.write(QStringLiteral("/home/tool/config/secret.json"), "{}"));
        DiagTree tree;
        QStringList list = tree.getServices();
        list.sort();
        QCOMPARE(list, QStringList({ QStringLiteral("OpenProtocol"), QStringLiteral("Xml"), QStringLiteral("a.b") }));
        QCOMPARE(tree.readSrvsFile(QStringLiteral("Xml")), QStringLiteral("{\"data\": [{\"key\": \"IP\", \"val\": \"10.0.0.1\"}]}"));
        QVERIFY(SystemLog::capturedLines().isEmpty());
        QCOMPARE(tree.readSrvsFile(QStringLiteral("Missing")), QString());
        QCOMPARE(tree.readSrvsFile(QStringLiteral("../../../../home/tool/config/secret")), QString());
        QCOMPARE(SystemLog::capturedLines(), QStringList({ QStringLiteral("<4>Service not found"), QStringLiteral("<4>Service not found") }));
        QVERIFY(root.remove(diag("res_services")));
        QVERIFY(tree.getServices().isEmpty());
    }

    void changedServicePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("name");
        QTest::newRow("service") << "/var/run/diag/res_services/Xml.json" << true << "Xml";
        QTest::newRow("nothing between") << "/var/run/diag/res_services/.json" << false << "";
        QTest::newRow("one character") << "/var/run/diag/res_services/a.json" << true << "a";
        QTest::newRow("blank name trimmed") << "/var/run/diag/res_services/ Xml .json" << true << "Xml";
        QTest::newRow("other extension") << "/var/run/diag/res_services/Xml.txt" << false << "";
        QTest::newRow("other directory") << "/var/run/diag/ResConStates/Xml.json" << false << "";
        QTest::newRow("case") << "/var/run/diag/res_services/Xml.JSON" << false << "";
        QTest::newRow("relative") << "var/run/diag/res_services/Xml.json" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }

    void changedServicePath()
    {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        QFETCH(QString, name);
        // the test is on the device path, whatever the system root is
        TempSysroot root;
        QString got;
        QCOMPARE(DiagTree::serviceFromPath(path, got), accepted);
        QCOMPARE(got, name);
    }
};

QTEST_GUILESS_MAIN(TestDiagTree)
#include "tst_diagtree.moc"
