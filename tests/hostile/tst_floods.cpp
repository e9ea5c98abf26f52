// Floods any local process can send: new names without end, huge texts, a stream of change
// notifications and of signals. The host must keep bounded tables, cap texts, reload once and
// skip stale levels, never faults.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QQuickItem>
#include <QtTest>

#include "confignotifications.h"
#include "inputlimits.h"
#include "mainwindow.h"
#include "testsupport.h"

class TestFloods : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;

    static QStringList calls(MainWindow& w, const QString& name)
    {
        return w.rootItem()->property("calls").toStringList().filter(QRegularExpression(QLatin1Char('^') + name + QLatin1String("( |$)")));
    }
    static QVariantList lastArgs(MainWindow& w)
    {
        return w.rootItem()->property("argLists").toList().last().toList();
    }
    static QUrl scene() { return QUrl::fromLocalFile(QStringLiteral(NG_SOURCE_DIR "/tests/common/RecordingScene.qml")); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bus.isRunning());
    }

    // 10,000 new names, and 20 names of 5 MB: the tables stop at their bound, the names
    // already known keep working.
    void nameTables()
    {
        TempSysroot root;
        MainWindow w(nullptr, scene());
        const QString huge(5 * 1024 * 1024, QLatin1Char('x'));
        w.fResServiceConChanged(QStringLiteral("Xml"), 1);
        w.fsetopmodemenuentry(QStringLiteral("showjob"), 1);
        for (int i = 0; i < 20; ++i) {
            w.fResServiceConChanged(huge + QString::number(i), 1);
            w.fsetopmodemenuentry(huge + QString::number(i), 1);
        }
        for (int i = 0; i < 10000; ++i) {
            w.fResServiceConChanged(QStringLiteral("svc%1").arg(i), 0);
            w.fsetopmodemenuentry(QStringLiteral("mode%1").arg(i), 1);
        }
        w.fResServiceConChanged(QStringLiteral("Xml"), -1);
        w.fsetopmodemenuentry(QStringLiteral("showjob"), 0);

        const QVariantMap states = w.getInitResConStates().toMap().value(QStringLiteral("values")).toMap();
        QCOMPARE(states.size(), InputLimits::MaxEntries);
        QCOMPARE(states.value(QStringLiteral("Xml")).toInt(), -1);
        QCOMPARE(calls(w, QStringLiteral("resServiceConChanged")).size(), InputLimits::MaxEntries + 1);
        const QStringList modes = calls(w, QStringLiteral("checkAllowedModes"));
        QCOMPARE(modes.size(), InputLimits::MaxEntries + 1);
        QCOMPARE(modes.last(), QStringLiteral("checkAllowedModes showjob 0"));
    }

    // Texts of 10 MB reach the scene cut to their caps.
    void hugeTexts()
    {
        TempSysroot root;
        const QString huge(10 * 1024 * 1024, QLatin1Char('y'));
        // Program files are read up to 4 MB.
        const QByteArray long3(3 * 1024 * 1024, 'z');
        QVERIFY(root.write(QStringLiteral("/home/tool/config/srbprg/prg3.lua"), "prg.Name = \"" + long3 + "\"\nprg.TorqueUnit = " + long3 + "\n"));
        MainWindow w(nullptr, scene());
        w.fpopupString(huge, huge, 0, 0);
        QVariantList args = lastArgs(w);
        QCOMPARE(args.at(0).toString().size(), InputLimits::MaxText);
        QCOMPARE(args.at(1).toString().size(), InputLimits::MaxText);
        w.fjobdisplaymsg(huge, huge);
        QCOMPARE(lastArgs(w).at(1).toString().size(), InputLimits::MaxText);
        QVERIFY(QMetaObject::invokeMethod(&w, "newIdcode", Q_ARG(int, 1), Q_ARG(int, 1), Q_ARG(QString, huge)));
        QCOMPARE(lastArgs(w).at(0).toString().size(), InputLimits::MaxCode);
        QString file = QStringLiteral("prg3.lua");
        const QVariantMap program = w.retrievePrgNumberName(file);
        QCOMPARE(program.value(QStringLiteral("name")).toString().size(), InputLimits::MaxName);
        QCOMPARE(program.value(QStringLiteral("unit")).toString().size(), InputLimits::MaxName);
        // A cap never splits a character.
        QCOMPARE(InputLimits::cap(QStringLiteral("ab\U0001F600"), 3), QStringLiteral("ab"));
    }

    // 10,000 notifications for the job files and 10,000 for as many program files, sent over
    // the bus, cost one reload each: one job view update, one reload of all programs.
    void changeNotifications()
    {
        TempSysroot root;
        MainWindow w(nullptr, scene());
        auto* merger = w.findChild<ConfigNotifications*>();
        QVERIFY(merger);
        QSignalSpy reloads(merger, &ConfigNotifications::changed);
        QDBusConnection sender = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("flood"));
        QVERIFY(sender.isConnected());
        for (int i = 0; i < 10000; ++i) {
            for (const QString& path : { QStringLiteral("/home/tool/config/jobs/job%1.lua").arg(i % 256, 3, 10, QLatin1Char('0')),
                                         QStringLiteral("/home/tool/config/srbprg/prg%1.lua").arg(i) }) {
                QDBusMessage m = QDBusMessage::createSignal(QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"),
                                                            QStringLiteral("cfgfilechanged"));
                m << path;
                sender.send(m);
            }
        }
        QVERIFY(waitUntil([&] { return calls(w, QStringLiteral("updateJobView")).size() >= 1; }, 20000));
        QTest::qWait(2 * ConfigNotifications::MaxDelayMs);
        QDBusConnection::disconnectFromBus(QStringLiteral("flood"));
        qInfo("%d reloads, %d job view updates", int(reloads.size()), int(calls(w, QStringLiteral("updateJobView")).size()));
        // One reload per kind and burst (a burst ends at the latest after MaxDelayMs, so a
        // loaded machine that delivers slowly sees a few): a handful, never thousands.
        QVERIFY2(reloads.size() < 200, qPrintable(QString::number(reloads.size())));
        QVERIFY(calls(w, QStringLiteral("updateJobView")).size() < 10);
    }

    // 20,000 signals while the GUI thread is busy: of the battery level the latest is shown
    // (a few times at most), while every fault and every acknowledgement among them reaches
    // the scene, in order.
    void toolSignals()
    {
        TempSysroot root;
        MainWindow w(nullptr, scene());
        QDBusConnection sender = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("signals"));
        QVERIFY(sender.isConnected());
        const int from = calls(w, QStringLiteral("batteryPower")).size();
        QStringList faults, acks;
        auto send = [&](const char* member, const QVariantList& args) {
            QDBusMessage m = QDBusMessage::createSignal(QStringLiteral("/SysObj"), QStringLiteral("com.velmar.akku.SysInterface"), QLatin1String(member));
            m.setArguments(args);
            sender.send(m);
        };
        for (int i = 0; i < 20000; ++i) {
            send("battpowerchanged", { i % 90 });
            if (i % 500 == 100) {
                send("sysfault", { 2000 + i, 2, 0 });
                faults << QStringLiteral("popupString Sys Fault %1 0 0 %1 2").arg(2000 + i);
            } else if (i % 500 == 400) {
                send("acksysfault", { 2000 + i - 300, 0 });
                acks << QStringLiteral("closepopupString %1").arg(2000 + i - 300);
            }
        }
        send("battpowerchanged", { 95 });
        QVERIFY(waitUntil([&] { return calls(w, QStringLiteral("batteryPower")).value(calls(w, QStringLiteral("batteryPower")).size() - 1) == QLatin1String("batteryPower 95"); }, 60000));
        QVERIFY(waitUntil([&] { return calls(w, QStringLiteral("closepopupString")).size() >= acks.size(); }, 60000));
        QDBusConnection::disconnectFromBus(QStringLiteral("signals"));
        QCOMPARE(calls(w, QStringLiteral("popupString")), faults);
        QCOMPARE(calls(w, QStringLiteral("closepopupString")), acks);
        const int shown = calls(w, QStringLiteral("batteryPower")).size() - from;
        QVERIFY2(shown < 1000, qPrintable(QString::number(shown)));
    }
};

QTEST_MAIN(TestFloods)
#include "tst_floods.moc"
