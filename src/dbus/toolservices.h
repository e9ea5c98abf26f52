#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <optional>

// The tool's other services on the system bus, and the ways the GUI calls them: a proxy
// made for one operation, never retried. A service that hangs must not hold the display: a
// call whose reply is used waits at most ReplyTimeoutMs and then counts as failed; a call
// whose reply is not used is sent without waiting. All go out on the one connection, so each
// service receives them in the order they were made.
namespace ToolServices {

inline constexpr int ReplyTimeoutMs = 2000;

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
// The service did not answer in time (as opposed to answering with an error).
bool timedOut(const QDBusMessage& reply);

class ServiceProxy
{
public:
    explicit ServiceProxy(const Service& service);

    // One blocking call of at most ReplyTimeoutMs; the GUI thread handles no events while it
    // waits. Integer arguments go out as "i", texts as "s", booleans as "b".
    QDBusMessage call(const QString& method, const QVariantList& args = {}) const;
    // The same message, sent without waiting; the reply arrives within timeoutMs (-1: the
    // bus's default) or the call fails then.
    QDBusPendingCall send(const QString& method, const QVariantList& args = {}, int timeoutMs = ReplyTimeoutMs) const;

    const Service& service() const { return m_service; }

private:
    Service m_service;
};

// Convenience: one operation with a proxy of its own.
inline QDBusMessage call(const Service& service, const QString& method, const QVariantList& args = {})
{
    return ServiceProxy(service).call(method, args);
}
// A call whose reply is not used: sent, not waited for.
inline void post(const Service& service, const QString& method, const QVariantList& args = {})
{
    ServiceProxy(service).send(method, args, -1);
}

// A request whose reply nobody waits for: it goes out marked as wanting none, so neither the
// service nor the GUI wakes for an answer.
void notify(const Service& service, const QString& method);

// A call without arguments sent ahead of the moment its reply is used, so that the service
// answers while the GUI goes on with its own work. take() hands the reply over once, waiting
// for it at most until ReplyTimeoutMs after the send; without a call sent, or a second time,
// it makes the blocking call then.
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

// A request whose reply only tells that the service has done its work (say, rewritten a
// file the GUI then reads). It is waited for at most ReplyTimeoutMs. Once the service has let
// one run out, the next ones are not waited for: one is sent and the GUI goes on; until it is
// answered no further one is sent, and once it is, requests are waited for again.
class RefreshCall
{
public:
    RefreshCall(const Service& service, const char* method);
    // After a call sent ahead (EarlyCall) ran out.
    void markSlow() { m_slow = true; }
    void request();
    bool slow() const { return m_slow; }

private:
    ServiceProxy m_proxy;
    QString m_method;
    bool m_slow = false;
    bool m_outstanding = false;
    QObject m_context; // owns the watcher of the request not waited for
};

} // namespace ToolServices
