#include "guirun.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>

#include <csignal>

#include "testsupport.h"

GuiRun::GuiRun()
{
    QDir(m_work.path()).mkdir(QStringLiteral("root"));
}

GuiRun::~GuiRun()
{
    if (QTest::currentTestFailed())
        qWarning().noquote() << guiLog().right(4000);
    stop();
}

QStringList GuiRun::displayActivities(qint64 since) const
{
    QProcess q;
    endWithTest(q);
    q.start(QStringLiteral("sqlite3"), { QStringLiteral("-cmd"), QStringLiteral(".timeout 2000"), path(QStringLiteral("/var/log/activity.sq3")),
        QStringLiteral("SELECT trim(code || ' ' || ifnull(value1, '')) FROM activity WHERE user = 4 AND timestamp >= %1 ORDER BY rowid").arg(since) });
    q.waitForFinished(10000);
    return QString::fromUtf8(q.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool GuiRun::startSimulator()
{
    // The simulator presses the GUI's keys through this pipe.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NEWGUI_KEY_FIFO"), keyPipe());
    m_sim.setProcessEnvironment(env);
    m_sim.setStandardOutputFile(m_work.path() + QStringLiteral("/toolsim.log"));
    endWithTest(m_sim);
    m_sim.start(QStringLiteral(NG_BINARY_DIR "/tools/toolsim/toolsim"), { QStringLiteral("run"), QStringLiteral("--sysroot"), sysroot(), QStringLiteral("--fresh") });
    return waitUntil([&] {
        QFile log(m_work.path() + QStringLiteral("/toolsim.log"));
        return log.open(QIODevice::ReadOnly) && log.readAll().contains("toolsim ready");
    }, 15000);
}

bool GuiRun::startGui()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TOOL_SYSROOT"), sysroot());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=" NG_SOURCE_DIR "/tools/offscreen/display.json"));
    env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    env.insert(QStringLiteral("NEWGUI_SCREENSHOT_DIR"), m_work.path() + QStringLiteral("/screenshots"));
    env.insert(QStringLiteral("NEWGUI_LOG_STDERR"), QStringLiteral("1"));
    env.insert(QStringLiteral("NEWGUI_KEY_FIFO"), keyPipe());
    env.insert(m_guiEnv);
    m_gui.setProcessEnvironment(env);
    m_gui.setStandardOutputFile(m_work.path() + QStringLiteral("/newgui.log"));
    m_gui.setStandardErrorFile(m_work.path() + QStringLiteral("/newgui.log"), QIODevice::Append);
    endWithTest(m_gui);
    m_gui.start(QStringLiteral(NG_BINARY_DIR "/src/app/newgui"), {});
    if (!m_gui.waitForStarted())
        return false;
    // The start-up data load ends by setting the GUI ready flag at the system service; the
    // key pipe is opened once the window is made.
    return waitUntil([this] { return calls().contains(QStringLiteral("frdyflagset 7")); }, 20000)
        && waitUntil([this] { return QFileInfo(keyPipe()).exists(); }, 5000);
}

void GuiRun::stop()
{
    for (QProcess* p : { &m_gui, &m_sim }) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
}

QString GuiRun::ctl(const QStringList& args)
{
    QDBusInterface control(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"), QStringLiteral("com.velmar.akku.ToolSimControl"), QDBusConnection::systemBus());
    QDBusReply<QString> reply = control.call(QStringLiteral("Run"), args);
    if (!reply.isValid())
        return QString();
    return reply.value().isNull() ? QStringLiteral("") : reply.value();
}

bool GuiRun::keys(const QStringList& names)
{
    for (const QString& name : names) {
        if (ctl({ QStringLiteral("key"), name }).isNull())
            return false;
    }
    return true;
}

QStringList GuiRun::calls()
{
    QDBusInterface control(QStringLiteral("com.velmar.akku.ToolSim"), QStringLiteral("/ToolSim"), QStringLiteral("com.velmar.akku.ToolSimControl"), QDBusConnection::systemBus());
    QDBusReply<QStringList> reply = control.call(QStringLiteral("Calls"));
    return reply.value();
}

QImage GuiRun::grab()
{
    const QDir dir(m_work.path() + QStringLiteral("/screenshots"));
    auto newest = [&dir] {
        const QStringList files = dir.entryList({ QStringLiteral("grab-*.png") }, QDir::Files, QDir::Name);
        return files.isEmpty() ? QString() : files.last();
    };
    const QString before = newest();
    QImage image;
    for (int attempt = 0; attempt < 5 && image.isNull(); ++attempt) {
        ::kill(m_gui.processId(), SIGUSR1);
        waitUntil([&] {
            const QString name = newest();
            if (name.isEmpty() || name == before)
                return false;
            // Written in one go by the program; a partial file does not load.
            image = QImage(dir.filePath(name));
            return !image.isNull();
        }, 2000);
    }
    return image;
}

QImage GuiRun::grabUntil(const std::function<bool(const QImage&)>& pred, int timeoutMs)
{
    QImage image;
    waitUntil([&] {
        image = grab();
        return !image.isNull() && pred(image);
    }, timeoutMs);
    return image;
}

QString GuiRun::guiLog() const
{
    QFile log(m_work.path() + QStringLiteral("/newgui.log"));
    log.open(QIODevice::ReadOnly);
    return QString::fromUtf8(log.readAll());
}
