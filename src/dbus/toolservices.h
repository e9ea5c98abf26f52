#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QString>
#include <QVariantList>

#include <optional>

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
    // The same message, sent without waiting; see EarlyCall.
    QDBusPendingCall send(const QString& method, const QVariantList& args = {}) const;

    const Service& service() const { return m_service; }

private:
    Service m_service;
};

// Convenience: one operation with a proxy of its own.
inline QDBusMessage call(const Service& service, const QString& method, const QVariantList& args = {})
{
    return ServiceProxy(service).call(method, args);
}

// A call without arguments sent ahead of the moment its reply is used, so that the service
// answers while the GUI goes on with its own work. take() hands the reply over once, waiting
// for it as a blocking call would (the bus's default reply timeout counts from the send);
// without a call sent, or a second time, it makes the blocking call then.
class EarlyCall
{
public:
    EarlyCall(const Service& service, const char* method);
    void send();
    QDBusMessage take();

private:
    ServiceProxy m_proxy;
    QString m_method;
    std::optional<QDBusPendingCall> m_call;
};

} // namespace ToolServices
