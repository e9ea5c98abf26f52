#pragma once

#include <QString>
#include <QStringList>

// The process's system log: identity "newgui", the process id in every line, user facility.
// NEWGUI_LOG_STDERR=1 mirrors every line to standard error (desktop runs, tests), prefixed
// with its level: "<3>FLOCK failed: ...".
namespace SystemLog {

enum Level { Error = 3, Warning = 4, Info = 6, Debug = 7 };

void open();
void write(Level level, const QString& message);

inline void error(const QString& m) { write(Error, m); }
inline void warning(const QString& m) { write(Warning, m); }
inline void info(const QString& m) { write(Info, m); }
inline void debug(const QString& m) { write(Debug, m); }

// In-process capture for tests: every line written while capturing is kept as "<level>text".
void startCapture();
QStringList capturedLines();
void stopCapture();

} // namespace SystemLog
