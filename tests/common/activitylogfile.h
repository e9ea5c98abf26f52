#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

// The activity log as the firmware creates it (its values may not be NULL), and what the
// display (user 4) wrote to it.
namespace ActivityLogFile {

inline bool create(const QString& hostPath)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("activity-setup"));
        db.setDatabaseName(hostPath);
        ok = db.open() && QSqlQuery(db).exec(QStringLiteral(
            "CREATE TABLE activity (id INTEGER PRIMARY KEY AUTOINCREMENT, timestamp INTEGER NOT NULL, user INTEGER NOT NULL DEFAULT 0,"
            " code INTEGER NOT NULL, value1 TEXT NOT NULL DEFAULT '', value2 TEXT NOT NULL DEFAULT '',"
            " value3 TEXT NOT NULL DEFAULT '', value4 TEXT NOT NULL DEFAULT '')"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("activity-setup"));
    return ok;
}

// The display's rows of the last minute (a sample's older rows left out), oldest first, as
// "code value1 value2 value3 value4" without trailing blanks.
inline QStringList displayEntries(const QString& hostPath)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("activity-check"));
        db.setDatabaseName(hostPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            const qint64 now = QDateTime::currentSecsSinceEpoch();
            QSqlQuery q(QStringLiteral("SELECT code, value1, value2, value3, value4 FROM activity WHERE user = 4"
                                       " AND timestamp BETWEEN %1 AND %2 ORDER BY rowid").arg(now - 60).arg(now + 60), db);
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < 5; ++i)
                    row << q.value(i).toString();
                out << row.join(QLatin1Char(' ')).trimmed();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("activity-check"));
    return out;
}

} // namespace ActivityLogFile
