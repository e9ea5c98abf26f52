#pragma once

#include <QString>
#include <QVariant>

// The host's JSON file reader: the file is read whole under the shared file lock and then
// parsed. Objects become QVariantMap, arrays QVariantList.
namespace JsonFile {

// hostPath is a path on this machine (already mapped with DevicePaths::map). Returns false
// for a missing, empty or unparseable file; out is left unchanged when the file cannot be
// opened and set to an invalid QVariant when the content does not parse.
bool parse(QVariant& out, const QString& hostPath);

// Parses bytes the same way (for content already in memory).
bool parseBytes(QVariant& out, const QByteArray& bytes);

// True only for the trimmed text "true" (so a JSON true, or the diag text "true\n").
bool boolValue(const QVariant& value);

} // namespace JsonFile
