#include "jsonfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include "saferead.h"

namespace JsonFile {

bool parse(QVariant& out, const QString& hostPath)
{
    QByteArray bytes;
    if (SafeRead::read(hostPath, bytes) == SafeRead::Missing)
        return false;
    if (bytes.isEmpty())
        return false;
    return parseBytes(out, bytes);
}

bool parseBytes(QVariant& out, const QByteArray& bytes)
{
    // Wrapped in an array so that a bare value at top level parses as well; exactly one
    // element must come out, so "1],[2" is still refused.
    QByteArray wrapped;
    wrapped.reserve(bytes.size() + 4);
    wrapped += "[\n";
    wrapped += bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    wrapped += "\n]";
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(wrapped, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray() || doc.array().size() != 1) {
        out = QVariant();
        return false;
    }
    out = doc.array().at(0).toVariant();
    return true;
}

bool boolValue(const QVariant& value)
{
    return value.toString().trimmed() == QLatin1String("true");
}

} // namespace JsonFile
