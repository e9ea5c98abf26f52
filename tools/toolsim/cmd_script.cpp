// Commands for scripts and people: pauses, echoes, the call log, scenarios and help.
#include "toolsim.h"

#include "cmdutil.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QTimer>

#include <memory>

using namespace ToolSimUtil;

bool ToolSim::cmdSleep(const Args& a, const Done& done, QString* error)
{
    int ms = 0;
    if (!needArgs(a, 1, 1, "sleep MS", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "ms", &ms, error))
        return false;
    if (ms < 0 || ms > 600000) {
        *error = QStringLiteral("sleep: 0 to 600000 ms");
        return false;
    }
    QTimer::singleShot(ms, this, [done] { done(true, QStringLiteral("ok")); });
    return true;
}

bool ToolSim::cmdEcho(const Args& a, const Done& done, QString* error)
{
    Q_UNUSED(error)
    const QString text = a.positional.join(QLatin1Char(' '));
    say(QStringLiteral("== ") + text);
    done(true, text);
    return true;
}

bool ToolSim::cmdWaitGui(const Args& a, const Done& done, QString* error)
{
    int ms = 10000;
    if (!needArgs(a, 0, 1, "waitgui [MS]", error) || !checkOptions(a, {}, error)
        || (!a.positional.isEmpty() && !intArg(a.positional[0], "ms", &ms, error)))
        return false;
    auto timer = new QTimer(this);
    auto left = std::make_shared<int>(ms / 100 + 1);
    timer->setInterval(100);
    auto poll = [this, timer, left, done] {
        if (m_bus.interface()->isServiceRegistered(QLatin1String(GuiService))) {
            timer->deleteLater();
            done(true, QStringLiteral("GUI is up"));
        } else if (--*left <= 0) {
            timer->deleteLater();
            done(false, QStringLiteral("%1 did not appear").arg(QLatin1String(GuiService)));
        } else {
            timer->start();
        }
    };
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, poll);
    poll();
    return true;
}

bool ToolSim::cmdPlay(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "play SCENARIOFILE", error) || !playScenario(a.positional[0], error))
        return false;
    done(true, QStringLiteral("playing ") + a.positional[0]);
    return true;
}

bool ToolSim::cmdCalls(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "calls", error))
        return false;
    done(true, m_calls.join(QLatin1Char('\n')));
    return true;
}

bool ToolSim::cmdClearCalls(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "clearcalls", error))
        return false;
    m_calls.clear();
    done(true, QStringLiteral("ok"));
    return true;
}

bool ToolSim::cmdHelp(const Args& a, const Done& done, QString* error)
{
    Q_UNUSED(a)
    Q_UNUSED(error)
    QStringList lines;
    for (const Command& c : commands())
        lines << QLatin1String(c.usage);
    done(true, lines.join(QLatin1Char('\n')));
    return true;
}

bool ToolSim::playScenario(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read scenario %1").arg(path);
        return false;
    }
    auto s = std::make_shared<Scenario>();
    s->path = path;
    s->lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    say(QStringLiteral("== scenario %1").arg(path));
    QTimer::singleShot(0, this, [this, s] { playNext(s); });
    return true;
}

void ToolSim::playNext(const std::shared_ptr<Scenario>& s)
{
    while (s->next < s->lines.size()) {
        const int lineNo = ++s->next;
        bool ok = true;
        const QStringList words = CommandLine::split(s->lines.at(lineNo - 1), &ok);
        if (!ok) {
            say(QStringLiteral("== %1:%2: open quote").arg(s->path).arg(lineNo));
            continue;
        }
        if (words.isEmpty())
            continue;
        runCommand(words, [this, s, lineNo](bool done, const QString& text) {
            if (!done)
                say(QStringLiteral("== %1:%2: %3").arg(s->path).arg(lineNo).arg(text));
            QTimer::singleShot(0, this, [this, s] { playNext(s); });
        });
        return;
    }
    say(QStringLiteral("== scenario finished"));
}
