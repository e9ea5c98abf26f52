#include "jobcatalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

bool JobCatalogue::readName(const QString& path, QString& name)
{
    QFile file;
    if (SafeRead::open(file, path) != SafeRead::Ok)
        return false;
    bool found = false;
    if (FileLock::lock(file)) {
        qint64 budget = FileLock::MaxReadSize;
        QByteArray raw;
        // Only the end of the file gives an empty line; a blank line keeps its line end.
        while (ScriptLines::next(file, budget, raw)) {
            const QString line = ScriptLines::toText(raw);
            if (line.contains(QLatin1String("jobName"))) {
                name = InputLimits::cap(nameOf(line), InputLimits::MaxName);
                found = true;
                break;
            }
        }
        FileLock::unlock(file);
    }
    file.close();
    return found;
}

void JobCatalogue::load()
{
    m_table.clear();
    // Only the 256 names that can hold a job are looked up: the folder may hold any number of
    // other files, which a listing would read and sort.
    for (int n = 0; n <= MaxJob; ++n) {
        const QString path = filePath(n);
        QString name;
        if (SafeRead::isRegularFile(path) && readName(path, name))
            m_table.insert(n, name);
    }
}

void JobCatalogue::reload(int number)
{
    QString name;
    if (number >= 0 && number <= MaxJob && QFileInfo(filePath(number)).isFile() && readName(filePath(number), name))
        m_table.insert(number, name);
    else
        m_table.remove(number);
}

int JobCatalogue::numberOfFile(const QString& devicePath)
{
    static const QRegularExpression re(QStringLiteral("^job([0-9]{3})\\.lua$"));
    const QString dir = QString::fromLatin1(DevicePaths::JobDir);
    if (!devicePath.startsWith(dir))
        return -1;
    const QRegularExpressionMatch m = re.match(devicePath.mid(dir.size()));
    if (!m.hasMatch())
        return -1;
    const int n = m.captured(1).toInt();
    return n <= MaxJob ? n : -1;
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
