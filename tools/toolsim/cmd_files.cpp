// Commands that write the tool's configuration files and announce them.
#include "toolsim.h"

#include "cmdutil.h"
#include "devicefiles.h"
#include "devicepaths.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

using namespace ToolSimUtil;

namespace {

QString programScript(const QString& name, int unit, double torque)
{
    const QDateTime now = QDateTime::currentDateTime();
    QStringList l;
    l << QStringLiteral("prg={}")
      << QStringLiteral("prg.Name = \"%1\"").arg(name)
      << QStringLiteral("prg.TorqueUnit = %1").arg(unit)
      << QStringLiteral("prg.Version = \"1\"")
      << QStringLiteral("prg.Comment = \"\"")
      << QStringLiteral("prg.Date = \"%1\"").arg(now.toString(QStringLiteral("dd.MM.yyyy")))
      << QStringLiteral("prg.Time = \"%1\"").arg(now.toString(QStringLiteral("hh:mm:ss")))
      << QStringLiteral("--Steps")
      << QStringLiteral("steps={}")
      << QStringLiteral("--steps 1")
      << QStringLiteral("steps[1] = {}")
      << QStringLiteral("steps[1].Name = \"Start\"")
      << QStringLiteral("steps[1].Type = 0")
      << QStringLiteral("steps[1].Row = 0")
      << QStringLiteral("steps[1].NIO_Next = nil")
      << QStringLiteral("steps[1].IO_Next = 2")
      << QStringLiteral("--steps 2")
      << QStringLiteral("steps[2] = {}")
      << QStringLiteral("steps[2].Name = \"Tightening\"")
      << QStringLiteral("steps[2].Type = 1")
      << QStringLiteral("steps[2].Row = 1")
      << QStringLiteral("steps[2].IO_Next = 3")
      << QStringLiteral("steps[2].NIO_Next = 3")
      << QStringLiteral("steps[2].TF_UpperTorque = %1").arg(torque)
      << QStringLiteral("steps[2].MonTorqueMin = %1").arg(torque * 0.9)
      << QStringLiteral("steps[2].MonTorqueMax = %1").arg(torque * 1.1)
      << QStringLiteral("steps[2].Speed = 300")
      << QStringLiteral("--steps 3")
      << QStringLiteral("steps[3] = {}")
      << QStringLiteral("steps[3].Name = \"End\"")
      << QStringLiteral("steps[3].Type = 2")
      << QStringLiteral("steps[3].Row = 2")
      << QStringLiteral("steps[3].IO_Next = nil")
      << QStringLiteral("steps[3].NIO_Next = nil");
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

bool ToolSim::cmdProgram(const Args& a, const Done& done, QString* error)
{
    int n = 0, unit = m_activeUnit;
    double torque = 12.0;
    if (!needArgs(a, 1, 1, "program N [name=TEXT] [unit=N] [torque=X]", error)
        || !checkOptions(a, { QStringLiteral("name"), QStringLiteral("unit"), QStringLiteral("torque") }, error)
        || !intArg(a.positional[0], "program", &n, error) || !intOption(a, QStringLiteral("unit"), &unit, error)
        || !doubleOption(a, QStringLiteral("torque"), &torque, error))
        return false;
    const QString name = a.value(QStringLiteral("name"), QStringLiteral("Tight"));
    if (n < 0 || n > 255) {
        *error = QStringLiteral("program: 0 to 255");
        return false;
    }
    if (!lineText(name, error))
        return false;
    const QString path = programPath(n);
    if (!DeviceFiles::writeShared(path, programScript(name, unit, torque).toUtf8())) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdDelProgram(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "delprogram N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "program", &n, error))
        return false;
    const QString path = programPath(n);
    if (!DeviceFiles::remove(path)) {
        *error = QStringLiteral("cannot delete %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdJob(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "job N [name=TEXT]", error) || !checkOptions(a, { QStringLiteral("name") }, error)
        || !intArg(a.positional[0], "job", &n, error))
        return false;
    if (n < 0 || n > 255) {
        *error = QStringLiteral("job: 0 to 255");
        return false;
    }
    const QString name = a.value(QStringLiteral("name"), QStringLiteral("Job %1").arg(n));
    if (!lineText(name, error))
        return false;
    const QString path = jobPath(n);
    const QString prg = QString::number(m_prgnr >= 0 ? m_prgnr : 1);
    const QString text = QStringLiteral("-- jobName=%1\n"
                                        "job = {}\n"
                                        "job.Name = \"%1\"\n"
                                        "job.Steps = {}\n"
                                        "job.Steps[1] = { Prg = %2, Count = 4 }\n"
                                        "job.Steps[2] = { Prg = %2, Count = 2 }\n")
                             .arg(name, prg);
    if (!DeviceFiles::writeShared(path, text.toUtf8())) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdDelJob(const Args& a, const Done& done, QString* error)
{
    int n = 0;
    if (!needArgs(a, 1, 1, "deljob N", error) || !checkOptions(a, {}, error) || !intArg(a.positional[0], "job", &n, error))
        return false;
    if (n < 0 || n > 255) {
        *error = QStringLiteral("job: 0 to 255");
        return false;
    }
    const QString path = jobPath(n);
    if (!DeviceFiles::remove(path)) {
        *error = QStringLiteral("cannot delete %1").arg(path);
        return false;
    }
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdChanCfg(const Args& a, const Done& done, QString* error)
{
    int active = m_activeUnit;
    if (!needArgs(a, 0, 0, "chancfg [active=ID]", error) || !checkOptions(a, { QStringLiteral("active") }, error)
        || !intOption(a, QStringLiteral("active"), &active, error))
        return false;
    const QString path = QLatin1String(DevicePaths::ChanCfgFile);
    QJsonObject doc = readJsonObject(path);
    QJsonObject units = doc.value(QLatin1String("EinheitDrehmoment")).toObject();
    units[QLatin1String("Aktiv")] = active;
    doc[QLatin1String("EinheitDrehmoment")] = units;
    if (!DeviceFiles::writeShared(path, QJsonDocument(doc).toJson(QJsonDocument::Indented))) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    m_activeUnit = active;
    announce(path);
    done(true, path);
    return true;
}

bool ToolSim::cmdCfgChanged(const Args& a, const Done& done, QString* error)
{
    if (!needArgs(a, 1, 1, "cfgchanged DEVICEPATH", error))
        return false;
    announce(a.positional[0]);
    done(true, a.positional[0]);
    return true;
}
