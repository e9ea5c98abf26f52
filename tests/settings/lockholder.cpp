// A second process that takes the same fcntl locks as the tool's other processes do.
//   lockholder hold <path> <r|w>        lock, print "locked", wait for a line on stdin, unlock
//   lockholder probe <path> <start> <len>  print the lock another process holds there:
//                                       "none", "read <pid>" or "write <pid>"
//   lockholder chain <first> <second>   write-lock first, print "locked", then wait for a
//                                       write lock on second, print "chained" (or "error
//                                       <text>"), wait for a line on stdin, unlock both
//   lockholder readloop <path> <fileA> <fileB>
//                                       read the file under the read lock until a line
//                                       arrives on stdin; print "seen" once both expected
//                                       contents were read 20 times, at the end
//                                       "reads=<n> a=<n> b=<n> bad=<n>"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

bool setLock(int fd, short type)
{
    struct flock record;
    std::memset(&record, 0, sizeof record);
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
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        data.append(buffer, size_t(n));
    }
    return data;
}

bool readFile(const char* path, std::string& out)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0)
        return false;
    out = readAll(fd);
    close(fd);
    return true;
}

bool stdinReady()
{
    struct pollfd p = { 0, POLLIN, 0 };
    return poll(&p, 1, 0) > 0;
}

void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int hold(const char* path, bool write)
{
    const int fd = write ? open(path, O_WRONLY | O_APPEND | O_CREAT, 0644) : open(path, O_RDONLY);
    if (fd < 0 || !setLock(fd, write ? F_WRLCK : F_RDLCK)) {
        std::printf("error %s\n", std::strerror(errno));
        return 1;
    }
    say("locked");
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        // stdin closed: the parent is gone, leave the lock with the process
    }
    setLock(fd, F_UNLCK);
    say("unlocked");
    close(fd);
    return 0;
}

int chain(const char* first, const char* second)
{
    const int fd1 = open(first, O_RDWR | O_CREAT, 0644);
    const int fd2 = open(second, O_RDWR | O_CREAT, 0644);
    if (fd1 < 0 || fd2 < 0 || !setLock(fd1, F_WRLCK)) {
        std::printf("error %s\n", std::strerror(errno));
        return 1;
    }
    say("locked");
    if (setLock(fd2, F_WRLCK)) {
        say("chained");
    } else {
        // the other side got in first: let it go on rather than both waiting forever
        std::printf("error %s\n", std::strerror(errno));
        std::fflush(stdout);
        setLock(fd1, F_UNLCK);
    }
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
    }
    setLock(fd2, F_UNLCK);
    setLock(fd1, F_UNLCK);
    say("unlocked");
    return 0;
}

int probe(const char* path, long start, long len)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        std::printf("error %s\n", std::strerror(errno));
        return 1;
    }
    struct flock record;
    std::memset(&record, 0, sizeof record);
    record.l_type = F_WRLCK;
    record.l_whence = SEEK_SET;
    record.l_start = start;
    record.l_len = len;
    if (fcntl(fd, F_GETLK, &record) != 0) {
        std::printf("error %s\n", std::strerror(errno));
        return 1;
    }
    if (record.l_type == F_UNLCK)
        std::printf("none\n");
    else
        std::printf("%s %d\n", record.l_type == F_RDLCK ? "read" : "write", int(record.l_pid));
    close(fd);
    return 0;
}

int readloop(const char* path, const char* fileA, const char* fileB)
{
    std::string a, b;
    if (!readFile(fileA, a) || !readFile(fileB, b)) {
        say("error expected contents");
        return 1;
    }
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
            if (content == a)
                ++seenA;
            else if (content == b)
                ++seenB;
            else
                ++bad;
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

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "hold" && argc == 4)
        return hold(argv[2], argv[3][0] == 'w');
    if (command == "chain" && argc == 4)
        return chain(argv[2], argv[3]);
    if (command == "probe" && argc == 5)
        return probe(argv[2], std::atol(argv[3]), std::atol(argv[4]));
    if (command == "readloop" && argc == 5)
        return readloop(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: lockholder hold|chain|probe|readloop ...\n");
    return 2;
}
