#include "toolservices.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusPendingCallWatcher>

namespace ToolServices {

bool succeeded(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && reply.errorMessage().isEmpty();
}

bool succeeded(const QDBusMessage& reply, int argumentsUsed)
{
    return succeeded(reply) && reply.arguments().size() >= argumentsUsed;
}

bool timedOut(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ErrorMessage && QDBusError(reply).type() == QDBusError::NoReply;
}

ServiceProxy::ServiceProxy(const Service& service)
    : m_service(service)
{
}

namespace {

QDBusMessage methodCall(const Service& service, const QString& method, const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(service.name), QString::fromLatin1(service.path),
        QString::fromLatin1(service.interface), method);
    message.setArguments(args);
    return message;
}

} // namespace

QDBusMessage ServiceProxy::call(const QString& method, const QVariantList& args) const
{
    // Block, not BlockWithGui: no other handler may run while a handler waits for a reply
    // (some of them hold the state mutex).
    return QDBusConnection::systemBus().call(methodCall(m_service, method, args), QDBus::Block, ReplyTimeoutMs);
}

QDBusPendingCall ServiceProxy::send(const QString& method, const QVariantList& args, int timeoutMs) const
{
    return QDBusConnection::systemBus().asyncCall(methodCall(m_service, method, args), timeoutMs);
}

void notify(const Service& service, const QString& method)
{
    // A method call sent this way carries the bus's "no reply expected" flag.
    QDBusConnection::systemBus().send(methodCall(service, method, {}));
}

EarlyCall::EarlyCall(const Service& service, const char* method)
    : m_proxy(service)
    , m_method(QString::fromLatin1(method))
{
}

void EarlyCall::send()
{
    m_call = m_proxy.send(m_method);
}

QDBusMessage EarlyCall::take()
{
    if (!m_call)
        return m_proxy.call(m_method);
    QDBusPendingCall pending = *m_call;
    m_call.reset();
    // The call's own time-out ends the wait.
    pending.waitForFinished();
    return pending.reply();
}

RefreshCall::RefreshCall(const Service& service, const char* method)
    : m_proxy(service)
    , m_method(QString::fromLatin1(method))
{
}

void RefreshCall::request()
{
    if (m_outstanding)
        return;
    if (!m_slow) {
        m_slow = timedOut(m_proxy.call(m_method));
        return;
    }
    // The service gets the bus's default time to answer this one.
    m_outstanding = true;
    auto* watcher = new QDBusPendingCallWatcher(m_proxy.send(m_method, {}, -1), &m_context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_context, [this, watcher] {
        m_outstanding = false;
        m_slow = timedOut(watcher->reply());
        watcher->deleteLater();
    });
}

} // namespace ToolServices
