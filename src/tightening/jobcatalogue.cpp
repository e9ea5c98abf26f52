#include "jobcatalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

#include "devicepaths.h"
#include "filelock.h"
#include "inputlimits.h"
#include "saferead.h"
#include "scriptlines.h"

QString JobCatalogue::filePath(int number)
{
    return DevicePaths::map(QString::fromLatin1(DevicePaths::JobDir)
                            + QStringLiteral("job%1.lua").arg(number, 3, 10, QLatin1Char('0')));
}

QString JobCatalogue::nameOf(const QString& line)
{
    const QStringList pieces = line.split(QLatin1Char('='), Qt::KeepEmptyParts);
    return pieces.size() > 1 ? pieces.at(1) : QString(QLatin1String(""));
}

void JobCatalogue::load()
{
    m_table.clear();
    for (int n = 0; n <= MaxJob; ++n) {
        const QString path = filePath(n);
        if (!QFileInfo(path).isFile())
            continue;
        QFile file;
        if (SafeRead::open(file, path) != SafeRead::Ok)
            continue;
        if (FileLock::lock(file)) {
            qint64 budget = FileLock::MaxReadSize;
            QByteArray raw;
            // Only the end of the file gives an empty line; a blank line keeps its line end.
            while (ScriptLines::next(file, budget, raw)) {
                const QString line = ScriptLines::toText(raw);
                if (line.contains(QLatin1String("jobName"))) {
                    m_table.insert(n, InputLimits::cap(nameOf(line), InputLimits::MaxName));
                    break;
                }
            }
            FileLock::unlock(file);
        }
        file.close();
    }
}

QVariantList JobCatalogue::list() const
{
    QVariantList out;
    for (auto it = m_table.constBegin(); it != m_table.constEnd(); ++it) {
        QVariantMap e;
        e.insert(QStringLiteral("slot"), static_cast<uint>(it.key()));
        e.insert(QStringLiteral("name"), it.value());
        out.append(e);
    }
    return out;
}
