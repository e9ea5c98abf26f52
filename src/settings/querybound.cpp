#include "querybound.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <dlfcn.h>
#include <sqlite3.h>

namespace {

// SQLite's functions, from the library the driver loaded: the program itself does not load
// SQLite, so that it is not mapped and relocated before the first database is opened.
using ProgressHandlerSetter = void (*)(sqlite3*, int, int (*)(void*), void*);
using LimitSetter = int (*)(sqlite3*, int, int);

struct Sqlite
{
    ProgressHandlerSetter progressHandler = nullptr;
    LimitSetter limit = nullptr;
};

// Looked up again until found, so that a call before the driver is loaded is not remembered.
const Sqlite& sqlite()
{
    static Sqlite functions;
    if (!functions.progressHandler || !functions.limit) {
        if (void* library = dlopen("libsqlite3.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
            functions.progressHandler = reinterpret_cast<ProgressHandlerSetter>(dlsym(library, "sqlite3_progress_handler"));
            functions.limit = reinterpret_cast<LimitSetter>(dlsym(library, "sqlite3_limit"));
        }
    }
    return functions;
}

} // namespace

QueryBound::QueryBound(const QSqlDatabase& db, int boundMs, int maxValueBytes)
    : m_boundMs(boundMs)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (sqlite().progressHandler && sqlite().limit && v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3* const*>(v.constData());
    if (m_handle) {
        sqlite().progressHandler(m_handle, 1000, &QueryBound::check, this);
        m_previousLength = sqlite().limit(m_handle, SQLITE_LIMIT_LENGTH, maxValueBytes);
    }
    m_timer.start();
}

QueryBound::~QueryBound()
{
    release();
}

void QueryBound::release()
{
    if (m_handle) {
        sqlite().progressHandler(m_handle, 0, nullptr, nullptr);
        sqlite().limit(m_handle, SQLITE_LIMIT_LENGTH, m_previousLength);
        m_handle = nullptr;
    }
}

QString QueryBound::interruptedText() const
{
    return QStringLiteral("query interrupted after %1 ms").arg(m_boundMs);
}

int QueryBound::check(void* self)
{
    QueryBound* bound = static_cast<QueryBound*>(self);
    if (bound->m_timer.elapsed() > bound->m_boundMs)
        bound->m_expired = true;
    return bound->m_expired ? 1 : 0;
}
