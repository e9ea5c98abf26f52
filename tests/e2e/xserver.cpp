#include "xserver.h"

#include <QProcessEnvironment>
#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>
#include <xcb/xcb.h>

#include "guirun.h"
#include "testsupport.h"

namespace {

// A child that outlives a crashed or killed test would keep its display number or its bus.
void endWithParent(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

} // namespace

XServer::XServer(const QSize& screen)
{
    endWithParent(m_server);
    // -displayfd: the server picks a free display number itself and reports it.
    m_server.start(QStringLiteral("Xvfb"), { QStringLiteral("-displayfd"), QStringLiteral("1"),
        QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
        QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset") });
    if (!m_server.waitForStarted())
        return;
    QByteArray out;
    waitUntil([&] {
        out += m_server.readAllStandardOutput();
        return out.contains('\n') || m_server.state() == QProcess::NotRunning;
    }, 10000);
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (ok)
        m_display = QStringLiteral(":%1").arg(number);
}

XServer::~XServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }
}

bool XServer::client(const QString& program, const QStringList& args, QByteArray* out)
{
    QProcess p;
    endWithParent(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QImage XServer::grab()
{
    QByteArray png;
    if (!client(QStringLiteral("import"), { QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-") }, &png))
        return QImage();
    return QImage::fromData(png, "PNG");
}

QImage XServer::grabUntil(const std::function<bool(const QImage&)>& pred, bool stable)
{
    QImage image;
    QImage previous;
    waitUntil([&] {
        previous = image;
        image = grab();
        return !image.isNull() && (!stable || image == previous) && pred(image);
    }, 10000);
    return image;
}

bool XServer::startGui(GuiRun& run)
{
    run.setGuiEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run.setGuiEnvironment(QStringLiteral("DISPLAY"), m_display);
    return run.startGui();
}

bool XServer::keys(const QStringList& keysyms)
{
    for (const QString& k : keysyms) {
        if (!key(k))
            return false;
        QTest::qWait(150);
    }
    return true;
}

bool XServer::focusNowhere()
{
    xcb_connection_t* c = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    xcb_generic_error_t* error = xcb_request_check(c, xcb_set_input_focus_checked(c, XCB_INPUT_FOCUS_NONE, XCB_NONE, XCB_CURRENT_TIME));
    xcb_window_t focus = XCB_NONE + 1;
    if (auto* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)) {
        focus = reply->focus;
        free(reply);
    }
    free(error);
    const bool ok = !error && focus == XCB_NONE;
    xcb_disconnect(c);
    return ok;
}

bool XServer::key(const QString& keysym)
{
    return client(QStringLiteral("xdotool"), { QStringLiteral("key"), keysym });
}

QList<QRect> XServer::windowsOf(const QString& windowClass)
{
    // "     0x200003 "newgui": ("newgui" "newgui")  240x320+0+0  +0+0"
    QByteArray out;
    client(QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-children") }, &out);
    const QString tree = QString::fromUtf8(out);
    static const QRegularExpression line(QStringLiteral("^\\s+0x[0-9a-f]+ .*\\s(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)\\s"), QRegularExpression::MultilineOption);
    QList<QRect> windows;
    for (auto it = line.globalMatch(tree); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(0).contains(QStringLiteral("(\"%1\"").arg(windowClass)))
            continue;
        windows << QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    }
    return windows;
}
