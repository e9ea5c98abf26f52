#pragma once

#include <QByteArray>

class QFile;

// Advisory whole-file record lock (fcntl, set and wait) taken around every read and write
// of a file shared with the tool's other processes. A file open for reading only gets a
// shared read lock, any other open mode an exclusive write lock.
namespace FileLock {

bool lock(const QFile& file);
bool unlock(const QFile& file);

// Shared files are small; reads stop here so that a runaway file (or a device node in the
// wrong place) cannot make a reader read forever.
inline constexpr qint64 MaxReadSize = 4 * 1024 * 1024;

// Reads from the current position up to end of file or maxSize bytes.
QByteArray readBounded(QFile& file, qint64 maxSize = MaxReadSize);

} // namespace FileLock
