#include "activitylog.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "devicepaths.h"
#include "querybound.h"
#include "saferead.h"
#include "systemlog.h"

namespace ActivityLog {

namespace {

// SQLite follows links when it opens the database and its journals: a link in the place of
// any of them would let the GUI write another file.
bool linked(const QString& hostPath)
{
    for (const char* suffix : { "", "-journal", "-wal", "-shm" }) {
        const QFileInfo info(hostPath + QLatin1String(suffix));
        if (info.isSymLink())
            return true;
    }
    return false;
}

} // namespace

bool append(int code, const QString& value1, const QString& value2, const QString& value3, const QString& value4)
{
    const QString connection = QLatin1String(QSqlDatabase::defaultConnection);
    if (!QSqlDatabase::contains(connection))
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    db.close();
    const QString hostPath = DevicePaths::map(QLatin1String(DevicePaths::ActivityDb));
    db.setDatabaseName(hostPath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));

    // SQLite would create a missing file, could stall on a FIFO in its place and would follow
    // a link.
    if (linked(hostPath) || !SafeRead::isRegularFile(hostPath, false)) {
        if (QFileInfo(hostPath).isSymLink() || QFileInfo::exists(hostPath))
            SystemLog::error(QStringLiteral("Activity database is not a regular file: ") + hostPath);
        else
            SystemLog::error(QStringLiteral("Activity database not found!"));
        return false;
    }
    if (!db.open())
        return false;

    bool written = false;
    QString failure;
    // The database is the firmware's: a trigger on the table may run for ever.
    QueryBound bound(db, StatementBoundMs, MaxValueBytes);
    {
        QSqlQuery q(db);
        if (q.prepare(QStringLiteral("INSERT INTO activity (timestamp,user,code,value1,value2,value3,value4) VALUES (?, ?, ?, ?, ?, ?, ?)"))) {
            q.addBindValue(QDateTime::currentMSecsSinceEpoch() / 1000);
            q.addBindValue(4);
            q.addBindValue(code);
            // an empty value is written as '': a null string would bind NULL, which a
            // table with NOT NULL value columns refuses
            for (const QString* value : { &value1, &value2, &value3, &value4 })
                q.addBindValue(value->isNull() ? QStringLiteral("") : *value);
            written = q.exec();
        }
        if (!written)
            failure = bound.expired() ? bound.interruptedText() : q.lastError().text();
    }
    bound.release();
    db.close();
    if (!written)
        SystemLog::warning(QStringLiteral("Activity entry %1 not written: %2").arg(code).arg(failure));
    return written;
}

} // namespace ActivityLog
