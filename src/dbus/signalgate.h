#pragma once

#include <QDBusMessage>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QVariantList>

#include <deque>
#include <functional>
#include <vector>

#include "toolservices.h"

class QDBusConnection;

// The tool services' signals on their way to the GUI thread. A thread of the gate's own takes
// them off the bus and queues them; the GUI thread empties the queue in steps. A flood thus
// never piles up events (each with its message) in the GUI's event queue faster than the GUI
// handles them. A signal of which the screen shows only the latest value (`Latest`: a level, a
// count, a state) keeps one place in the queue, and each newer one replaces its arguments; every
// other one (`Every`: faults, acknowledgements, status changes that open popups) is kept, in
// order.
class SignalGate : public QObject
{
    Q_OBJECT
public:
    enum Keep { Every, Latest };
    using Handler = std::function<void(const QVariantList&)>;

    explicit SignalGate(QObject* parent = nullptr);
    ~SignalGate() override;

    // The signals, on the GUI thread before subscribe(): `signature` is the signal's D-Bus
    // signature; a signal with other arguments is not delivered.
    void add(const ToolServices::Service& service, const char* signal, const char* signature, Keep keep, Handler handler);
    // Subscribes every added signal from any sender; may run on any thread, once.
    void subscribe(QDBusConnection& bus);

    // Signals taken off the bus and not yet handled.
    int pending() const;
    // The most the GUI thread handles in one turn of its event loop.
    static constexpr int Step = 64;

private:
    class Inlet;
    struct Route {
        ToolServices::Service service;
        QString signal;
        QString signature;
        Keep keep;
        Handler handler;
        bool queued = false;   // Latest: has its place in the queue
        QVariantList latest;   // Latest: the arguments it will be handled with
    };

    void take(const QDBusMessage& message); // the gate's thread
    void deliver();                         // the GUI thread

    std::vector<Route> m_routes;
    QHash<QString, int> m_byName; // "interface.signal" -> route
    mutable QMutex m_mutex;
    std::deque<std::pair<int, QVariantList>> m_queue;
    bool m_scheduled = false;
    int m_sinceIdle = 0;
    QThread m_thread;
    Inlet* m_inlet = nullptr;
};
