#include "infovalues.h"

#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>

#include "saferead.h"

namespace {

QString firstLineOf(const QByteArray& content)
{
    const qsizetype lf = content.indexOf('\n');
    QByteArray line = lf < 0 ? content : content.left(lf + 1);
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    return QString::fromUtf8(line);
}

// Files here are one line; a line longer than this is not a value.
constexpr qint64 MaxLine = 64 * 1024;

} // namespace

QString InfoValues::ipv4Address(const QString& interfaceName)
{
    QString result = QStringLiteral("-");
    const QNetworkInterface iface = QNetworkInterface::interfaceFromName(interfaceName);
    if (!iface.isValid())
        return result;
    const QList<QNetworkAddressEntry> entries = iface.addressEntries();
    for (const QNetworkAddressEntry& entry : entries) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            result = entry.ip().toString();
    }
    return result;
}

QString InfoValues::firstLineLocked(const QString& hostPath)
{
    QByteArray content;
    if (SafeRead::read(hostPath, content, SafeRead::Locked, MaxLine) != SafeRead::Ok)
        return QStringLiteral("-");
    return firstLineOf(content);
}

QString InfoValues::firstLineTrimmed(const QString& hostPath)
{
    QByteArray content;
    if (SafeRead::read(hostPath, content, SafeRead::NoOption, MaxLine) != SafeRead::Ok)
        return QStringLiteral("-");
    return firstLineOf(content).trimmed();
}

QString InfoValues::version(const QString& hostPath)
{
    if (m_version == QLatin1String("-")) {
        QByteArray content;
        if (SafeRead::read(hostPath, content, SafeRead::Locked, MaxLine) == SafeRead::Ok)
            m_version = firstLineOf(content);
    }
    return m_version;
}
