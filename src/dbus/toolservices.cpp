#include "toolservices.h"

#include <QDBusConnection>

namespace ToolServices {

bool succeeded(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && reply.errorMessage().isEmpty();
}

bool succeeded(const QDBusMessage& reply, int argumentsUsed)
{
    return succeeded(reply) && reply.arguments().size() >= argumentsUsed;
}

ServiceProxy::ServiceProxy(const Service& service)
    : m_service(service)
{
}

QDBusMessage ServiceProxy::call(const QString& method, const QVariantList& args) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(m_service.name), QString::fromLatin1(m_service.path),
        QString::fromLatin1(m_service.interface), method);
    message.setArguments(args);
    // Block, not BlockWithGui: no other handler may run while a handler waits for a reply
    // (some of them hold the state mutex).
    return QDBusConnection::systemBus().call(message, QDBus::Block);
}

} // namespace ToolServices
