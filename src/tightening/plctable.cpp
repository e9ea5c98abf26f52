#include "plctable.h"

#include <QRegularExpression>
#include <QStringList>

#include <functional>

#include "inputlimits.h"
#include "saferead.h"

namespace PlcTable {
namespace {

const QString ModuleFile = QStringLiteral("mod_tool.lua");

// Each line as the script reader sees it: the raw bytes up to the first NUL, as 8-bit text,
// with its line feed. `visit` returns false to stop reading.
void readLines(const QString& dir, const std::function<bool(const QString&)>& visit)
{
    QByteArray content;
    if (SafeRead::read(dir + QLatin1Char('/') + ModuleFile, content) != SafeRead::Ok)
        return;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        QByteArray line = content.mid(start, end - start);
        start = end;
        const qsizetype nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        if (!visit(QString::fromLatin1(line)))
            return;
    }
}

const QRegularExpression& assignmentPattern()
{
    static const QRegularExpression re(QStringLiteral("\\s*module.in_tab\\[(.*)\\]\\s*=\\s*plc.In.(.*)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

} // namespace

QVariantMap keyTexts(const QString& dir)
{
    QVariantMap texts { { QStringLiteral("L"), QString() },
                        { QStringLiteral("M"), QString() },
                        { QStringLiteral("R"), QString() } };
    static const QStringList keys { QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("R") };
    readLines(dir, [&](const QString& line) {
        const QRegularExpressionMatch m = assignmentPattern().match(line);
        if (m.hasMatch()) {
            bool ok = false;
            const int index = m.captured(1).toInt(&ok, 10);
            if (ok && index >= 4 && index <= 6)
                texts.insert(keys.at(index - 4), InputLimits::cap(m.captured(2).trimmed(), InputLimits::MaxName));
        }
        return true;
    });
    return texts;
}

QString textOfBit(const QVariantMap& texts, int bit)
{
    switch (bit) {
    case LeftBit: return texts.value(QStringLiteral("L")).toString();
    case MiddleBit: return texts.value(QStringLiteral("M")).toString();
    case RightBit: return texts.value(QStringLiteral("R")).toString();
    default: return QString();
    }
}

bool moduleActive(const QString& dir)
{
    // Exactly one white-space character on each side of "=".
    static const QRegularExpression re(QStringLiteral("module.active[\\s]=[\\s](TrUe|false)"),
                                       QRegularExpression::CaseInsensitiveOption);
    QString value;
    readLines(dir, [&](const QString& line) {
        const QRegularExpressionMatch m = re.match(line);
        if (!m.hasMatch())
            return true;
        value = m.captured(1);
        return false;
    });
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool allProgramsAvailable(const QString& dir)
{
    static const QRegularExpression re(
        QStringLiteral("\\s*module.in_tab\\[[0-9]{1,2}\\]\\s*=\\s*plc.In.Prog([0-7]{1,1}\\s*\n*$)"),
        QRegularExpression::CaseInsensitiveOption);
    bool seen[8] = {};
    readLines(dir, [&](const QString& line) {
        const QRegularExpressionMatch m = re.match(line);
        if (m.hasMatch()) {
            bool ok = false;
            const int n = m.captured(1).trimmed().toInt(&ok, 10);
            if (ok && n >= 0 && n <= 7)
                seen[n] = true;
        }
        return true;
    });
    for (bool s : seen)
        if (!s)
            return false;
    return true;
}

} // namespace PlcTable
