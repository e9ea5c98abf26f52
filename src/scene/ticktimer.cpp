#include "ticktimer.h"

#include <QtQml/qqml.h>

TickTimer::TickTimer(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(1000);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_timer.isSingleShot())
            Q_EMIT runningChanged();
        Q_EMIT triggered();
    });
}

void TickTimer::registerType()
{
    qmlRegisterType<TickTimer>("Tavik", 1, 0, "TickTimer");
}

void TickTimer::setInterval(int ms)
{
    if (ms == m_timer.interval())
        return;
    // A running timer starts its new interval now, as the scene's Timer does.
    m_timer.setInterval(ms);
    if (m_timer.isActive())
        m_timer.start();
    Q_EMIT intervalChanged();
}

void TickTimer::setRepeat(bool repeat)
{
    if (repeat == this->repeat())
        return;
    m_timer.setSingleShot(!repeat);
    Q_EMIT repeatChanged();
}

void TickTimer::setRunning(bool running)
{
    if (running == m_timer.isActive())
        return;
    if (running)
        m_timer.start();
    else
        m_timer.stop();
    Q_EMIT runningChanged();
}

void TickTimer::restart()
{
    const bool was = m_timer.isActive();
    m_timer.start();
    if (!was)
        Q_EMIT runningChanged();
}
