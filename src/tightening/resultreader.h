#pragma once

#include <QString>
#include <QVariantMap>

// Reads tightening results from the result database that the result service writes.
// Owns the "QSQLITE" default connection (created here, open only while one result is
// read) and the process-wide result-shown flag.
class ResultReader
{
public:
    ResultReader();
    ~ResultReader();

    ResultReader(const ResultReader&) = delete;
    ResultReader& operator=(const ResultReader&) = delete;

    // Device path of the database; every "newresult" notification replaces it.
    QString databasePath() const { return m_path; }
    void setDatabasePath(const QString& devicePath) { m_path = devicePath; }

    // A read (both of its queries) that runs longer than this is interrupted.
    static constexpr int QueryTimeBoundMs = 200;
    // A read that meets a longer value (stored or computed by a view) fails; the program
    // name and the identification code are cut to their screen lengths in the query.
    static constexpr int MaxValueBytes = 64 * 1024;

    // Reads result `id` into the 13-key result map. False (and a log line) when the
    // database is missing, cannot be opened, has no step row for the id or the read ran
    // over the time bound. The database is opened read-only.
    bool read(int id, QVariantMap& out);

    // The statement text of the step query for `id`.
    QString stepQuery(int id) const { return m_stepQuery.arg(id); }

    // True once a new-result notification has been handled in this process.
    // Loads the database driver and SQLite and opens a database in memory once, ahead of the
    // first result; read() does it otherwise.
    static void loadDriver();
    static bool resultShown();
    static void setResultShown();

    // Deviations of a NOK result whose step ended with `lastCmd` >= 100.
    static void deviationsFromLastCmd(int lastCmd, int& dTorque, int& dAngle, int& dTgs);

private:
    QString m_path;
    QString m_stepQuery;
};
