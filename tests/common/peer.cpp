// The second process of the lock and database tests: takes the same fcntl locks as the
// tool's other processes, rewrites files and writes results. One line per step on stdout;
// the commands that wait go on at a line on stdin (or when stdin closes).
//   hold <path> <r|w> [<first> <rest>]  lock, "locked", wait, unlock, "unlocked"; with texts
//                                       truncate and write <first> before "locked", <rest> after
//   probe <path> <start> <len>          "none", "read <pid>" or "write <pid>": another's lock
//   chain <first> <second>              write-lock first, "locked", wait for second, "chained"
//                                       (or "error <text>"), wait, unlock both, "unlocked"
//   readloop <path> <fileA> <fileB>     "ready", read under the read lock until stdin has a line,
//                                       "seen" once both texts were read 20 times each, at the
//                                       end "reads=<n> a=<n> b=<n> bad=<n>"
//   write-programs <slot> <count>       "started", then rewrites the program <count> times
//   flip-file <path> <count>            "started", then creates and deletes the file <count> times
//   write-results <db> <id> <count> <ms>  per result one exclusive transaction held <ms> after
//                                       "locked <id>"
//   hang <name>:<path> ...              owns the bus names with an object at each path on the
//                                       system bus, "owned", and answers no call until stdin
//                                       has a line
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "programwriter.h"

namespace {

bool setLock(int fd, short type)
{
    struct flock record {};
    record.l_type = type;
    record.l_whence = SEEK_SET;
    int rc;
    do {
        rc = fcntl(fd, F_SETLKW, &record);
    } while (rc == -1 && errno == EINTR);
    return rc == 0;
}

std::string readAll(int fd)
{
    std::string data;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, size_t(n));
    return data;
}

void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int fail()
{
    std::printf("error %s\n", std::strerror(errno));
    std::fflush(stdout);
    return 1;
}

void waitForLine()
{
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        // stdin closed: the parent is gone
    }
}

bool writeText(int fd, const QString& text)
{
    const QByteArray data = text.toUtf8();
    return write(fd, data.constData(), size_t(data.size())) == data.size();
}

int hold(const QStringList& a)
{
    const bool writing = a.at(3) == QLatin1String("w");
    const QByteArray path = a.at(2).toLocal8Bit();
    const int fd = writing ? open(path, O_WRONLY | O_APPEND | O_CREAT, 0644) : open(path, O_RDONLY);
    if (fd < 0 || !setLock(fd, writing ? F_WRLCK : F_RDLCK))
        return fail();
    const bool texts = writing && a.size() >= 6;
    if (texts && (ftruncate(fd, 0) != 0 || !writeText(fd, a.at(4))))
        return fail();
    say("locked");
    waitForLine();
    if (texts && !writeText(fd, a.at(5)))
        return fail();
    setLock(fd, F_UNLCK);
    say("unlocked");
    close(fd);
    return 0;
}

int chain(const QByteArray& first, const QByteArray& second)
{
    const int fd1 = open(first, O_RDWR | O_CREAT, 0644);
    const int fd2 = open(second, O_RDWR | O_CREAT, 0644);
    if (fd1 < 0 || fd2 < 0 || !setLock(fd1, F_WRLCK))
        return fail();
    say("locked");
    if (setLock(fd2, F_WRLCK)) {
        say("chained");
    } else {
        // the other side got in first: let it go on rather than both waiting forever
        fail();
        setLock(fd1, F_UNLCK);
    }
    waitForLine();
    setLock(fd2, F_UNLCK);
    setLock(fd1, F_UNLCK);
    say("unlocked");
    return 0;
}

int probe(const QByteArray& path, long start, long len)
{
    const int fd = open(path, O_RDONLY);
    struct flock record {};
    record.l_type = F_WRLCK;
    record.l_whence = SEEK_SET;
    record.l_start = start;
    record.l_len = len;
    if (fd < 0 || fcntl(fd, F_GETLK, &record) != 0)
        return fail();
    if (record.l_type == F_UNLCK)
        say("none");
    else
        std::printf("%s %d\n", record.l_type == F_RDLCK ? "read" : "write", int(record.l_pid));
    close(fd);
    return 0;
}

bool stdinReady()
{
    struct pollfd p = { 0, POLLIN, 0 };
    return poll(&p, 1, 0) > 0;
}

int readloop(const QByteArray& path, const QString& fileA, const QString& fileB)
{
    QFile fa(fileA), fb(fileB);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return fail();
    const std::string a = fa.readAll().toStdString(), b = fb.readAll().toStdString();
    long reads = 0, seenA = 0, seenB = 0, bad = 0;
    bool announced = false;
    say("ready");
    while (!stdinReady()) {
        const int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        if (setLock(fd, F_RDLCK)) {
            const std::string content = readAll(fd);
            setLock(fd, F_UNLCK);
            ++reads;
            ++(content == a ? seenA : content == b ? seenB : bad);
        }
        close(fd);
        if (!announced && seenA >= 20 && seenB >= 20) {
            announced = true;
            say("seen");
        }
    }
    std::printf("reads=%ld a=%ld b=%ld bad=%ld\n", reads, seenA, seenB, bad);
    std::fflush(stdout);
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

int writeResults(const QString& path, int firstId, int count, int holdMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peer"));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return 2;
    QSqlQuery q(db);
    for (int id = firstId; id < firstId + count; ++id) {
        const bool ok = exec(q, QStringLiteral("BEGIN EXCLUSIVE"))
            && exec(q, QStringLiteral("INSERT INTO srbergallg (id, prg_nr, prg_name, result, qcode, id_code, torque_unit) "
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
    return 0;
}

// A tool service that hangs: the calls reach an object of this thread, which never runs its
// event loop.
int hang(const QStringList& a)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    QObject object;
    for (const QString& entry : a.mid(2)) {
        const QString path = entry.section(QLatin1Char(':'), 1);
        if (!bus.objectRegisteredAt(path) && !bus.registerObject(path, &object, QDBusConnection::ExportAllSlots))
            return fail();
        if (!bus.registerService(entry.section(QLatin1Char(':'), 0, 0)))
            return fail();
    }
    say("owned");
    waitForLine();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const QString command = a.value(1);
    if (command == QLatin1String("hold") && a.size() >= 4)
        return hold(a);
    if (command == QLatin1String("chain") && a.size() == 4)
        return chain(a.at(2).toLocal8Bit(), a.at(3).toLocal8Bit());
    if (command == QLatin1String("probe") && a.size() == 5)
        return probe(a.at(2).toLocal8Bit(), a.at(3).toLong(), a.at(4).toLong());
    if (command == QLatin1String("readloop") && a.size() == 5)
        return readloop(a.at(2).toLocal8Bit(), a.at(3), a.at(4));
    if (command == QLatin1String("write-programs") && a.size() == 4)
        return writePrograms(a.at(2).toInt(), a.at(3).toInt());
    if (command == QLatin1String("flip-file") && a.size() == 4)
        return flipFile(a.at(2), a.at(3).toInt());
    if (command == QLatin1String("write-results") && a.size() == 6)
        return writeResults(a.at(2), a.at(3).toInt(), a.at(4).toInt(), a.at(5).toInt());
    if (command == QLatin1String("hang") && a.size() >= 3)
        return hang(a);
    std::fprintf(stderr, "usage: ngpeer hold|probe|chain|readloop|write-programs|flip-file|write-results|hang ...\n");
    return 2;
}
