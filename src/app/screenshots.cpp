#include "screenshots.h"

#include <QDir>
#include <QQuickWidget>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalFds[2] = { -1, -1 };

void onSigusr1(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalFds[0], &c, 1);
}
}

ScreenshotWriter::ScreenshotWriter(QQuickWidget* view)
    : m_view(view)
    , m_dir(qEnvironmentVariable("NEWGUI_SCREENSHOT_DIR"))
    , m_auto(qEnvironmentVariableIntValue("NEWGUI_SCREENSHOT_AUTO") != 0)
{
    if (m_dir.isEmpty() || !m_view)
        return;
    QDir().mkpath(m_dir);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) == 0) {
        m_notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char c;
            [[maybe_unused]] ssize_t n = ::read(g_signalFds[1], &c, 1);
            grabNow();
        });
        struct sigaction sa = {};
        sa.sa_handler = onSigusr1;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGUSR1, &sa, nullptr);
    }
    if (m_auto)
        connect(m_view, &QQuickWidget::frameSwapped, this, &ScreenshotWriter::frameSwapped);
    m_sinceLast.start();
}

ScreenshotWriter::~ScreenshotWriter()
{
    if (m_notifier)
        ::signal(SIGUSR1, SIG_DFL);
}

void ScreenshotWriter::grabNow()
{
    const QImage image = m_view->grabFramebuffer();
    m_last = image;
    m_sinceLast.restart();
    const QString name = QStringLiteral("grab-%1.png").arg(++m_count, 4, 10, QLatin1Char('0'));
    image.save(m_dir + QLatin1Char('/') + name);
    const QString tmp = m_dir + QStringLiteral("/.latest.png");
    image.save(tmp);
    ::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(m_dir + QStringLiteral("/latest.png")).constData());
}

void ScreenshotWriter::frameSwapped()
{
    if (m_sinceLast.elapsed() < 100) {
        QTimer::singleShot(120, this, [this] { frameSwapped(); });
        return;
    }
    const QImage image = m_view->grabFramebuffer();
    if (image == m_last)
        return;
    grabNow();
}
