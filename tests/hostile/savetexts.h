#pragma once

#include <QString>

// Two settings texts of different lengths, so that a cut-short save of either is no copy
// of the other.
namespace SaveTexts {
inline QString text(int which)
{
    return which == 0 ? QStringLiteral("{\"global\": {\"language\": \"de\", \"pad\": \"%1\"}}").arg(QString(150000, QLatin1Char('a')))
                      : QStringLiteral("{\"global\": {\"language\": \"fr\", \"pad\": \"%1\"}}").arg(QString(60000, QLatin1Char('b')));
}
} // namespace SaveTexts
