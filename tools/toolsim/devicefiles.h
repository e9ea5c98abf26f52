#pragma once

#include <QByteArray>
#include <QString>

// The simulated tool's files, all under the system root (TOOL_SYSROOT). Every path given
// here is a device path ("/var/run/diag/prgnr").
namespace DeviceFiles {

// Fills an empty system root from the sample tree: files are copied with their
// permissions, "*.sq3.sql" scripts become the SQLite databases they describe. With
// fresh, a root that the simulator filled before is emptied first; a non-empty root
// it did not fill is refused.
bool fillSysroot(const QString& root, const QString& sampleDir, bool fresh, QString* error);

// On a development board or a VM, without system root: creates the device files that are
// missing from the sample tree and keeps every file that is there; the kernel's trees
// (/proc, /sys) are not touched.
bool fillDevice(const QString& sampleDir, QString* error);

// Rewrites a file shared with the other processes: open for appending (never truncated
// by the open), write lock, truncate, write, flush, fsync, unlock.
bool writeShared(const QString& devicePath, const QByteArray& content);

// Reads a whole file under the read lock; empty when missing.
QByteArray readShared(const QString& devicePath);

// A plain write without lock (kernel files such as the key switch).
bool writePlain(const QString& devicePath, const QByteArray& content);

bool remove(const QString& devicePath);
bool exists(const QString& devicePath);

// The diagnostic tree: "/var/run/diag/" + name.
QString diagPath(const QString& name);
bool writeDiag(const QString& name, const QString& value);
QString readDiag(const QString& name, const QString& fallback = QString());
int readDiagInt(const QString& name, int fallback);

} // namespace DeviceFiles
