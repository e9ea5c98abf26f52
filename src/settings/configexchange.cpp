#include "configexchange.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "devicepaths.h"

ConfigExchange::ConfigExchange(QObject* parent)
    : QObject(parent)
{
    setUp(m_export);
    setUp(m_import);
    connect(m_export.process, &QProcess::finished, this, &ConfigExchange::exportConfigurationEnd);
    connect(m_import.process, &QProcess::finished, this, &ConfigExchange::importConfigurationEnd);
    connect(m_export.process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failedToStart(m_export, ExporterScript, false);
    });
    connect(m_import.process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failedToStart(m_import, ImporterScript, true);
    });
}

void ConfigExchange::setUp(Run& run)
{
    run.process = new QProcess(this);
    run.process->setProcessChannelMode(QProcess::SeparateChannels);
    QProcess* process = run.process;
    run.timeout = new QTimer(this);
    run.timeout->setSingleShot(true);
    // The script leads a process group of its own, so that a hung one is killed together
    // with whatever it started (an archiver waiting on a dead card, say).
    process->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(run.timeout, &QTimer::timeout, process, [process] {
        if (process->processId() > 0)
            ::kill(-pid_t(process->processId()), SIGKILL);
        process->kill();
    });
    // Standard output is not used; standard error is kept up to the cap.
    connect(process, &QProcess::readyReadStandardOutput, this, [process] { process->readAllStandardOutput(); });
    connect(process, &QProcess::readyReadStandardError, this, [process, &run] {
        const QByteArray chunk = process->readAllStandardError();
        run.message += chunk.left(MaxMessageBytes - run.message.size());
    });
}

QString ConfigExchange::passwordFor(const QString& osName)
{
    return QString::fromLatin1(QCryptographicHash::hash(osName.toUtf8(), QCryptographicHash::Sha1).toBase64());
}

QString ConfigExchange::archiveName(const QString& version, const QDateTime& when)
{
    return QStringLiteral("/config/") + version + QLatin1Char('-')
            + when.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".zkcfg");
}

void ConfigExchange::exportConfiguration(const QString& password, const QString& archive)
{
    start(m_export, ExporterScript, { password, archive });
}

void ConfigExchange::importConfiguration(const QString& password)
{
    start(m_import, ImporterScript, { password, QString::fromLatin1(ImportFileName) });
}

void ConfigExchange::start(Run& run, const char* script, const QStringList& args)
{
    if (run.process->state() != QProcess::NotRunning)
        return;
    run.message.clear();
    run.timeout->start(m_timeoutMs);
    run.process->start(DevicePaths::map(QString::fromLatin1(script)), args, QIODevice::ReadWrite);
}

// Only the exit code decides; a script killed by a signal ends with that signal's number.
void ConfigExchange::exportConfigurationEnd(int exitCode, QProcess::ExitStatus)
{
    finish(m_export, exitCode, false);
}

void ConfigExchange::importConfigurationEnd(int exitCode, QProcess::ExitStatus)
{
    finish(m_import, exitCode, true);
}

void ConfigExchange::finish(Run& run, int exitCode, bool import)
{
    run.timeout->stop();
    run.message += run.process->readAllStandardError().left(MaxMessageBytes - run.message.size());
    QByteArray bytes = run.message;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    run.message.clear();
    const QString msg = QString::fromUtf8(bytes);
    if (!import) {
        Q_EMIT exportFinished(exitCode, msg);
        return;
    }
    Q_EMIT importFinished(exitCode, msg);
    if (exitCode == 0)
        Q_EMIT importSucceeded();
}

void ConfigExchange::failedToStart(Run& run, const char* script, bool import)
{
    run.timeout->stop();
    run.message.clear();
    const bool missing = !QFileInfo::exists(DevicePaths::map(QString::fromLatin1(script)));
    const int code = missing ? 127 : 126;
    QString msg;
    if (missing)
        msg = QString::fromLatin1(import ? "Importer not found" : "Exporter not found");
    else
        msg = run.process->errorString();
    if (import)
        Q_EMIT importFinished(code, msg);
    else
        Q_EMIT exportFinished(code, msg);
}

QStringList ConfigExchange::extractPaths(const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names)
        paths << QString::fromLatin1(CardMountDir) + name;
    return paths;
}

QStringList ConfigExchange::getSdPaths()
{
    const QDir dir(DevicePaths::map(QString::fromLatin1(BlockDeviceDir)));
    const QStringList names = dir.entryList({ QStringLiteral("mmcblk*") },
                                            QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QStringList partitions;
    for (const QString& name : names) {
        if (name.contains(QLatin1Char('p')))
            partitions << name;
    }
    QStringList existing;
    for (const QString& path : extractPaths(partitions.isEmpty() ? names : partitions)) {
        const QString host = DevicePaths::map(path);
        if (QFileInfo::exists(host))
            existing << host;
    }
    return existing;
}

QString ConfigExchange::onCard(const QString& hostPath)
{
    const QStringList mounts = getSdPaths();
    if (mounts.isEmpty())
        return {};
    const QString card = QFileInfo(mounts.first()).canonicalFilePath();
    const QString resolved = QFileInfo(hostPath).canonicalFilePath();
    if (card.isEmpty() || !resolved.startsWith(card + QLatin1Char('/')))
        return {};
    return resolved;
}

QStringList ConfigExchange::getPictures()
{
    const QStringList mounts = getSdPaths();
    if (mounts.isEmpty())
        return {};
    QDir dir(mounts.first() + QStringLiteral("/pictures"));
    dir.setNameFilters({ QStringLiteral("*.png"), QStringLiteral("*.jpg") });
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList pictures;
    for (const QFileInfo& info : dir.entryInfoList()) {
        // Only regular files (also behind a link on the card): a FIFO or device would block
        // its reader.
        struct stat st;
        const QByteArray path = QFile::encodeName(info.absoluteFilePath());
        if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && !onCard(info.absoluteFilePath()).isEmpty())
            pictures << info.absoluteFilePath();
    }
    return pictures;
}
