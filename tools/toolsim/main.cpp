// toolsim: the simulated tool for desktop runs, tests and the demo.
//
//   toolsim run --sysroot DIR [--scenario FILE] [--fresh] [--sample DIR]
//   toolsim run --device [--scenario FILE] [--sample DIR]   (installed: the real device paths)
//   toolsim ctl COMMAND ARGS...        (toolsim ctl help lists the commands)

#include "devicefiles.h"
#include "toolsim.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: toolsim run --sysroot DIR [--scenario FILE] [--fresh] [--sample DIR]\n"
    "       toolsim run --device [--scenario FILE] [--sample DIR]\n"
    "       toolsim ctl COMMAND ARGS...   (toolsim ctl help lists the commands)\n"
    "The bus is DBUS_SYSTEM_BUS_ADDRESS: start a private dbus-daemon with tools/dbus/bus.conf.\n"
    "With --device (the installed simulator on a development board or a VM) it is the system bus\n"
    "and the files are the device's own: the missing ones are created from the sample data.\n";

void err(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

void out(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stdout);
}

int runSimulator(QCoreApplication& app, const QStringList& args)
{
    QString sysroot, scenario, sample;
    bool fresh = false, device = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--fresh")) {
            fresh = true;
        } else if (a == QLatin1String("--device")) {
            device = true;
        } else if ((a == QLatin1String("--sysroot") || a == QLatin1String("--scenario") || a == QLatin1String("--sample"))
                   && i + 1 < args.size()) {
            QString& target = a == QLatin1String("--sysroot") ? sysroot : a == QLatin1String("--scenario") ? scenario : sample;
            target = args[++i];
        } else {
            err(QStringLiteral("toolsim: unknown argument %1").arg(a));
            std::fputs(Usage, stderr);
            return 2;
        }
    }
    if (device == !sysroot.isEmpty() || (device && fresh)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    QString error;
    if (device) {
        // The installed package keeps the sample beside the program (share/newgui-toolsim).
        if (sample.isEmpty())
            sample = QCoreApplication::applicationDirPath() + QLatin1String("/../share/newgui-toolsim/sample");
        qunsetenv("TOOL_SYSROOT");
        sysroot = QStringLiteral("/");
        if (!DeviceFiles::fillDevice(QDir::cleanPath(sample), &error)) {
            err(QStringLiteral("toolsim: ") + error);
            return 2;
        }
    } else {
        if (sample.isEmpty())
            sample = QStringLiteral(TOOLSIM_SAMPLE_DIR);
        sysroot = QDir::cleanPath(QFileInfo(sysroot).absoluteFilePath());
        if (sysroot == QLatin1String("/")) {
            err(QStringLiteral("toolsim: the system root must not be / (--device runs on the device's own files)"));
            return 2;
        }
        if (!DeviceFiles::fillSysroot(sysroot, sample, fresh, &error)) {
            err(QStringLiteral("toolsim: ") + error);
            return 2;
        }
        // Every device path of this process now lands in the sandbox.
        qputenv("TOOL_SYSROOT", sysroot.toUtf8());
    }
    if (!scenario.isEmpty())
        scenario = QFileInfo(scenario).absoluteFilePath();

    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        err(QStringLiteral("toolsim: no bus at DBUS_SYSTEM_BUS_ADDRESS: ") + bus.lastError().message());
        return 2;
    }
    ToolSim sim(bus);
    if (!sim.start(&error)) {
        err(QStringLiteral("toolsim: ") + error);
        return 2;
    }
    ToolSim::say(QStringLiteral("   system root %1").arg(sysroot));
    ToolSim::say(QStringLiteral("toolsim ready"));
    if (!scenario.isEmpty() && !sim.playScenario(scenario, &error))
        ToolSim::say(QStringLiteral("== ") + error);
    return app.exec();
}

int control(const QStringList& args)
{
    if (args.isEmpty()) {
        std::fputs(Usage, stderr);
        return 2;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        err(QStringLiteral("toolsim ctl: no bus at DBUS_SYSTEM_BUS_ADDRESS: ") + bus.lastError().message());
        return 1;
    }
    const QString command = args.first();
    QDBusMessage call;
    auto method = [](const char* name) {
        return QDBusMessage::createMethodCall(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"),
                                              QStringLiteral("com.velmar.akku.ToolSimControl"), QLatin1String(name));
    };
    if (command == QLatin1String("calls") && args.size() == 1) {
        call = method("Calls");
    } else if (command == QLatin1String("clearcalls") && args.size() == 1) {
        call = method("ClearCalls");
    } else {
        call = method("Run");
        call << args;
    }
    // Long enough for "sleep" and "waitgui"; the simulator answers everything else at once.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10 * 60 * 1000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        err(QStringLiteral("toolsim ctl %1: %2").arg(command, reply.errorMessage()));
        return 1;
    }
    for (const QVariant& v : reply.arguments()) {
        if (v.typeId() == QMetaType::QStringList) {
            for (const QString& line : v.toStringList())
                out(line);
        } else if (!v.toString().isEmpty()) {
            out(v.toString());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString mode = args.isEmpty() ? QString() : args.takeFirst();
    if (mode == QLatin1String("run"))
        return runSimulator(app, args);
    if (mode == QLatin1String("ctl"))
        return control(args);
    std::fputs(Usage, stderr);
    return 2;
}
