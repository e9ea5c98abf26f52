#include "scriptlines.h"

#include <QFile>

namespace ScriptLines {

bool next(QFile& file, qint64& budget, QByteArray& raw)
{
    if (budget <= 0)
        return false;
    // readLine(n) reads at most n - 1 bytes.
    raw = file.readLine(budget + 1);
    budget -= raw.size();
    return !raw.isEmpty();
}

QString toText(const QByteArray& raw)
{
    const int nul = raw.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? raw : raw.left(nul));
}

} // namespace ScriptLines
