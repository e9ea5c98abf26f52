#include "signalgate.h"

#include <QDBusConnection>
#include <QMutexLocker>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Lives on the gate's thread: QtDBus hands it each subscribed signal there.
class SignalGate::Inlet : public QObject
{
    Q_OBJECT
public:
    explicit Inlet(SignalGate* gate)
        : m_gate(gate)
    {
    }

public Q_SLOTS:
    void take(const QDBusMessage& message) { m_gate->take(message); }

private:
    SignalGate* m_gate;
};

SignalGate::SignalGate(QObject* parent)
    : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("signal gate"));
    m_inlet = new Inlet(this);
    m_inlet->moveToThread(&m_thread);
    m_thread.start();
}

SignalGate::~SignalGate()
{
    m_thread.quit();
    m_thread.wait();
    // Its connections on the bus go with it.
    delete m_inlet;
}

void SignalGate::add(const ToolServices::Service& service, const char* signal, const char* signature, Keep keep, Handler handler)
{
    m_byName.insert(QLatin1String(service.interface) + QLatin1Char('.') + QLatin1String(signal), int(m_routes.size()));
    m_routes.push_back({ service, QLatin1String(signal), QLatin1String(signature), keep, std::move(handler), false, {} });
}

void SignalGate::subscribe(QDBusConnection& bus)
{
    for (const Route& r : m_routes)
        bus.connect(QString(), QLatin1String(r.service.path), QLatin1String(r.service.interface), r.signal, r.signature,
            m_inlet, SLOT(take(QDBusMessage)));
}

int SignalGate::pending() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_queue.size());
}

void SignalGate::take(const QDBusMessage& message)
{
    const auto found = m_byName.constFind(message.interface() + QLatin1Char('.') + message.member());
    if (found == m_byName.constEnd())
        return;
    QMutexLocker lock(&m_mutex);
    Route& route = m_routes[found.value()];
    if (route.keep == Latest) {
        route.latest = message.arguments();
        if (route.queued)
            return;
        route.queued = true;
        m_queue.emplace_back(found.value(), QVariantList());
    } else {
        m_queue.emplace_back(found.value(), message.arguments());
    }
    if (!m_scheduled) {
        m_scheduled = true;
        QMetaObject::invokeMethod(this, &SignalGate::deliver, Qt::QueuedConnection);
    }
}

void SignalGate::deliver()
{
    for (int n = 0; n < Step; ++n) {
        QMutexLocker lock(&m_mutex);
        if (m_queue.empty())
            break;
        auto [index, args] = std::move(m_queue.front());
        m_queue.pop_front();
        Route& route = m_routes[index];
        if (route.keep == Latest) {
            args = std::move(route.latest);
            route.latest.clear();
            route.queued = false;
        }
        lock.unlock();
        ++m_sinceIdle;
        route.handler(args);
    }
    QMutexLocker lock(&m_mutex);
    if (!m_queue.empty()) {
        // The rest in the next turn: the screen is drawn and keys are taken in between.
        QMetaObject::invokeMethod(this, &SignalGate::deliver, Qt::QueuedConnection);
        return;
    }
    m_scheduled = false;
    m_queue.shrink_to_fit();
#ifdef __GLIBC__
    // After a flood, the heap it grew is given back.
    if (m_sinceIdle > 4096)
        malloc_trim(0);
#endif
    m_sinceIdle = 0;
}

#include "signalgate.moc"
