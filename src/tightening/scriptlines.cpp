#include "scriptlines.h"

#include <QFile>

namespace ScriptLines {

bool next(QFile& file, qint64& budget, QByteArray& raw)
{
    // A line is read in pieces: readLine(n) reserves n bytes up front, and reserving the whole
    // budget for every line would make each line cost megabytes of address space (and leave
    // the allocator's thresholds raised for the rest of the process).
    constexpr qint64 Piece = 4096;
    raw.clear();
    while (budget > 0) {
        // readLine(n) reads at most n - 1 bytes.
        const QByteArray piece = file.readLine(qMin(budget, Piece) + 1);
        if (piece.isEmpty())
            break;
        budget -= piece.size();
        raw += piece;
        if (piece.endsWith('\n'))
            break;
    }
    return !raw.isEmpty();
}

QString toText(const QByteArray& raw)
{
    const int nul = raw.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? raw : raw.left(nul));
}

} // namespace ScriptLines
