// Commands around the memory card: put it in, take it out, unmount it, and make the
// firmware's export and import scripts fail with a reason of one's choice.
#include "toolsim.h"

#include "cmdutil.h"
#include "devicefiles.h"
#include "devicepaths.h"

#include <QDir>
#include <QFile>

using namespace ToolSimUtil;

namespace {

const char* const BlockDir = "/sys/class/block/";
const char* const PartitionMount = "/mnt/mmc/mmcblk0p1";
const char* const DeviceMount = "/mnt/mmc/mmcblk0";
// Where the card's files wait while the card is not mounted.
const char* const CardStore = "/var/lib/toolsim/card";
const char* const FailDir = "/var/run/toolsim/";
const char* const ExchangeLog = "/var/log/exchange.log";

QString host(const char* devicePath)
{
    return DevicePaths::map(QString::fromLatin1(devicePath));
}

// The card's files are in exactly one of the three places; moves them to `to`.
bool moveCard(const char* to, QString* error)
{
    for (const char* from : { PartitionMount, DeviceMount, CardStore }) {
        if (!QFileInfo(host(from)).isDir())
            continue;
        if (qstrcmp(from, to) == 0)
            return true;
        QDir().mkpath(QFileInfo(host(to)).path());
        if (QDir().rename(host(from), host(to)))
            return true;
        *error = QStringLiteral("cannot move the card's files to %1").arg(QLatin1String(to));
        return false;
    }
    QDir().mkpath(host(to));
    return true;
}

void setBlockDevices(const QStringList& names)
{
    QDir dir(host(BlockDir));
    for (const QString& old : dir.entryList({ QStringLiteral("mmcblk*") }, QDir::AllEntries | QDir::NoDotAndDotDot))
        QDir(dir.filePath(old)).removeRecursively();
    for (const QString& name : names)
        dir.mkpath(name);
}

} // namespace

bool ToolSim::cmdCard(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "card in|out|unmounted|nopartition", error) || !checkOptions(a, {}, error))
        return false;
    const QString state = a.positional[0];
    const QStringList both{ QStringLiteral("mmcblk0"), QStringLiteral("mmcblk0p1") };
    if (state == QLatin1String("in")) {
        if (!moveCard(PartitionMount, error))
            return false;
        setBlockDevices(both);
    } else if (state == QLatin1String("out")) {
        if (!moveCard(CardStore, error))
            return false;
        setBlockDevices({});
    } else if (state == QLatin1String("unmounted")) {
        if (!moveCard(CardStore, error))
            return false;
        setBlockDevices(both);
    } else if (state == QLatin1String("nopartition")) {
        if (!moveCard(DeviceMount, error))
            return false;
        setBlockDevices({ QStringLiteral("mmcblk0") });
    } else {
        *error = QStringLiteral("usage: card in|out|unmounted|nopartition");
        return false;
    }
    done(true, QStringLiteral("card %1").arg(state));
    return true;
}

// exchangefail export|import REASON...: the script prints the reason and fails until
// "exchangefail export|import off".
bool ToolSim::cmdExchangeFail(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 2, -1, "exchangefail export|import REASON...|off", error) || !checkOptions(a, {}, error))
        return false;
    const QString op = a.positional[0];
    if (op != QLatin1String("export") && op != QLatin1String("import")) {
        *error = QStringLiteral("usage: exchangefail export|import REASON...|off");
        return false;
    }
    const QString file = host(FailDir) + op + QStringLiteral(".fail");
    const QString reason = a.positional.mid(1).join(QLatin1Char(' '));
    if (reason == QLatin1String("off")) {
        QFile::remove(file);
        done(true, QStringLiteral("%1 works").arg(op));
        return true;
    }
    QDir().mkpath(host(FailDir));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(reason.toUtf8() + '\n') < 0) {
        *error = QStringLiteral("cannot write %1").arg(file);
        return false;
    }
    done(true, QStringLiteral("%1 fails with: %2").arg(op, reason));
    return true;
}

// What the export and import scripts were asked, one line per run.
bool ToolSim::cmdExchangeLog(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 0, 0, "exchangelog", error) || !checkOptions(a, {}, error))
        return false;
    QFile f(host(ExchangeLog));
    QByteArray text;
    if (f.open(QIODevice::ReadOnly))
        text = f.read(1 << 16);
    done(true, QString::fromUtf8(text).trimmed());
    return true;
}
