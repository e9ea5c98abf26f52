#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Splitting and reading simulator commands: "result nok qcode=0x18 fn=105:12.5:12.0".
namespace CommandLine {

// Splits one scenario line into words the way a shell would for simple cases: blanks
// separate, "double" and 'single' quotes group, a backslash escapes the next character.
// A "#" at the start of a word begins a comment. Sets *ok to false on an open quote.
QStringList split(const QString& line, bool* ok = nullptr);

// Decimal or 0x-prefixed hexadecimal integer, with an optional sign.
bool toInt(const QString& text, int* value);
bool toDouble(const QString& text, double* value);

// The words of a command after its name: positional words and key=value options.
struct Args
{
    QStringList positional;
    QMap<QString, QStringList> options; // a key given twice keeps both values (fn=...)

    bool has(const QString& key) const { return options.contains(key); }
    QString value(const QString& key, const QString& fallback = QString()) const;
};

// Words of the form name=value with a name of letters and digits become options; all
// others stay positional.
Args parse(const QStringList& words);

} // namespace CommandLine
