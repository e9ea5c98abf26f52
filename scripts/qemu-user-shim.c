/* Preloaded into the emulated programs of a cross build (scripts/cross-build.sh) on a machine
 * whose kernel has no binfmt_misc entry for the target, so that the tests, which start the GUI,
 * the simulator and helper processes of their own, run as they do natively:
 * - a program of the target architecture is started through the emulator, as binfmt_misc
 *   would do; a native one without the preloaded library;
 * - Qt's process launcher is told that pidfds are unsupported: qemu-user 7.2 refuses
 *   clone(CLONE_PIDFD), and Qt then starts children the classic way.
 * Built with -DNG_QEMU="/usr/bin/qemu-<arch>-static". */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef P_PIDFD
#define P_PIDFD 3
#endif
#if defined(__aarch64__)
#define NG_MACHINE EM_AARCH64
#elif defined(__arm__)
#define NG_MACHINE EM_ARM
#else
#error "for an ARM target only"
#endif

extern char** environ;

long syscall(long number, ...)
{
    va_list ap;
    va_start(ap, number);
    long a[6];
    for (int i = 0; i < 6; ++i)
        a[i] = va_arg(ap, long);
    va_end(ap);
    if (number == SYS_waitid && a[0] == P_PIDFD) {
        errno = ENOSYS;
        return -1;
    }
    static long (*real)(long, ...);
    if (!real)
        real = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
    return real(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

static int isTargetProgram(const char* path)
{
    unsigned char header[20];
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const ssize_t n = read(fd, header, sizeof header);
    close(fd);
    return n == (ssize_t)sizeof header && memcmp(header, ELFMAG, SELFMAG) == 0
        && (header[18] | header[19] << 8) == NG_MACHINE;
}

int execve(const char* path, char* const argv[], char* const envp[])
{
    static int (*real)(const char*, char* const[], char* const[]);
    if (!real)
        real = (int (*)(const char*, char* const[], char* const[]))dlsym(RTLD_NEXT, "execve");
    if (!isTargetProgram(path)) {
        /* A native program would only complain about the preloaded library of the wrong
         * architecture on its standard error. */
        int envc = 0;
        while (envp && envp[envc])
            ++envc;
        char* native[envc + 1];
        int n = 0;
        for (int i = 0; i < envc; ++i)
            if (strncmp(envp[i], "LD_PRELOAD=", 11) != 0)
                native[n++] = envp[i];
        native[n] = NULL;
        return real(path, argv, envp ? native : envp);
    }
    int argc = 0;
    while (argv[argc])
        ++argc;
    /* emulator -0 argv[0] path argv[1..] */
    char* emulated[argc + 5];
    emulated[0] = (char*)NG_QEMU;
    emulated[1] = (char*)"-0";
    emulated[2] = argc ? argv[0] : (char*)path;
    emulated[3] = (char*)path;
    for (int i = 1; i <= argc; ++i)
        emulated[3 + i] = argv[i];
    if (argc == 0)
        emulated[4] = NULL;
    return real(NG_QEMU, emulated, envp);
}

int execv(const char* path, char* const argv[])
{
    return execve(path, argv, environ);
}
