#include "diagtree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariantList>
#include <QVariantMap>

#include "devicepaths.h"
#include "saferead.h"
#include "settingsfiles.h"
#include "systemlog.h"

namespace {

QString diagPath(const QString& name)
{
    return DevicePaths::runtimeRoot() + QLatin1String("diag/") + name;
}

// Whole file as text, trimmed, under the read lock. False when it cannot be opened or
// locked; *opened tells which.
bool readValue(const QString& path, QString& value, bool* opened = nullptr)
{
    QByteArray bytes;
    const SafeRead::Status status = SafeRead::read(path, bytes);
    if (opened)
        *opened = status == SafeRead::Ok || status == SafeRead::LockRefused;
    if (status != SafeRead::Ok)
        return false;
    value = QString::fromUtf8(bytes).trimmed();
    return true;
}

} // namespace

QString DiagTree::getDiagProp(const QString& name, const QString& fallback) const
{
    QString value = fallback;
    readValue(diagPath(name), value);
    return value;
}

short DiagTree::getPrgnr() const
{
    const QString root = DevicePaths::runtimeRoot();
    const QString path = root + QLatin1String("diag/prgnr");
    QString message = QLatin1String("PREFIX for var run path") + root;
    QString value = QStringLiteral("-1");
    bool opened = false;
    readValue(path, value, &opened);
    if (!opened) {
        message += QLatin1String(" Failed to open file .. check if exists ... ");
        SystemLog::debug(message);
        return -88;
    }
    message += QLatin1String("read ok value is: ") + value + QLatin1Char(' ') + path;
    SystemLog::debug(message);
    if (value.isEmpty())
        return -88;
    return static_cast<short>(value.toInt());
}

void DiagTree::getSysfaultTwoInts(int& fclass, int& code) const
{
    const int value = getSysfault().toInt();
    fclass = value & 7;
    code = value >> 3;
}

QVariant DiagTree::getInitResConStates()
{
    if (!m_conStates.isNull())
        return m_conStates;
    QVariantMap values;
    QVariantList keys;
    const QDir dir(DevicePaths::map(QString::fromLatin1(DevicePaths::ResConStatesDir)));
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                              QDir::Name | QDir::IgnoreCase);
    for (const QString& entry : entries) {
        values.insert(entry, getDiagProp(QLatin1String("ResConStates/") + entry).toInt());
        keys.append(entry.toInt());
    }
    QVariantMap map;
    map.insert(QStringLiteral("values"), values);
    map.insert(QStringLiteral("keys"), keys);
    m_conStates = map;
    return m_conStates;
}

bool DiagTree::updateConnectionState(const QString& serviceName, int connected)
{
    QVariantMap map = getInitResConStates().toMap();
    QVariantMap values = map.value(QStringLiteral("values")).toMap();
    if (!values.contains(serviceName)
        && (serviceName.size() > InputLimits::MaxName || values.size() >= InputLimits::MaxEntries)) {
        if (!m_refusedLogged)
            SystemLog::warning(QStringLiteral("Result service refused (name too long or too many): ")
                               + InputLimits::cap(serviceName, InputLimits::MaxName));
        m_refusedLogged = true;
        return false;
    }
    values.insert(serviceName, connected);
    map.insert(QStringLiteral("values"), values);
    m_conStates = map;
    return connected >= -1 && connected <= 1;
}

QStringList DiagTree::getServices() const
{
    QStringList list;
    getDirFileNames(QString::fromLatin1(DevicePaths::ResServicesDir), QStringLiteral("*.json"), list);
    return list;
}

void DiagTree::getDirFileNames(const QString& dir, const QString& pattern, QStringList& out)
{
    const QDir directory(DevicePaths::map(dir));
    const QFileInfoList files = directory.entryInfoList({ pattern }, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& info : files) {
        const QString name = info.fileName();
        if (name.isEmpty())
            continue;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        out.append(dot < 0 ? name : name.left(dot));
    }
}

QString DiagTree::readSrvsFile(const QString& srvname) const
{
    QString text;
    bool opened = false;
    // A name is one file of the directory, never a path leading out of it.
    if (!srvname.contains(QLatin1Char('/'))) {
        const QString path = DevicePaths::map(QString::fromLatin1(DevicePaths::ResServicesDir)) + srvname + QLatin1String(".json");
        SettingsFiles::readText(path, text, &opened);
    }
    if (!opened)
        SystemLog::warning(QStringLiteral("Service not found"));
    return text;
}

bool DiagTree::serviceFromPath(const QString& devicePath, QString& name)
{
    const QString prefix = QString::fromLatin1(DevicePaths::ResServicesDir);
    const QString extension = QStringLiteral(".json");
    if (!devicePath.startsWith(prefix) || !devicePath.endsWith(extension)
        || devicePath.size() <= prefix.size() + extension.size())
        return false;
    name = devicePath.mid(prefix.size(), devicePath.size() - prefix.size() - extension.size()).trimmed();
    return true;
}

short DiagTree::adcVal() const
{
    const QString path = DevicePaths::map(QString::fromLatin1(DevicePaths::KeySwitchFile));
    try {
        QFile file;
        if (SafeRead::open(file, path, SafeRead::AllowCharDevice) == SafeRead::Ok) {
            char record[6];
            const qint64 got = file.read(record, sizeof record);
            file.close();
            if (got == 6) {
                const short value = static_cast<unsigned char>(record[0]) & 3;
                SystemLog::debug(QLatin1String("adcval is read form file: ") + path + QLatin1String(" value is: ") + QString::number(value));
                return value;
            }
            SystemLog::debug(QLatin1String("adcval is read form file: ") + path + QLatin1String(" FAILED size is not 6: ") + QString::number(got));
            return -1;
        }
        if (!QFile::exists(path))
            SystemLog::debug(QLatin1String("File ") + path + QLatin1String("does not exist"));
    } catch (...) {
        SystemLog::debug(QStringLiteral("adcVal except failed"));
    }
    SystemLog::debug(QStringLiteral("adcVal just failed ;-("));
    return -77;
}
