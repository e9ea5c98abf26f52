#include "programcatalogue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "devicepaths.h"
#include "filelock.h"
#include "inputlimits.h"
#include "saferead.h"
#include "scriptlines.h"

namespace {

// '.' also matches a line end here, so the unit capture may hold it; it is trimmed.
const QRegularExpression& nameLine()
{
    static const QRegularExpression re(QStringLiteral("^[\\s]*prg.Name[\\s]*=[\\s]*\"(.*)\".*$"),
                                       QRegularExpression::DotMatchesEverythingOption);
    return re;
}

const QRegularExpression& unitLine()
{
    static const QRegularExpression re(QStringLiteral("^[\\s]*prg.TorqueUnit[\\s]*=[\\s]*(.*)[\\s]*$"),
                                       QRegularExpression::DotMatchesEverythingOption);
    return re;
}

const QRegularExpression& numberInName()
{
    static const QRegularExpression re(QStringLiteral("prg(.*)\\.lua"));
    return re;
}

} // namespace

QString ProgramCatalogue::filePath(const QString& fileName)
{
    return DevicePaths::map(QString::fromLatin1(DevicePaths::ProgramDir) + fileName);
}

QVariantMap ProgramCatalogue::readEntry(const QString& fileName)
{
    QString name;
    QString unit = QStringLiteral("0");
    QString number;

    const QRegularExpressionMatch m = numberInName().match(fileName);
    if (m.hasMatch())
        number = m.captured(1);

    const QString path = filePath(fileName);
    // A directory of that name is no program file.
    const bool exists = !fileName.isEmpty() && QFileInfo(path).isFile();
    if (exists) {
        QFile file;
        if (SafeRead::open(file, path) == SafeRead::Ok) {
            if (FileLock::lock(file)) {
                bool haveName = false;
                qint64 budget = FileLock::MaxReadSize;
                QByteArray raw;
                while (ScriptLines::next(file, budget, raw)) {
                    const QString line = ScriptLines::toText(raw);
                    if (!haveName) {
                        const QRegularExpressionMatch nm = nameLine().match(line);
                        if (nm.hasMatch()) {
                            name = InputLimits::cap(nm.captured(1), InputLimits::MaxName);
                            haveName = true;
                        }
                    } else {
                        const QRegularExpressionMatch um = unitLine().match(line);
                        if (um.hasMatch()) {
                            unit = InputLimits::cap(um.captured(1).trimmed(), InputLimits::MaxName);
                            break;
                        }
                    }
                }
                FileLock::unlock(file);
            }
            file.close();
        }
    }

    QVariantMap entry;
    entry.insert(QStringLiteral("name"), name);
    entry.insert(QStringLiteral("slot"), exists ? QString::number(number.toInt(nullptr, 10)) : QStringLiteral("--"));
    entry.insert(QStringLiteral("unit"), unit);
    return entry;
}

void ProgramCatalogue::sync(QString& fileName)
{
    QVariantMap e;
    if (!fileName.isEmpty() && QFileInfo(filePath(fileName)).isFile())
        e = readEntry(fileName);
    // "--": the file went away before it was read; it must not land under number 0.
    if (e.isEmpty() || e.value(QStringLiteral("slot")).toString() == QLatin1String("--")) {
        fileName.remove(QStringLiteral("prg"));
        fileName.remove(QStringLiteral(".lua"));
        bool ok = false;
        const int n = fileName.toInt(&ok, 10);
        if (ok)
            m_table.remove(n);
        return;
    }
    m_table.insert(e.value(QStringLiteral("slot")).toString().toInt(), e);
}

void ProgramCatalogue::loadAll()
{
    beginLoad();
    while (!loadSome(1000)) { }
}

void ProgramCatalogue::beginLoad()
{
    m_next = 0;
}

bool ProgramCatalogue::loadSome(int budgetMs)
{
    QElapsedTimer spent;
    spent.start();
    // Only the names that can hold a program are looked up ("prg<n>.lua", n without leading
    // zeros): the folder may hold any number of other files, which a listing would read and sort.
    while (m_next <= MaxProgram) {
        const int n = m_next++;
        QString fileName = QStringLiteral("prg%1.lua").arg(n);
        if (SafeRead::isRegularFile(filePath(fileName)))
            sync(fileName);
        else
            m_table.remove(n);
        if (spent.elapsed() >= budgetMs)
            break;
    }
    return m_next > MaxProgram;
}

QVariantList ProgramCatalogue::list() const
{
    QVariantList out;
    const auto first = m_table.constFind(FirstListed);
    if (first != m_table.constEnd())
        out.append(first.value());
    for (auto it = m_table.constBegin(); it != m_table.constEnd(); ++it) {
        if (it.key() < 0 || it.key() > MaxProgram || it.key() == FirstListed)
            continue;
        out.append(it.value());
    }
    return out;
}

QVariantMap ProgramCatalogue::entry(int slot) const
{
    const auto it = m_table.constFind(slot);
    if (it != m_table.constEnd())
        return it.value().toMap();
    QVariantMap none;
    none.insert(QStringLiteral("slot"), slot);
    none.insert(QStringLiteral("name"), QStringLiteral("--"));
    return none;
}

int ProgramCatalogue::keyPosition(int prgnr, short adc)
{
    if (prgnr != NoProgram)
        return prgnr;
    switch (adc) {
    case -77: // no key switch file
        return 0;
    case -1: // read of the wrong length
        return -88;
    case 0:
        return -1;
    case 1:
    case 2:
        return 0;
    default:
        return -88;
    }
}
