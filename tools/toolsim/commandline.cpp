#include "commandline.h"

#include <QRegularExpression>

namespace CommandLine {

QStringList split(const QString& line, bool* ok)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    if (ok)
        *ok = true;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else if (c == QLatin1Char('\\') && quote == QLatin1Char('"') && i + 1 < line.size()) {
                word += line.at(++i);
            } else {
                word += c;
            }
            continue;
        }
        if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('#') && !inWord) {
            break;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            inWord = true;
        } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            word += line.at(++i);
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (!quote.isNull() && ok)
        *ok = false;
    if (inWord)
        words << word;
    return words;
}

bool toInt(const QString& text, int* value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t = t.mid(1);
    }
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else if (!t.isEmpty() && t.at(0).isDigit())
        v = t.toLongLong(&ok, 10);
    if (!ok || v > 0x7fffffffLL + (negative ? 1 : 0))
        return false;
    *value = int(negative ? -v : v);
    return true;
}

bool toDouble(const QString& text, double* value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok)
        *value = v;
    return ok;
}

QString Args::value(const QString& key, const QString& fallback) const
{
    const auto it = options.constFind(key);
    return it == options.constEnd() || it->isEmpty() ? fallback : it->last();
}

Args parse(const QStringList& words)
{
    static const QRegularExpression option(QStringLiteral("^([A-Za-z][A-Za-z0-9_]*)=(.*)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    Args args;
    for (const QString& w : words) {
        const QRegularExpressionMatch m = option.match(w);
        if (m.hasMatch())
            args.options[m.captured(1)] << m.captured(2);
        else
            args.positional << w;
    }
    return args;
}

} // namespace CommandLine
