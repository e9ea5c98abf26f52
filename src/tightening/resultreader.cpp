#include "resultreader.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>
#include <atomic>

#include "devicepaths.h"
#include "inputlimits.h"
#include "querybound.h"
#include "saferead.h"
#include "systemlog.h"

namespace {

std::atomic<bool> g_resultShown { false };

enum Cmd { TimeLimit = 104, UpperTorque = 105, LowerTorque = 106, UpperAngle = 117, LowerAngle = 118 };

constexpr int StepColumns = 12;

QString buildStepQuery()
{
    // Four tabs and four blanks before every column and before FROM.
    const QString sep = QStringLiteral("\t\t\t\t    ");
    const char* const columns[] = {
        "prg_nr,", "substr(prg_name, 1, %2) AS prg_name,", "stuferg.id,", "row,", "stuferg.last_cmd,", "srbergallg.result,",
        "srbergallg.qcode,", "stuferg.time,", "stuferg.angle,", "stuferg.torque,", "substr(srbergallg.id_code, 1, %3) AS id_code,",
        "srbergallg.torque_unit",
    };
    QString text = QStringLiteral("SELECT ");
    for (const char* c : columns)
        text += sep + QLatin1String(c);
    // Texts are cut to what the screen shows before they leave SQLite.
    text = text.arg(InputLimits::MaxName).arg(InputLimits::MaxCode);
    text += sep + QStringLiteral("FROM stuferg JOIN srbergallg ON stuferg.allg_id=srbergallg.id WHERE srbergallg.id=%1");
    return text;
}

} // namespace

ResultReader::ResultReader()
    : m_path(QString::fromLatin1(DevicePaths::ResultDb))
    , m_stepQuery(buildStepQuery())
{
}

ResultReader::~ResultReader()
{
    if (!QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection)))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

void ResultReader::loadDriver()
{
    if (QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection)))
        return;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (db.open())
        db.close();
}

bool ResultReader::resultShown()
{
    return g_resultShown.load();
}

void ResultReader::setResultShown()
{
    g_resultShown.store(true);
}

void ResultReader::deviationsFromLastCmd(int lastCmd, int& dTorque, int& dAngle, int& dTgs)
{
    switch (lastCmd) {
    case UpperTorque: dTorque = 1; break;
    case LowerTorque: dTorque = -1; break;
    case UpperAngle: dAngle = 1; break;
    case LowerAngle: dAngle = -1; break;
    case TimeLimit: dTgs = 1; break;
    default: break;
    }
}

bool ResultReader::read(int id, QVariantMap& out)
{
    // The driver is loaded with the first result, not while the GUI starts.
    if (!QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection)))
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    db.close();
    const QString hostPath = DevicePaths::map(m_path);
    db.setDatabaseName(hostPath);
    // Read-only: the path comes from the bus; the reader never writes, rolls back a journal
    // or creates a file there.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000;QSQLITE_OPEN_READONLY"));

    // SQLite opens the path itself: anything but a regular file (a FIFO) could stall it.
    if (!SafeRead::isRegularFile(hostPath)) {
        SystemLog::error(QStringLiteral("result database not found!"));
        return false;
    }
    if (!db.open()) {
        SystemLog::error(QStringLiteral("DB Error ") + db.lastError().driverText());
        return false;
    }

    QueryBound bound(db, QueryTimeBoundMs, MaxValueBytes);
    QVector<QVariant> row(StepColumns);
    bool cycleNull = true;
    bool found = false;
    QString error;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (q.exec(stepQuery(id)) && q.isSelect()) {
            // No ordering in the statement: whichever row comes last is used.
            while (q.next()) {
                found = true;
                for (int i = 0; i < StepColumns; ++i)
                    row[i] = q.value(i);
                cycleNull = q.isNull(10);
            }
        }
        if (!found)
            error = q.lastError().driverText();
    }
    if (!found || bound.expired()) {
        if (bound.expired())
            error = bound.interruptedText();
        SystemLog::error(QStringLiteral("DB Error ") + error);
        bound.release(); // before the handle goes
        db.close();
        return false;
    }

    const int lastCmd = row[4].toInt();
    const int result = row[5].toInt();
    int dTorque = 0;
    int dAngle = 0;
    int dTgs = 0;
    if (result < 0) {
        if (lastCmd <= 99) {
            QSqlQuery f(db);
            f.setForwardOnly(true);
            const QString text = QStringLiteral("SELECT cmd, actual, nom FROM srbfncts WHERE stuferg_id=%1 AND switching=0")
                                     .arg(row[2].toInt());
            if (f.exec(text)) {
                while (f.next()) {
                    const int cmd = f.value(0).toInt();
                    const double actual = f.value(1).toDouble();
                    const double nom = f.value(2).toDouble();
                    switch (cmd) {
                    case UpperTorque: dTorque = actual > nom ? 1 : 0; break;
                    case LowerTorque: dTorque = actual < nom ? 1 : 0; break;
                    case UpperAngle: dAngle = actual > nom ? 1 : 0; break;
                    case LowerAngle: dAngle = actual < nom ? 1 : 0; break;
                    case TimeLimit: dTgs = 1; break;
                    default: break;
                    }
                }
            }
        } else {
            deviationsFromLastCmd(lastCmd, dTorque, dAngle, dTgs);
        }
    }

    // Half a result is no result: the screen keeps the previous one.
    if (bound.expired()) {
        SystemLog::error(QStringLiteral("DB Error ") + bound.interruptedText());
        bound.release(); // before the handle goes
        db.close();
        return false;
    }

    out.clear();
    out.insert(QStringLiteral("prg_nr"), row[0]);
    out.insert(QStringLiteral("prg_name"), InputLimits::cap(row[1].toString(), InputLimits::MaxName));
    out.insert(QStringLiteral("result"), row[5]);
    out.insert(QStringLiteral("torque"), row[9]);
    out.insert(QStringLiteral("dTorque"), dTorque);
    out.insert(QStringLiteral("angle"), row[8]);
    out.insert(QStringLiteral("dAngle"), dAngle);
    out.insert(QStringLiteral("tgs"), row[7]);
    out.insert(QStringLiteral("dTgs"), dTgs);
    out.insert(QStringLiteral("cycle"), cycleNull ? QStringLiteral("") : InputLimits::cap(row[10].toString(), InputLimits::MaxCode));
    out.insert(QStringLiteral("qcode"), row[6]);
    out.insert(QStringLiteral("row"), row[3]);
    out.insert(QStringLiteral("torqueUnit"), row[11]);
    bound.release(); // before the handle goes
    db.close();
    return true;
}
