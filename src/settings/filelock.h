#pragma once

#include <QByteArray>

class QFile;

// Advisory whole-file record lock (fcntl, set and wait) taken around every read and write
// of a file shared with the tool's other processes. A file open for reading only gets a
// shared read lock, any other open mode an exclusive write lock.
namespace FileLock {

bool lock(const QFile& file);
bool unlock(const QFile& file);

// The same lock, but waiting at most waitMs for another process to release a conflicting
// one (for the GUI thread). A refusal other than a conflict is logged as by lock().
enum Outcome { Granted, Busy, Refused };
Outcome lockWithin(const QFile& file, int waitMs);

// Shared files are small; reads stop here so that a runaway file (or a device node in the
// wrong place) cannot make a reader read forever.
inline constexpr qint64 MaxReadSize = 4 * 1024 * 1024;

// Reads from the current position up to end of file or maxSize bytes.
QByteArray readBounded(QFile& file, qint64 maxSize = MaxReadSize);

// The whole content of a file opened read-only, read under the read lock (bounded as above).
// False when the lock was refused; `out` is then left alone.
bool readLocked(QFile& file, QByteArray& out);

// The safe rewrite of a shared file that the caller opened for appending (which neither
// creates a partial state nor truncates): lock, truncate, write, flush, fsync, unlock.
// Readers holding the read lock therefore see the old or the whole new content, never an
// empty or partial file. Returns the bytes written, or -1 when the lock was refused or
// truncating, flushing or syncing failed; *locked tells whether the lock was granted.
qint64 replaceContent(QFile& file, const QByteArray& content, bool* locked = nullptr);

} // namespace FileLock
