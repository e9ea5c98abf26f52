#pragma once

#include <QObject>
#include <QTimer>

// The scene's Timer for a slow refresh that stays on screen for long. The scene's own Timer
// runs on the animation driver, which wakes the GUI thread about one and a half times per
// interval; this one is a plain timer of the event loop and wakes it once. The scene imports
// it as "Tavik" 1.0 "TickTimer", with the Timer's interval, repeat and running and its
// triggered(), start(), stop() and restart().
class TickTimer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(bool repeat READ repeat WRITE setRepeat NOTIFY repeatChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)

public:
    explicit TickTimer(QObject* parent = nullptr);

    // Registers the type for the scene; call before the scene is loaded.
    static void registerType();

    int interval() const { return m_timer.interval(); }
    void setInterval(int ms);
    bool repeat() const { return !m_timer.isSingleShot(); }
    void setRepeat(bool repeat);
    bool running() const { return m_timer.isActive(); }
    void setRunning(bool running);

    Q_INVOKABLE void start() { setRunning(true); }
    Q_INVOKABLE void stop() { setRunning(false); }
    Q_INVOKABLE void restart();

Q_SIGNALS:
    void triggered();
    void intervalChanged();
    void repeatChanged();
    void runningChanged();

private:
    QTimer m_timer;
};
