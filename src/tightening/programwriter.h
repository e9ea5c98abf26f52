#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Writes a simple three-step program (start, tightening to one target, end) over a
// program file. Keeps no state.
class ProgramWriter
{
public:
    // The target line after "steps[2]." for "torque", "angle" or "time"; empty for any
    // other name.
    static QString targetLine(const QString& targetName, int targetValue);

    // The complete 45-line program text; empty for an unknown target name.
    static QByteArray text(int speed, const QString& targetName, int targetValue, const QDateTime& now);

    // Writes prg<slot>.lua under the write lock (open for appending, lock, truncate,
    // write, flush, sync, unlock). Returns true when the whole text was written. An
    // unknown target name is refused with a log line and the file is left untouched.
    static bool write(int slot, int speed, const QString& targetName, int targetValue,
                      const QDateTime& now = QDateTime::currentDateTime());

    static QString filePath(int slot);
};
