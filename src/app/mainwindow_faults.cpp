// MainWindow: the translator, system faults with their acknowledgement, and the activity log.
#include "mainwindow.h"

#include <QJSValue>
#include <QMetaMethod>
#include <QMutexLocker>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWidget>

#include "activitylog.h"
#include "systemlog.h"
#include "toolservices.h"

namespace {

// Battery power critical: shown by the battery display, never as a fault popup.
constexpr int BatteryCriticalFault = 403;

constexpr int ActivityNokAck = 526;
constexpr int ActivityFaultAck = 600;

// A root function's return value as a map (a script object arrives as a QJSValue).
QVariantMap callRootForMap(QQuickItem* root, const char* function, const QVariant& arg)
{
    if (!root)
        return {};
    const QByteArray signature = QByteArray(function) + "(QVariant)";
    const int index = root->metaObject()->indexOfMethod(signature.constData());
    if (index < 0)
        return {};
    QVariant result;
    root->metaObject()->method(index).invoke(root, Qt::DirectConnection, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, arg));
    if (result.canConvert<QJSValue>())
        result = result.value<QJSValue>().toVariant();
    return result.toMap();
}

} // namespace

// ---- translator

QVariantList MainWindow::getLanguages()
{
    return m_translator.getLanguages();
}

void MainWindow::setLanguage(QString code)
{
    m_translator.setLanguage(code);
    // Texts bound with qsTr follow at once; texts a screen assigned itself change when the
    // screen is built again.
    if (m_view && m_view->engine())
        m_view->engine()->retranslate();
}

// ---- faults

void MainWindow::fsysfault(int code, int fclass, int)
{
    QMutexLocker lock(&m_stateMutex);
    if (code <= 0)
        return;
    if (fclass < 0 || fclass > 7)
        SystemLog::warning(QStringLiteral("Fault %1 reported with class %2, outside 0 to 7").arg(code).arg(fclass));
    if (fclass > 0)
        callRoot("setSysFault", { true });
    if (code != BatteryCriticalFault)
        callRoot("popupString", { QStringLiteral("Sys Fault"), m_translator.getError(code), 0, 0, code, fclass });
}

void MainWindow::ackfsysfault(int quittedCode, int currentCode)
{
    QMutexLocker lock(&m_stateMutex);
    if (currentCode <= 0) {
        callRoot("setSysFault", { false });
        callRoot("closepopupString", { quittedCode });
        return;
    }
    const int code = currentCode >> 3;
    const int fclass = currentCode & 7;
    const QString text = m_translator.getError(code);
    callRoot("closepopupString", { quittedCode });
    // The pending fault comes back on top with the countdown and acknowledgement it had.
    const QVariantMap shown = callRootForMap(rootItem(), "removeSysfaultFromStack", code);
    const int timer = shown.value(QStringLiteral("timer")).toInt();
    const int waitForAck = shown.value(QStringLiteral("waitForAck")).toInt();
    callRoot("popupString", { QStringLiteral("Sys Fault"), text, timer, waitForAck, code, fclass });
}

void MainWindow::sendAck()
{
    // Waits for the system service's answer (bounded); its "acksysfault" closes the popup.
    const QDBusMessage reply = ToolServices::call(ToolServices::System, QStringLiteral("fackerrlist"));
    if (ToolServices::succeeded(reply))
        logActivity(ActivityFaultAck, QString(), QString(), QString(), QString());
}

void MainWindow::addActivityEntryNokAck()
{
    logActivity(ActivityNokAck, QString::number(getPrgnr()), QString(), QString(), QString());
}

void MainWindow::logActivity(int code, QString value1, QString value2, QString value3, QString value4)
{
    ActivityLog::append(code, value1, value2, value3, value4);
}
