// Commands for the tool's keys, PLC table and WLAN driver: the PLC table's key assignments,
// the outcome of the next WLAN restart, and key presses on the display's keys.
#include "toolsim.h"

#include "cmdutil.h"

#include <QFile>
#include <QTimer>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace ToolSimUtil;
using CommandLine::Args;

namespace {

const QString PlcModule = QStringLiteral("/home/tool/config/plctab/mod_tool.lua");

} // namespace

bool ToolSim::cmdPlcTab(const Args& a, const Done& done, QString* error)
{
    static const char* usage = "plctab L M R (input names, - for none) | missing | empty | binary";
    if (!needArgs(a, 1, 3, usage, error) || !checkOptions(a, {}, error))
        return false;
    const QString first = a.positional[0];
    bool ok = false;
    if (a.positional.size() == 1 && first == QLatin1String("missing")) {
        ok = DeviceFiles::remove(PlcModule);
    } else if (a.positional.size() == 1 && first == QLatin1String("empty")) {
        ok = DeviceFiles::writeShared(PlcModule, QByteArray());
    } else if (a.positional.size() == 1 && first == QLatin1String("binary")) {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) & 0xff));
        ok = DeviceFiles::writeShared(PlcModule, junk);
    } else if (a.positional.size() == 3) {
        QByteArray text("-- PLC table, tool module\nmodule = {}\nmodule.name = \"tool\"\nmodule.active = true\n"
                        "module.in_tab = {}\n");
        // the program inputs on 1 to 3 and 7 to 11, around the keys' indices 4 to 6
        for (int p = 0; p < 8; ++p)
            text += "module.in_tab[" + QByteArray::number(p < 3 ? p + 1 : p + 4) + "] = plc.In.Prog"
                    + QByteArray::number(p) + "\n";
        for (int k = 0; k < 3; ++k) {
            const QString name = a.positional[k];
            if (name == QLatin1String("-"))
                continue;
            if (!plainName(name, error) || !lineText(name, error))
                return false;
            text += "module.in_tab[" + QByteArray::number(4 + k) + "] = plc.In." + name.toUtf8() + "\n";
        }
        ok = DeviceFiles::writeShared(PlcModule, text);
    } else {
        *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
        return false;
    }
    if (!ok) {
        *error = QStringLiteral("cannot write %1").arg(PlcModule);
        return false;
    }
    say(QStringLiteral("   PLC table %1").arg(a.positional.join(QLatin1Char(' '))));
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdWlanRestart(const Args& a, const Done& done, QString* error)
{
    static const char* usage = "wlanrestart ok|busy|killed|EXITCODE (the outcome of the next restart)";
    if (!needArgs(a, 1, 1, usage, error) || !checkOptions(a, {}, error))
        return false;
    const QString what = a.positional[0];
    QByteArray outcome;
    int code = 0;
    if (what == QLatin1String("ok"))
        outcome = "0";
    else if (what == QLatin1String("busy"))
        outcome = "1";
    else if (what == QLatin1String("killed"))
        outcome = "killed";
    else if (toInt(what, &code) && code >= 0 && code <= 255)
        outcome = QByteArray::number(code);
    else {
        *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
        return false;
    }
    if (!DeviceFiles::writePlain(QStringLiteral("/var/run/wlan-restart.outcome"), outcome)) {
        *error = QStringLiteral("cannot write the restart outcome");
        return false;
    }
    say(QStringLiteral("   next WLAN restart: %1").arg(what));
    done(true, QStringLiteral("ok"));
    return true;
}

namespace {

bool isKeyName(const QString& key)
{
    return key == QLatin1String("A") || key == QLatin1String("Left") || key == QLatin1String("Right");
}

// Lines "press A", "release Left", ... into the GUI's key pipe (NEWGUI_KEY_FIFO, shared with
// the GUI started beside the simulator).
bool writeKeyPipe(const QByteArray& lines, QString* error)
{
    const QByteArray fifo = qgetenv("NEWGUI_KEY_FIFO");
    if (fifo.isEmpty()) {
        *error = QStringLiteral("NEWGUI_KEY_FIFO is not set");
        return false;
    }
    const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("the GUI's key pipe is not open: %1").arg(QString::fromLocal8Bit(fifo));
        return false;
    }
    const ssize_t n = ::write(fd, lines.constData(), size_t(lines.size()));
    ::close(fd);
    if (n != lines.size()) {
        *error = QStringLiteral("cannot write the GUI's key pipe");
        return false;
    }
    return true;
}

QByteArray click(const QString& key)
{
    return "press " + key.toLatin1() + "\nrelease " + key.toLatin1() + "\n";
}

} // namespace

bool ToolSim::cmdKey(const Args& a, const Done& done, QString* error)
{
    static const char* usage = "key [press|release] A|Left|Right (without press/release: both)";
    if (!needArgs(a, 1, 2, usage, error) || !checkOptions(a, {}, error))
        return false;
    const QString key = a.positional.last();
    const QString action = a.positional.size() == 2 ? a.positional[0] : QString();
    if (!isKeyName(key)
        || (a.positional.size() == 2 && action != QLatin1String("press") && action != QLatin1String("release"))) {
        *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
        return false;
    }
    if (!writeKeyPipe(action.isEmpty() ? click(key) : action.toLatin1() + ' ' + key.toLatin1() + '\n', error))
        return false;
    say(QStringLiteral("   key %1").arg(a.positional.join(QLatin1Char(' '))));
    done(true, QStringLiteral("ok"));
    return true;
}

// A walk through the screens: "keys A Right*13 A" presses and releases each key in turn,
// KEY*N N times, one every 200 ms so that each step shows on the display.
bool ToolSim::cmdKeys(const Args& a, const Done& done, QString* error)
{
    static const char* usage = "keys KEY[*N] ... (KEY: A, Left or Right; N: 1 to 50)";
    if (!needArgs(a, 1, 64, usage, error) || !checkOptions(a, {}, error))
        return false;
    auto steps = std::make_shared<QStringList>();
    for (const QString& word : a.positional) {
        const QStringList parts = word.split(QLatin1Char('*'));
        int n = 1;
        if (parts.size() > 2 || !isKeyName(parts[0]) || (parts.size() == 2 && (!CommandLine::toInt(parts[1], &n) || n < 1 || n > 50))) {
            *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
            return false;
        }
        for (int i = 0; i < n; ++i)
            *steps << parts[0];
    }
    if (steps->size() > 100) {
        *error = QStringLiteral("keys: at most 100 presses");
        return false;
    }
    if (!writeKeyPipe(click(steps->takeFirst()), error))
        return false;
    say(QStringLiteral("   keys %1").arg(a.positional.join(QLatin1Char(' '))));
    auto timer = new QTimer(this);
    timer->setInterval(200);
    connect(timer, &QTimer::timeout, this, [timer, steps, done] {
        QString failure;
        if (steps->isEmpty() || !writeKeyPipe(click(steps->takeFirst()), &failure)) {
            timer->deleteLater();
            done(failure.isEmpty(), failure.isEmpty() ? QStringLiteral("ok") : failure);
        }
    });
    timer->start();
    return true;
}
