#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariantList>

// The tool's other services on the system bus, and the one way the GUI calls them: a proxy
// made for one operation, blocking calls with the bus's default reply timeout, never retried.
namespace ToolServices {

struct Service
{
    const char* name;      // bus name; empty for a service the GUI only listens to
    const char* path;
    const char* interface;
};

inline constexpr Service System { "com.velmar.akku.SysService", "/SysObj", "com.velmar.akku.SysInterface" };
inline constexpr Service Result { "", "/ResObj", "com.velmar.akku.ResInterface" };
inline constexpr Service Wlan { "com.velmar.akku.WlanService", "/WlanObj", "com.velmar.akku.WlanInterface" };
inline constexpr Service Bms { "com.velmar.akku.BmsService", "/BmsObj", "com.velmar.akku.BmsInterface" };

// A reply counts as successful when it is a method reply without an error message. An error
// reply whose message happens to be empty is still a failure.
bool succeeded(const QDBusMessage& reply);
// The same, and the reply carries at least `argumentsUsed` arguments.
bool succeeded(const QDBusMessage& reply, int argumentsUsed);

class ServiceProxy
{
public:
    explicit ServiceProxy(const Service& service);

    // One blocking call; the GUI thread handles no events while it waits. Integer arguments
    // go out as "i", texts as "s", booleans as "b".
    QDBusMessage call(const QString& method, const QVariantList& args = {}) const;

    const Service& service() const { return m_service; }

private:
    Service m_service;
};

// Convenience: one operation with a proxy of its own.
inline QDBusMessage call(const Service& service, const QString& method, const QVariantList& args = {})
{
    return ServiceProxy(service).call(method, args);
}

} // namespace ToolServices
