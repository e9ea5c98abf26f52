#pragma once

#include <QString>

// A firmware version text ("<product>-<release>-<build>...") and what is derived from it.
// Fields are the parts between "-" characters, empty ones included.
class FwVersion
{
public:
    // The operating system's name is this prefix followed by the second field.
    static constexpr const char* OsPrefix = "NGTOS-";

    explicit FwVersion(const QString& version);

    QString version() const { return m_version; }
    QString secondField() const { return m_second; }
    QString thirdField() const { return m_third; }
    QString osName() const { return m_osName; }

private:
    QString m_version;
    QString m_second;
    QString m_third;
    QString m_osName;
};
