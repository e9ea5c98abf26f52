#include "screenshots.h"

#include <QDir>
#include <QEvent>
#include <QQuickWidget>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalFds[2] = { -1, -1 };

class FrameFilter : public QObject
{
public:
    FrameFilter(QObject* parent, std::function<void()> callback, bool once = false)
        : QObject(parent)
        , m_callback(std::move(callback))
        , m_once(once)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Reported once the paint event has been handled.
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, this, [this] {
                m_callback();
                if (m_once)
                    deleteLater();
            });
            if (m_once)
                watched->removeEventFilter(this);
        }
        return false;
    }

private:
    std::function<void()> m_callback;
    bool m_once;
};

void onSigusr1(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalFds[0], &c, 1);
}
}

void onEveryFrame(QQuickWidget* view, std::function<void()> callback)
{
    view->installEventFilter(new FrameFilter(view, std::move(callback)));
}

void afterFirstFrame(QQuickWidget* view, std::function<void()> callback)
{
    view->installEventFilter(new FrameFilter(view, std::move(callback), true));
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
        onEveryFrame(m_view, [this] { frameSwapped(); });
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
    if (m_pending)
        return;
    if (m_sinceLast.elapsed() < 100) {
        m_pending = true;
        QTimer::singleShot(120, this, [this] {
            m_pending = false;
            frameSwapped();
        });
        return;
    }
    const QImage image = m_view->grabFramebuffer();
    if (image == m_last)
        return;
    grabNow();
}
