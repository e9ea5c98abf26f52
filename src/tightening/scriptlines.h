#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Line reading shared by the program and job catalogues: script files of the tool are
// read line by line under the read lock.
namespace ScriptLines {

// Reads the next line (line end included) into raw; false at the end of the file. At
// most FileLock::MaxReadSize bytes of one file are read in all (budget counts down), so
// a runaway file cannot stall the reader.
bool next(QFile& file, qint64& budget, QByteArray& raw);

// One line as text: the raw bytes up to the first zero byte, decoded as UTF-8.
QString toText(const QByteArray& raw);

} // namespace ScriptLines
