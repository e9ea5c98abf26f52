#pragma once

#include <QString>

// The facts of the information screen: the readers of the small value files, the firmware
// version (kept after its first successful read) and the IPv4 address of an interface.
class InfoValues
{
public:
    static constexpr const char* WlanInterface = "tiwlan0";
    static constexpr const char* LanInterface = "eth0";

    // The last IPv4 address of the named interface in dotted form; "-" when the interface
    // does not exist or has none.
    static QString ipv4Address(const QString& interfaceName);

    // First line of a file (bytes up to and including the first line feed, cut at a NUL),
    // read under the shared read lock; "-" when it cannot be opened or locked.
    static QString firstLineLocked(const QString& hostPath);

    // First line of a file read without a lock, cut at the first NUL and trimmed; "-" when
    // it cannot be opened.
    static QString firstLineTrimmed(const QString& hostPath);

    // The firmware version line for display: read once (under the lock), then kept.
    QString version(const QString& hostPath);

private:
    QString m_version = QStringLiteral("-");
};
