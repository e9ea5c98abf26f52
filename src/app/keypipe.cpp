#include "keypipe.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

KeyPipe::KeyPipe(QWidget* target)
    : QObject(target)
    , m_target(target)
{
    const QByteArray path = qgetenv("NEWGUI_KEY_FIFO");
    if (path.isEmpty())
        return;
    if (::mkfifo(path.constData(), 0600) != 0 && errno != EEXIST)
        return;
    // Read and write: the pipe never reports end of file when a writer closes it.
    m_fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KeyPipe::readLines);
}

KeyPipe::~KeyPipe()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void KeyPipe::readLines()
{
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        m_buffer.append(chunk, n);
    }
    if (m_buffer.size() > 4096 && !m_buffer.contains('\n'))
        m_buffer.clear();
    qsizetype lf;
    while ((lf = m_buffer.indexOf('\n')) >= 0) {
        const QList<QByteArray> words = m_buffer.left(lf).trimmed().split(' ');
        m_buffer.remove(0, lf + 1);
        if (words.size() != 2)
            continue;
        const QEvent::Type type = words[0] == "press" ? QEvent::KeyPress
                                : words[0] == "release" ? QEvent::KeyRelease : QEvent::None;
        const int key = words[1] == "A" ? Qt::Key_A
                      : words[1] == "Left" ? Qt::Key_Left
                      : words[1] == "Right" ? Qt::Key_Right : 0;
        if (type == QEvent::None || key == 0)
            continue;
        QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_A ? QStringLiteral("a") : QString());
        QCoreApplication::sendEvent(m_target, &event);
    }
}
