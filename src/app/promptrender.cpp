#include "promptrender.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QQuickWidget>
#include <QTimerEvent>

namespace {

// The widget's batching timer: the one it registers with the 5 ms interval.
void fireBatchTimer(QQuickWidget* view)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(view->thread());
    if (!dispatcher)
        return;
    const auto timers = dispatcher->registeredTimers(view);
    for (const auto& timer : timers) {
        if (timer.interval == 5 && timer.timerType == Qt::PreciseTimer) {
            QTimerEvent event(timer.timerId);
            QCoreApplication::sendEvent(view, &event);
            return;
        }
    }
}

} // namespace

void renderPromptly(QQuickWidget* view)
{
    QAbstractEventDispatcher* dispatcher = view ? QAbstractEventDispatcher::instance(view->thread()) : nullptr;
    if (!dispatcher)
        return;
    // Before the thread sleeps, every event that was queued has been handled: a pending frame
    // has gathered all the changes it will get by waiting.
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, view, [view] { fireBatchTimer(view); });
}
