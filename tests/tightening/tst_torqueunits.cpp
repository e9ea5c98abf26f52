#include <QtTest>

#include "testsupport.h"
#include "torqueunits.h"

namespace {

const QString File = QStringLiteral("/home/tool/config/ChanCfg.json");

const QByteArray TwoUnits = R"({
  "Kanal": 1,
  "EinheitDrehmoment": {
    "Aktiv": 2,
    "Faktoren": [
      { "Id": 1, "Einheit": "Nm", "Wert": 1, "Genauigkeit": 2 },
      { "Id": 2, "Einheit": "ft lb", "Wert": 0.7376, "Genauigkeit": 3 }
    ]
  }
})";

} // namespace

class TestTorqueUnits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_root.reset(new TempSysroot); }
    void cleanup() { m_root.reset(); }

    void twoUnits()
    {
        QVERIFY(m_root->write(File, TwoUnits));
        TorqueUnits t;
        t.read();
        QCOMPARE(t.activeId(), 2);
        QCOMPARE(t.activeName(), QStringLiteral("ft lb"));
        QCOMPARE(t.name(1), QStringLiteral("Nm"));
        QCOMPARE(t.name(5), QStringLiteral("Nm"));
        QCOMPARE(t.precisions().value(2), 3);
        QCOMPARE(t.format(10), QStringLiteral("7.376 ft lb"));
        QCOMPARE(t.format(0), QStringLiteral("0.000 ft lb"));
    }

    void missingFileRetried()
    {
        TorqueUnits t;
        t.read();
        QVERIFY(t.isEmpty());
        QCOMPARE(t.activeName(), QStringLiteral("Nm"));
        QCOMPARE(t.format(10), QStringLiteral("-"));
        // The next name request reads again while the table is empty.
        QVERIFY(m_root->write(File, TwoUnits));
        QCOMPARE(t.name(2), QStringLiteral("ft lb"));
        QCOMPARE(t.activeId(), 2);
    }

    void fileWithoutFactoren()
    {
        QVERIFY(m_root->write(File, TwoUnits));
        TorqueUnits t;
        t.read();
        QVERIFY(m_root->write(File, R"({"EinheitDrehmoment": {"Aktiv": 3}})"));
        t.read();
        QVERIFY(t.isEmpty());
        QVERIFY(t.factors().isEmpty());
        QCOMPARE(t.activeId(), 3);
        QVERIFY(m_root->write(File, R"({"Other": true})"));
        t.read();
        QCOMPARE(t.activeId(), 0);
        QCOMPARE(t.activeName(), QStringLiteral("Nm"));
        QCOMPARE(t.format(1), QStringLiteral("-"));
    }

    void badFilesKeepTable()
    {
        QVERIFY(m_root->write(File, TwoUnits));
        TorqueUnits t;
        t.read();
        const QList<QByteArray> bad {
            QByteArray(), QByteArray("{\"EinheitDrehmoment\": {\"Aktiv\": 1"), QByteArray("\0\0\0\xff", 4),
            QByteArray(5 * 1024 * 1024, '{'),
        };
        for (const QByteArray& content : bad) {
            QVERIFY(m_root->write(File, content));
            t.read();
            QCOMPARE(t.activeId(), 2);
            QCOMPARE(t.activeName(), QStringLiteral("ft lb"));
        }
        QVERIFY(m_root->remove(File));
        t.read();
        QCOMPARE(t.activeName(), QStringLiteral("ft lb"));
    }

    void oddShapes()
    {
        // Valid JSON of the wrong shape: missing keys read as 0 or empty text.
        QVERIFY(m_root->write(File, R"({"EinheitDrehmoment": {"Aktiv": "2", "Faktoren": [
            7, {"Id": 2, "Einheit": "in lb"}, {"Id": 2, "Einheit": "kgf cm", "Wert": 10.197}]}})"));
        TorqueUnits t;
        t.read();
        QCOMPARE(t.activeId(), 2);
        QCOMPARE(t.names().value(0), QString());
        QCOMPARE(t.activeName(), QStringLiteral("kgf cm"));
        QCOMPARE(t.format(1), QStringLiteral("10.197 kgf cm"));
        QVERIFY(m_root->write(File, "[1, 2, 3]"));
        t.read();
        QVERIFY(t.isEmpty());
    }

private:
    QScopedPointer<TempSysroot> m_root;
};

QTEST_GUILESS_MAIN(TestTorqueUnits)
#include "tst_torqueunits.moc"
