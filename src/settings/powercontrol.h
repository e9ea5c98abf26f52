#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Hands the tool's clock and power to the operating system: the reboot and power-off scripts
// run in one process object (a second request while a script runs starts nothing), and the
// clock is set with "date -s" followed by "hwclock -uw". With a system root set, the scripts
// and both commands are those inside the system root ("/bin/date", "/sbin/hwclock"), so a
// desktop or a test never touches this machine's clock or power.
class PowerControl : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* RebootScript = "/etc/reboot/reboot.sh";
    static constexpr const char* PoweroffScript = "/etc/reboot/poweroff.sh";
    // How long setting the clock may block the GUI before a command is given up.
    static constexpr int CommandTimeoutMs = 30000;

    using QObject::QObject;

    // Start the script and return at once; false when a script still runs or it could not start.
    bool reboot() { return startScript(QString::fromLatin1(RebootScript)); }
    bool poweroff() { return startScript(QString::fromLatin1(PoweroffScript)); }

    // Runs "date -s <datetime>" and then "hwclock -uw", each to its end; exit codes are ignored.
    void setClock(const QString& datetime);

    // "date" on the tool; the system root's "/bin/date" (and "/sbin/hwclock") under a root.
    static QString command(const QString& name);

private:
    bool startScript(const QString& devicePath);
    static void runToEnd(const QString& program, const QStringList& args);

    QProcess m_power;
};
