#pragma once

#include <QElapsedTimer>

class QSqlDatabase;
struct sqlite3;

// Bounds the statements run on an open connection of the "QSQLITE" driver while the object
// lives: they are interrupted once they have run longer than boundMs (SQLite's progress
// handler), and no string or blob longer than maxValueBytes is made or read (SQLite's
// length limit; such a statement fails with "string or blob too big"). A database another
// process owns may hold views or triggers that never end or compute huge values.
class QueryBound
{
public:
    QueryBound(const QSqlDatabase& db, int boundMs, int maxValueBytes);
    ~QueryBound();
    QueryBound(const QueryBound&) = delete;
    QueryBound& operator=(const QueryBound&) = delete;

    // Takes the handler and the limit off the connection; due before the connection closes.
    void release();

    bool expired() const { return m_expired; }
    QString interruptedText() const;

private:
    static int check(void* self);
    sqlite3* m_handle = nullptr;
    int m_previousLength = -1;
    int m_boundMs;
    QElapsedTimer m_timer;
    bool m_expired = false;
};
