#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A field of /proc/<process>/<file> ("VmRSS:" of status, "Private_Dirty:" of smaps_rollup)
// in MiB; 0 when it cannot be read. `process` is a pid or "self".
inline double procMiB(const QString& process, const char* file, const QByteArray& field)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(process, QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
