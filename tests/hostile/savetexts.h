#pragma once

#include <QString>

// Two settings texts of different lengths, so that a cut-short save of either is no copy
// of the other, and both whole GUI settings: German goes with the blue theme, French with
// the black one, so that a screen tells which of them the GUI took.
namespace SaveTexts {
inline QString text(int which)
{
    return which == 0 ? QStringLiteral("{\"global\": {\"language\": \"de\", \"theme\": \"blue\", \"pad\": \"%1\"}, "
                                         "\"view\": {\"MainMenu\": {\"entries\": [{\"state\": \"actualValues\", \"active\": true}]}}}").arg(QString(150000, QLatin1Char('a')))
                      : QStringLiteral("{\"global\": {\"language\": \"fr\", \"theme\": \"black\", \"pad\": \"%1\"}, "
                                         "\"view\": {\"MainMenu\": {\"entries\": [{\"state\": \"actualValues\", \"active\": true}]}}}").arg(QString(60000, QLatin1Char('b')));
}
} // namespace SaveTexts
