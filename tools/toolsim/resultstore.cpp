#include "resultstore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const char* const ConnectionName = "toolsim-results";

const char* const Schema[] = {
    "CREATE TABLE IF NOT EXISTS srbergallg ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " timestamp INTEGER NOT NULL,"
    " prg_nr INTEGER,"
    " prg_name TEXT,"
    " result INTEGER,"
    " qcode INTEGER,"
    " id_code TEXT,"
    " torque_unit INTEGER)",
    "CREATE TABLE IF NOT EXISTS stuferg ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " allg_id INTEGER NOT NULL REFERENCES srbergallg(id),"
    " row INTEGER,"
    " step_name TEXT,"
    " last_cmd INTEGER,"
    " time REAL,"
    " angle REAL,"
    " torque REAL)",
    "CREATE TABLE IF NOT EXISTS srbfncts ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " stuferg_id INTEGER NOT NULL REFERENCES stuferg(id),"
    " cmd INTEGER,"
    " actual REAL,"
    " nom REAL,"
    " switching INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS stuferg_allg ON stuferg(allg_id)",
    "CREATE INDEX IF NOT EXISTS srbfncts_step ON srbfncts(stuferg_id)",
};

// Keeps the connection open for one operation only, so the file can be replaced between
// results (tests do) and nothing holds it while the GUI reads.
class Connection
{
public:
    explicit Connection(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(ConnectionName));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(QLatin1String(ConnectionName), false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(ConnectionName));
    }
    QSqlDatabase db() const { return QSqlDatabase::database(QLatin1String(ConnectionName), false); }
};
} // namespace

ResultStore::ResultStore(const QString& hostPath)
    : m_path(hostPath)
{
}

bool ResultStore::ensureSchema(QString* error)
{
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(ConnectionName), false);
    for (const char* statement : Schema) {
        QSqlQuery q(db);
        if (!q.exec(QString::fromLatin1(statement))) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

int ResultStore::add(const Tightening& t, QString* error)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    Connection connection(m_path);
    QSqlDatabase db = connection.db();
    if (!db.open()) {
        *error = db.lastError().text();
        return -1;
    }
    if (!ensureSchema(error))
        return -1;
    if (!db.transaction()) {
        *error = db.lastError().text();
        return -1;
    }
    auto fail = [&](const QSqlQuery& q) {
        *error = q.lastError().text();
        db.rollback();
        return -1;
    };

    QSqlQuery allg(db);
    allg.prepare(QStringLiteral("INSERT INTO srbergallg (timestamp, prg_nr, prg_name, result, qcode, id_code, torque_unit)"
                                " VALUES (?, ?, ?, ?, ?, ?, ?)"));
    allg.addBindValue(QDateTime::currentSecsSinceEpoch());
    allg.addBindValue(t.prgNr);
    allg.addBindValue(t.prgName);
    allg.addBindValue(t.result);
    allg.addBindValue(t.qcode);
    allg.addBindValue(t.idCode.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(t.idCode.toString()));
    allg.addBindValue(t.torqueUnit);
    if (!allg.exec())
        return fail(allg);
    const int id = allg.lastInsertId().toInt();

    // Steps before the final one: the run-down phases of the program, below the final values.
    qlonglong finalStep = -1;
    for (int row = 0; row <= t.row; ++row) {
        const bool last = row == t.row;
        const double share = last ? 1.0 : double(row + 1) / double(t.row + 2);
        QSqlQuery step(db);
        step.prepare(QStringLiteral("INSERT INTO stuferg (allg_id, row, step_name, last_cmd, time, angle, torque)"
                                    " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        step.addBindValue(id);
        step.addBindValue(row);
        step.addBindValue(last ? QStringLiteral("Tightening") : QStringLiteral("Rundown %1").arg(row + 1));
        step.addBindValue(last ? t.lastCmd : 0);
        step.addBindValue(t.time * share);
        step.addBindValue(t.angle * share);
        step.addBindValue(t.torque * share);
        if (!step.exec())
            return fail(step);
        if (last)
            finalStep = step.lastInsertId().toLongLong();
    }
    for (const Function& f : t.functions) {
        QSqlQuery fn(db);
        fn.prepare(QStringLiteral("INSERT INTO srbfncts (stuferg_id, cmd, actual, nom, switching) VALUES (?, ?, ?, ?, ?)"));
        fn.addBindValue(finalStep);
        fn.addBindValue(f.cmd);
        fn.addBindValue(f.actual);
        fn.addBindValue(f.nom);
        fn.addBindValue(f.switching);
        if (!fn.exec())
            return fail(fn);
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        return -1;
    }
    return id;
}
