#pragma once

#include <QString>

// The tool's activity log "/var/log/activity.sq3": an SQLite database that other processes
// create and read; the GUI only appends rows to its table `activity` (user 4: the display).
// Appends go through the process's default SQLite connection (shared with the result
// reader): the name is set before each open and the connection closed afterwards.
namespace ActivityLog {

// How long one append may wait for another writer's lock. The GUI thread blocks at most
// about twice this long per entry (preparing and executing); after that the entry is lost.
inline constexpr int BusyTimeoutMs = 100;
// How long preparing and executing one append may run (a trigger of the table included),
// and the longest value it may make.
inline constexpr int StatementBoundMs = 200;
inline constexpr int MaxValueBytes = 64 * 1024;

// Appends one entry stamped with the current time. A missing database is logged as
// "Activity database not found!" and never created; a database that cannot be opened,
// is read-only, locked or corrupt loses the entry with a warning. True when the row was written.
bool append(int code, const QString& value1, const QString& value2, const QString& value3, const QString& value4);

} // namespace ActivityLog
