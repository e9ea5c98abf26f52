#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// Configuration export to and import from the memory card, done by two scripts of the
// tool's firmware, and the card's mount points and pictures.
//
// Each script gets the archive password and a file name, runs without blocking the GUI,
// and its end is reported with its exit code and what it wrote to standard error. A
// script that cannot be started at all is reported the same way: exit code 127 with the
// reason "Exporter not found" / "Importer not found" when the script is missing, 126 with
// the system's reason otherwise, so that the screen waiting for the end never waits forever.
// For the same reason a script that has not ended after ScriptTimeoutMs is killed, with the
// processes it started; it ends with the signal's number (9) and what it wrote to standard
// error up to then, which the screen shows as a system error.
class ConfigExchange : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* ExporterScript = "/etc/backup/cfg_exporter.sh";
    static constexpr const char* ImporterScript = "/etc/backup/cfg_importer.sh";
    static constexpr const char* ImportFileName = "config.cfg";
    static constexpr const char* BlockDeviceDir = "/sys/class/block";
    static constexpr const char* CardMountDir = "/mnt/mmc/";
    // Standard error kept per run; a script that writes more is cut there.
    static constexpr int MaxMessageBytes = 4096;
    static constexpr int ScriptTimeoutMs = 10 * 60 * 1000;

    explicit ConfigExchange(QObject* parent = nullptr);

    // Base64 of the SHA-1 of the OS name (UTF-8): 28 characters.
    static QString passwordFor(const QString& osName);
    // "/config/" + version + "-" + yyyyMMddhhmmss + ".zkcfg"
    static QString archiveName(const QString& version, const QDateTime& when);

    // Start the exporter / importer; both return at once.
    void exportConfiguration(const QString& password, const QString& archive);
    void importConfiguration(const QString& password);

    // Mount points of the memory card that exist (host paths), its partitions first.
    static QStringList getSdPaths();
    // CardMountDir + each name, in order (device paths).
    static QStringList extractPaths(const QStringList& names);
    // Regular *.png and *.jpg files (any letter case) in <first mount point>/pictures,
    // sorted by name ignoring case, as absolute host paths. A link counts only when it
    // leads to a regular file on the card.
    static QStringList getPictures();
    // The path with every link resolved, when that lies on the card (under the first mount
    // point); empty otherwise. Never opens the file.
    static QString onCard(const QString& hostPath);

    // Tests shorten the time a script may run.
    void setScriptTimeout(int ms) { m_timeoutMs = ms; }

Q_SIGNALS:
    void exportFinished(int exitCode, QString msg);
    void importFinished(int exitCode, QString msg);
    // After importFinished with exit code 0: the tool must restart.
    void importSucceeded();

private Q_SLOTS:
    void exportConfigurationEnd(int exitCode, QProcess::ExitStatus exitStatus);
    void importConfigurationEnd(int exitCode, QProcess::ExitStatus exitStatus);

private:
    struct Run {
        QProcess* process = nullptr;
        QTimer* timeout = nullptr;
        QByteArray message;
    };

    void setUp(Run& run);
    void start(Run& run, const char* script, const QStringList& args);
    void finish(Run& run, int exitCode, bool import);
    void failedToStart(Run& run, const char* script, bool import);

    Run m_export;
    Run m_import;
    int m_timeoutMs = ScriptTimeoutMs;
};
