#pragma once

// Argument checks and small helpers shared by the simulator's command groups.

#include "commandline.h"
#include "devicefiles.h"
#include "devicepaths.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QVariantList>

namespace ToolSimUtil {

using CommandLine::Args;
using CommandLine::toDouble;
using CommandLine::toInt;

inline bool checkOptions(const Args& a, const QStringList& allowed, QString* error)
{
    for (auto it = a.options.constBegin(); it != a.options.constEnd(); ++it) {
        if (!allowed.contains(it.key())) {
            *error = QStringLiteral("unknown option %1=").arg(it.key());
            return false;
        }
    }
    return true;
}

inline bool intArg(const QString& text, const char* what, int* value, QString* error)
{
    if (toInt(text, value))
        return true;
    *error = QStringLiteral("%1: not a number: %2").arg(QLatin1String(what), text);
    return false;
}

inline bool intOption(const Args& a, const QString& key, int* value, QString* error)
{
    if (!a.has(key))
        return true;
    return intArg(a.value(key), key.toLatin1().constData(), value, error);
}

inline bool doubleOption(const Args& a, const QString& key, double* value, QString* error)
{
    if (!a.has(key))
        return true;
    if (toDouble(a.value(key), value))
        return true;
    *error = QStringLiteral("%1: not a number: %2").arg(key, a.value(key));
    return false;
}

inline bool flagArg(const QString& text, bool* value, QString* error)
{
    if (text == QLatin1String("1") || text == QLatin1String("true")) {
        *value = true;
        return true;
    }
    if (text == QLatin1String("0") || text == QLatin1String("false")) {
        *value = false;
        return true;
    }
    *error = QStringLiteral("expected 0 or 1, got %1").arg(text);
    return false;
}

inline bool needArgs(const Args& a, int min, int max, const char* usage, QString* error)
{
    const int n = a.positional.size();
    if (n >= min && (max < 0 || n <= max))
        return true;
    *error = QStringLiteral("usage: %1").arg(QLatin1String(usage));
    return false;
}

// A name inside a directory of the tree: no separators, no way up.
inline bool plainName(const QString& name, QString* error)
{
    if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..") && name != QLatin1String(".")) {
        return true;
    }
    *error = QStringLiteral("not a plain name: %1").arg(name);
    return false;
}

// A path inside the diagnostic tree ("battery/power").
inline bool diagName(const QString& name, QString* error)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString& p : parts) {
        if (p.isEmpty() || p == QLatin1String("..") || p == QLatin1String(".")) {
            *error = QStringLiteral("not a name in the diagnostic tree: %1").arg(name);
            return false;
        }
    }
    return true;
}

inline bool lineText(const QString& text, QString* error)
{
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))) {
        *error = QStringLiteral("no quotes or line breaks allowed: %1").arg(text);
        return false;
    }
    return true;
}

inline QString programPath(int n)
{
    return QLatin1String(DevicePaths::ProgramDir) + QStringLiteral("prg%1.lua").arg(n);
}

inline QString jobPath(int n)
{
    return QLatin1String(DevicePaths::JobDir) + QStringLiteral("job%1.lua").arg(n, 3, 10, QLatin1Char('0'));
}

inline QJsonObject readJsonObject(const QString& devicePath)
{
    return QJsonDocument::fromJson(DeviceFiles::readShared(devicePath)).object();
}

} // namespace ToolSimUtil
