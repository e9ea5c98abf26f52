#pragma once

#include <QByteArray>
#include <QString>

#include "filelock.h"

class QFile;

// The one way this process opens a file that another process may have put in its place.
// Every reader (and the rewrite of shared files) goes through here:
//  - the open never blocks (O_NONBLOCK: a FIFO without a writer or a device cannot stall
//    the GUI) and the descriptor is not inherited by children (O_CLOEXEC);
//  - the open descriptor is checked with fstat, so what is read is what was checked: only
//    a regular file is accepted, a character device only where the caller allows it (the
//    key switch file), anything else (FIFO, socket, directory, block device) is refused;
//  - nothing is logged here: callers log a refused file as they log a missing one;
//  - read() reads at most maxSize bytes, optionally under the shared fcntl read lock.
// hostPath is a path on this machine (already mapped with DevicePaths::map).
namespace SafeRead {

enum Option {
    NoOption = 0,
    Locked = 1,          // read() holds the shared read lock while reading
    AllowCharDevice = 2, // a character device is accepted besides a regular file
};
using Options = int;

enum Status {
    Ok,
    Missing,     // the open failed (no such file, no permission, ...)
    NotRegular,  // opened, but of a kind the caller does not read; closed again
    LockRefused, // read() only: the kernel refused the lock; out is untouched
};

// Opens hostPath read-only into `file` (which must not be open). On Ok the QFile owns the
// descriptor (its objectName is hostPath); character devices are opened unbuffered.
Status open(QFile& file, const QString& hostPath, Options options = NoOption);

// Opens (creating when missing, never truncating) a shared file for appending, for the
// locked rewrite in FileLock::replaceContent. Only a regular file is accepted, and a
// symbolic link is never followed (the open fails). Without `create` a missing file is
// Missing with errno ENOENT.
Status openAppend(QFile& file, const QString& hostPath, bool create = true);

// The whole content up to maxSize bytes. `out` is set only on Ok.
Status read(const QString& hostPath, QByteArray& out, Options options = Locked,
            qint64 maxSize = FileLock::MaxReadSize);

// True when hostPath names a regular file now (stat, never blocks). For paths that are
// handed to a library that opens them itself (SQLite). Without followLinks a symbolic
// link is no regular file.
bool isRegularFile(const QString& hostPath, bool followLinks = true);

} // namespace SafeRead
