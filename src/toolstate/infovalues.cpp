#include "infovalues.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>

#include "filelock.h"

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
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("-");
    QString result = QStringLiteral("-");
    if (FileLock::lock(file)) {
        result = firstLineOf(FileLock::readBounded(file, MaxLine));
        FileLock::unlock(file);
    }
    file.close();
    return result;
}

QString InfoValues::firstLineTrimmed(const QString& hostPath)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("-");
    const QString line = firstLineOf(FileLock::readBounded(file, MaxLine)).trimmed();
    file.close();
    return line;
}

QString InfoValues::version(const QString& hostPath)
{
    if (m_version == QLatin1String("-")) {
        QFile file(hostPath);
        if (file.open(QIODevice::ReadOnly)) {
            if (FileLock::lock(file)) {
                m_version = firstLineOf(FileLock::readBounded(file, MaxLine));
                FileLock::unlock(file);
            }
            file.close();
        }
    }
    return m_version;
}
