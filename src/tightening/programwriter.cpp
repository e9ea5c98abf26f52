#include "programwriter.h"

#include <QFile>

#include "devicepaths.h"
#include "filelock.h"
#include "saferead.h"
#include "systemlog.h"

namespace {

const char* const Template =
    "prg={}\n"
    "prg.Name = \"Tight\"\n"
    "prg.Version = \"\"\n"
    "prg.Comment = \"\"\n"
    "prg.Date = \"%1\"\n"
    "prg.Time = \"%2\"\n"
    "--Steps\n"
    "steps={}\n"
    "--steps 1\n"
    "steps[1] = {}\n"
    "steps[1].Name = \"Start\"\n"
    "steps[1].Type = 0\n"
    "steps[1].Column = 0\n"
    "steps[1].Row = 0\n"
    "steps[1].NIO_Next = nil\n"
    "steps[1].IO_Next = 2\n"
    "steps[1].GraphResolution = 1\n"
    "steps[1].MeasuringPoints = 500\n"
    "steps[1].TorqueThreshold = 0\n"
    "steps[1].PlayStartSwitch = 5\n"
    "steps[1].CorrectionAngle = true\n"
    "steps[1].CorrectionTorqueCt = 1\n"
    "steps[1].ResultOutputSuppression = false\n"
    "--steps 2\n"
    "steps[2] = {}\n"
    "steps[2].Name = \"Tightening\"\n"
    "steps[2].Type = 1\n"
    "steps[2].Column = 0\n"
    "steps[2].Row = 1\n"
    "steps[2].IO_Next = 3\n"
    "steps[2].NIO_Next = 3\n"
    "steps[2].GraphResolution = 1\n"
    "steps[2].Category = 0\n"
    "steps[2].%3\n"
    "steps[2].StartSuppression = 0\n"
    "steps[2].TorqueThreshold = 0\n"
    "steps[2].%4\n"
    "--steps 3\n"
    "steps[3] = {}\n"
    "steps[3].Name = \"End\"\n"
    "steps[3].Type = 2\n"
    "steps[3].Column = 0\n"
    "steps[3].Row = 2\n"
    "steps[3].IO_Next = nil\n"
    "steps[3].NIO_Next = nil\n";

} // namespace

QString ProgramWriter::filePath(int slot)
{
    return DevicePaths::map(QString::fromLatin1(DevicePaths::ProgramDir) + QStringLiteral("prg%1.lua").arg(slot));
}

QString ProgramWriter::targetLine(const QString& targetName, int targetValue)
{
    if (targetName == QLatin1String("torque"))
        return QStringLiteral("TF_UpperTorque = %1").arg(targetValue);
    if (targetName == QLatin1String("angle"))
        return QStringLiteral("TF_Angle = %1").arg(targetValue);
    if (targetName == QLatin1String("time"))
        return QStringLiteral("TF_Time = %1").arg(targetValue);
    return QString();
}

QByteArray ProgramWriter::text(int speed, const QString& targetName, int targetValue, const QDateTime& now)
{
    const QString target = targetLine(targetName, targetValue);
    if (target.isEmpty())
        return QByteArray();
    // One multi-arg call, so a substituted text is never scanned for markers again.
    return QString::fromLatin1(Template)
        .arg(now.toString(QStringLiteral("dd.MM.yyyy")), now.toString(QStringLiteral("hh:mm:ss")), target,
             QStringLiteral("Speed = %1").arg(speed))
        .toUtf8();
}

bool ProgramWriter::write(int slot, int speed, const QString& targetName, int targetValue, const QDateTime& now)
{
    const QByteArray content = text(speed, targetName, targetValue, now);
    if (content.isEmpty()) {
        SystemLog::error(QStringLiteral("Unknown program target \"%1\"; program %2 not written").arg(targetName).arg(slot));
        return false;
    }

    QFile file(filePath(slot));
    // Appending: the open neither truncates nor fails on a file that a reader holds.
    if (SafeRead::openAppend(file, file.fileName()) != SafeRead::Ok) {
        SystemLog::error(QStringLiteral("Error writing program file"));
        return false;
    }
    bool locked = false;
    const bool ok = FileLock::replaceContent(file, content, &locked) == content.size();
    file.close();
    // A refused lock is logged by the lock itself and leaves the file unchanged.
    if (!locked)
        return false;
    if (!ok)
        SystemLog::error(QStringLiteral("Error writing program file"));
    return ok;
}
