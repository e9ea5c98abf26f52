#include <QDBusMessage>
#include <QFile>
#include <QMetaClassInfo>
#include <QtTest>

#include "akkuifadapter.h"
#include "interfacedescription.h"
#include "toolservices.h"

// The adaptor against its introspection description, and the reply rule of the proxies.
class TestAkkuIfAdapter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classInfoMatchesDescription();
    void descriptionLists();
    void replyRule();

private:
    static QString classInfo(const char* name)
    {
        const QMetaObject& mo = AkkuIfAdapter::staticMetaObject;
        const int i = mo.indexOfClassInfo(name);
        return i < 0 ? QString() : QString::fromUtf8(mo.classInfo(i).value());
    }
    static QString descriptionFile()
    {
        QFile f(QStringLiteral(NG_GUI_INTERFACE_XML));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

// Every method of the description is a slot of the adaptor (what other processes see on the
// bus is compared with the description by tst_guiservice).
void TestAkkuIfAdapter::classInfoMatchesDescription()
{
    QCOMPARE(classInfo("D-Bus Interface"), QStringLiteral("com.velmar.akku.gui"));
    const QMetaObject& mo = AkkuIfAdapter::staticMetaObject;
    for (const QString& m : interfaceMembers(descriptionFile(), QStringLiteral("com.velmar.akku.gui"))) {
        if (!m.startsWith(QLatin1String("method ")))
            continue;
        const QString name = m.section(QLatin1Char(' '), 1, 1);
        bool found = false;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
            found = found || (mo.method(i).methodType() == QMetaMethod::Slot && mo.method(i).name() == name.toLatin1());
        QVERIFY2(found, qPrintable(name));
    }
}

// The contract as the other processes rely on it: names, order, argument types and directions.
void TestAkkuIfAdapter::descriptionLists()
{
    const QStringList members = interfaceMembers(descriptionFile(), QStringLiteral("com.velmar.akku.gui"));
    const QStringList expected {
        "method fpopupString in s header, in s text, in i timer, in i waitforack",
        "method fjobdisplaymsg in s header, in s text",
        "method fclosejobdisplaymsg",
        "method fclosepopupString",
        "method setFccTestMode in b active",
        "method getFccTestMode out b active",
        "method fresetresult",
        "method fupdateprgnr in i prgnr",
        "method ftestMode in b test",
        "method ftestModeText in i field, in s color, in s bgColor, in i size, in s text",
        "method ftestModeProgressBar in i progress",
        "method fdisplayscanicon in i button",
        "method fhidescanicon",
        "method setNice in i incr, out i nc",
        "method fResServiceDiagDataChanged in s service",
        "method fResServiceConChanged in s serviceName, in i connected",
        "method fshownokackpopup in i prgnr",
        "method fpruefsoftwarestarted in b active",
        "method fsetoperationmode in i mode, in i prgallow, in i joballow",
        "method fsetopmodemenuentry in s name, in i active",
        "signal jobselected i jobnr",
        "signal prgselected i prgnr",
        "signal currentResConnState i state",
        "signal currentOperationMode i mode",
        "signal fccTestModeChanged b active",
        "signal jobabort",
    };
    QCOMPARE(members, expected);
}

// Success needs a method reply without an error message; an error reply counts as failed even
// when its message is empty, and a reply with too few arguments as failed where they are used.
void TestAkkuIfAdapter::replyRule()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("a.b"), QStringLiteral("/x"), QStringLiteral("a.b"), QStringLiteral("frdyget"));
    QDBusMessage reply = call.createReply(QVariantList { 3, 3 });
    QVERIFY(ToolServices::succeeded(reply));
    QVERIFY(ToolServices::succeeded(reply, 2));
    QVERIFY(!ToolServices::succeeded(reply, 3));
    QVERIFY(ToolServices::succeeded(call.createReply()));
    QVERIFY(!ToolServices::succeeded(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"), QStringLiteral("no"))));
    QVERIFY(!ToolServices::succeeded(call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.Failed"), QString())));
    QVERIFY(!ToolServices::succeeded(QDBusMessage()));
}

QTEST_GUILESS_MAIN(TestAkkuIfAdapter)
#include "tst_akkuifadapter.moc"
