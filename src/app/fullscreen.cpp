#include "fullscreen.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QQuickWidget>
#include <QScreen>
#include <QWindow>

namespace {

// Without a window manager nobody gives an X window the input focus, and a focus request
// made before the window is mapped is lost on some servers. The window asks again once it
// is on the screen; window managers and the other platforms take the second request as a
// no-op.
class ActivateWhenExposed : public QObject
{
public:
    explicit ActivateWhenExposed(QWindow* window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->requestActivate();
            deleteLater();
        }
        return false;
    }

private:
    QWindow* m_window;
};

} // namespace

void showOnDisplay(QMainWindow* window, QQuickWidget* view)
{
    if (qEnvironmentVariableIntValue("NEWGUI_WINDOWED")) {
        window->show();
    } else {
        // A window manager honours the full-screen state; without one the window would keep
        // its default size, so it takes the screen's geometry itself before it is shown.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            window->setGeometry(screen->geometry());
        window->showFullScreen();
    }
    if (QWindow* handle = window->windowHandle())
        new ActivateWhenExposed(handle);
    window->activateWindow();
    // The scene keeps its own focus chain (the screen loader holds it); the view only has to
    // be the widget that receives the keys.
    view->setFocus(Qt::ActiveWindowFocusReason);
}
