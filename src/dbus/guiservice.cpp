#include "guiservice.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace GuiService {

bool sendSignal(const QString& name, const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(Path), QString::fromLatin1(Interface), name);
    message.setArguments(args);
    return QDBusConnection::systemBus().send(message);
}

} // namespace GuiService
