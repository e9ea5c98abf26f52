#include <QtTest>

#include "devicepaths.h"
#include "jsonfile.h"
#include "systemlog.h"
#include "testsupport.h"

class TestJsonFile : public QObject
{
    Q_OBJECT

private:
    const QString File = QStringLiteral("/home/tool/config/ChanCfg.json");

private Q_SLOTS:
    void parsesObjectsAndArrays()
    {
        TempSysroot root;
        QVERIFY(root.write(File, "\xEF\xBB\xBF{\"interface\": true, \"connections\": [{\"wlan\": {\"ssid\": \"Halle 3\"}}], \"n\": 2}"));
        QVariant out;
        QVERIFY(JsonFile::parse(out, root.path(File)));
        const QVariantMap map = out.toMap();
        QCOMPARE(map.value(QStringLiteral("interface")).toBool(), true);
        QCOMPARE(map.value(QStringLiteral("n")).toInt(), 2);
        QCOMPARE(map.value(QStringLiteral("connections")).toList().first().toMap().value(QStringLiteral("wlan")).toMap().value(QStringLiteral("ssid")).toString(),
                 QStringLiteral("Halle 3"));

        QVERIFY(root.write(File, "[1, \"zwei\"]"));
        QVERIFY(JsonFile::parse(out, root.path(File)));
        QCOMPARE(out.toList().size(), 2);
    }

    void badInput_data()
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

    void badInput()
    {
        QFETCH(QByteArray, content);
        TempSysroot root;
        QVERIFY(root.write(File, content));
        QVariant out(QStringLiteral("previous"));
        QVERIFY(!JsonFile::parse(out, root.path(File)));
        if (!content.trimmed().isEmpty())
            QVERIFY(!out.isValid());
    }

    void missingFileLeavesOutput()
    {
        TempSysroot root;
        QVariant out(42);
        QVERIFY(!JsonFile::parse(out, root.path(File)));
        QCOMPARE(out, QVariant(42));
        QVERIFY(root.mkdir(File));
        QVERIFY(!JsonFile::parse(out, root.path(File)));
        QCOMPARE(out, QVariant(42));
    }

    void oversizedFile()
    {
        TempSysroot root;
        QByteArray big = "{\"pad\": \"";
        big += QByteArray(3 * 1024 * 1024, 'p');
        big += "\"}";
        QVERIFY(root.write(File, big));
        QVariant out;
        QVERIFY(JsonFile::parse(out, root.path(File)));
        QCOMPARE(out.toMap().value(QStringLiteral("pad")).toString().size(), 3 * 1024 * 1024);
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
};

QTEST_GUILESS_MAIN(TestJsonFile)
#include "tst_jsonfile.moc"
