#include "devicefiles.h"

#include "devicepaths.h"
#include "filelock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>


namespace DeviceFiles {

namespace {

const char* const RootMarker = ".toolsim-root";

bool runSqlScript(const QString& dbPath, const QString& scriptPath, QString* error)
{
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(scriptPath);
        return false;
    }
    const QString text = QString::fromUtf8(script.readAll());
    bool ok = true;
    {
        const QString name = QStringLiteral("toolsim-fill");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbPath);
        if (!db.open()) {
            *error = db.lastError().text();
            ok = false;
        } else {
            db.transaction();
            // Comment lines first, then one statement per ";"-terminated piece; the sample
            // scripts keep semicolons out of their texts.
            QString code;
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    code += line + QLatin1Char('\n');
            }
            for (const QString& statement : code.split(QLatin1Char(';'))) {
                if (statement.trimmed().isEmpty())
                    continue;
                QSqlQuery q(db);
                if (!q.exec(statement)) {
                    *error = QStringLiteral("%1: %2").arg(scriptPath, q.lastError().text());
                    ok = false;
                    break;
                }
            }
            if (ok)
                db.commit();
            else
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("toolsim-fill"));
    return ok;
}

bool emptyDirectory(const QString& root)
{
    QDir dir(root);
    bool ok = true;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        if (fi.isDir() && !fi.isSymLink())
            ok = QDir(fi.filePath()).removeRecursively() && ok;
        else
            ok = QFile::remove(fi.filePath()) && ok;
    }
    return ok;
}

// Copies the sample tree into root; with keepExisting, files already there stay as they
// are and the kernel's trees (/proc, /sys) are left out.
bool copySample(const QString& root, const QString& sampleDir, bool keepExisting, QString* error)
{
    const QDir rootDir(root);
    const QDir sample(sampleDir);
    if (!sample.exists()) {
        *error = QStringLiteral("sample data not found: %1").arg(sampleDir);
        return false;
    }
    QDirIterator it(sampleDir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QFileInfo fi = it.fileInfo();
        const QString rel = sample.relativeFilePath(src);
        if (keepExisting && (rel.startsWith(QLatin1String("proc/")) || rel.startsWith(QLatin1String("sys/"))))
            continue;
        const QString dst = rootDir.filePath(rel);
        if (fi.isDir()) {
            QDir().mkpath(dst);
            continue;
        }
        QDir().mkpath(QFileInfo(dst).absolutePath());
        if (fi.fileName() == QLatin1String(".keep"))
            continue; // only holds an otherwise empty directory in the repository
        if (keepExisting && QFileInfo::exists(rel.endsWith(QLatin1String(".sq3.sql")) ? dst.chopped(4) : dst))
            continue;
        if (rel.endsWith(QLatin1String(".sq3.sql"))) {
            if (!runSqlScript(dst.chopped(4), src, error))
                return false;
            continue;
        }
        QFile::remove(dst);
        if (!QFile::copy(src, dst)) {
            *error = QStringLiteral("cannot copy %1").arg(rel);
            return false;
        }
        QFile::setPermissions(dst, fi.permissions() | QFileDevice::WriteOwner);
    }
    return true;
}

} // namespace

bool fillSysroot(const QString& root, const QString& sampleDir, bool fresh, QString* error)
{
    QDir rootDir(root);
    if (!rootDir.exists() && !QDir().mkpath(root)) {
        *error = QStringLiteral("cannot create %1").arg(root);
        return false;
    }
    const bool empty = rootDir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!empty) {
        if (!fresh)
            return true; // keep what an earlier run or the caller left there
        if (!QFile::exists(rootDir.filePath(QLatin1String(RootMarker)))) {
            *error = QStringLiteral("%1 is not empty and was not filled by toolsim; refusing to empty it").arg(root);
            return false;
        }
        if (!emptyDirectory(root)) {
            *error = QStringLiteral("cannot empty %1").arg(root);
            return false;
        }
    }
    if (!copySample(root, sampleDir, false, error))
        return false;
    QFile marker(rootDir.filePath(QLatin1String(RootMarker)));
    if (marker.open(QIODevice::WriteOnly))
        marker.write("filled by toolsim from " + sampleDir.toUtf8() + "\n");
    return true;
}

bool fillDevice(const QString& sampleDir, QString* error)
{
    return copySample(QStringLiteral("/"), sampleDir, true, error);
}

bool writeShared(const QString& devicePath, const QByteArray& content)
{
    const QString path = DevicePaths::map(devicePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return FileLock::replaceContent(file, content) == content.size();
}

QByteArray readShared(const QString& devicePath)
{
    QFile file(DevicePaths::map(devicePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray data;
    FileLock::readLocked(file, data);
    return data;
}

bool writePlain(const QString& devicePath, const QByteArray& content)
{
    const QString path = DevicePaths::map(devicePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size() && file.flush();
}

bool remove(const QString& devicePath)
{
    const QString path = DevicePaths::map(devicePath);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

bool exists(const QString& devicePath)
{
    return QFileInfo::exists(DevicePaths::map(devicePath));
}

QString diagPath(const QString& name)
{
    return QLatin1String(DevicePaths::DiagDir) + name;
}

bool writeDiag(const QString& name, const QString& value)
{
    return writeShared(diagPath(name), value.toUtf8() + '\n');
}

QString readDiag(const QString& name, const QString& fallback)
{
    if (!exists(diagPath(name)))
        return fallback;
    return QString::fromUtf8(readShared(diagPath(name))).trimmed();
}

int readDiagInt(const QString& name, int fallback)
{
    bool ok = false;
    const int v = readDiag(name).toInt(&ok);
    return ok ? v : fallback;
}

} // namespace DeviceFiles
