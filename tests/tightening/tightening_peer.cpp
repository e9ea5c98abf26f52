// A second process for the tightening tests: holds real fcntl locks on script files,
// writes programs in a loop, or writes results into a result database.
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <cstdio>
#include <iostream>
#include <string>

#include "filelock.h"
#include "programwriter.h"

namespace {

void say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void waitForGo()
{
    std::string line;
    std::getline(std::cin, line);
}

// hold-read <path>: read lock until a line arrives on stdin.
int holdRead(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !FileLock::lock(f))
        return 2;
    say("locked");
    waitForGo();
    FileLock::unlock(f);
    return 0;
}

// hold-write <path> <first> <rest>: under the write lock, truncate and write <first>,
// then wait for stdin before writing <rest>; a slow writer of a shared file.
int holdWrite(const QString& path, const QByteArray& first, const QByteArray& rest)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || !FileLock::lock(f))
        return 2;
    f.resize(0);
    f.write(first);
    f.flush();
    say("locked");
    waitForGo();
    f.write(rest);
    f.flush();
    FileLock::unlock(f);
    return 0;
}

int writePrograms(int slot, int count)
{
    say("started");
    for (int i = 0; i < count; ++i) {
        if (!ProgramWriter::write(slot, 100 + i, QStringLiteral("torque"), i))
            return 3;
    }
    return 0;
}

// flip-file <path> <count>: creates and deletes the file <count> times, as an importer
// that replaces files does.
int flipFile(const QString& path, int count)
{
    say("started");
    for (int i = 0; i < count; ++i) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 3;
        f.write("prg.Name = \"Flip\"\n");
        f.close();
        if (!QFile::remove(path))
            return 3;
    }
    return 0;
}

bool exec(QSqlQuery& q, const QString& text)
{
    if (q.exec(text))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(text), qPrintable(q.lastError().text()));
    return false;
}

// write-results <db> <first id> <count> <hold ms>: per result one exclusive transaction
// that stays open for <hold ms> after the rows are in ("locked <id>" is printed then).
int writeResults(const QString& path, int firstId, int count, int holdMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peer"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return 2;
    {
        QSqlQuery q(db);
        for (int id = firstId; id < firstId + count; ++id) {
            if (!exec(q, QStringLiteral("BEGIN EXCLUSIVE")))
                return 3;
            const bool ok = exec(q, QStringLiteral("INSERT INTO srbergallg (id, prg_nr, prg_name, result, qcode, id_code, torque_unit) "
                                                   "VALUES (%1, 7, 'Peer', -1, 4, 'P%1', 2)").arg(id))
                && exec(q, QStringLiteral("INSERT INTO stuferg (id, allg_id, row, last_cmd, time, angle, torque) "
                                          "VALUES (%1, %1, 0, 106, 0.5, 90.0, %1.25)").arg(id));
            if (!ok)
                return 3;
            std::printf("locked %d\n", id);
            std::fflush(stdout);
            QThread::msleep(static_cast<unsigned long>(holdMs));
            if (!exec(q, QStringLiteral("COMMIT")))
                return 3;
        }
    }
    db.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() >= 3 && a.at(1) == QLatin1String("hold-read"))
        return holdRead(a.at(2));
    if (a.size() >= 5 && a.at(1) == QLatin1String("hold-write"))
        return holdWrite(a.at(2), a.at(3).toUtf8(), a.at(4).toUtf8());
    if (a.size() >= 4 && a.at(1) == QLatin1String("write-programs"))
        return writePrograms(a.at(2).toInt(), a.at(3).toInt());
    if (a.size() >= 4 && a.at(1) == QLatin1String("flip-file"))
        return flipFile(a.at(2), a.at(3).toInt());
    if (a.size() >= 6 && a.at(1) == QLatin1String("write-results"))
        return writeResults(a.at(2), a.at(3).toInt(), a.at(4).toInt(), a.at(5).toInt());
    std::fprintf(stderr, "unknown mode\n");
    return 1;
}
