#include "jsontranslator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "devicepaths.h"
#include "saferead.h"
#include "systemlog.h"

namespace {

QJsonDocument parseFile(const QString& hostPath)
{
    QByteArray data;
    JSONTranslator::removeBOM(hostPath, data);
    return data.isEmpty() ? QJsonDocument() : QJsonDocument::fromJson(data);
}

} // namespace

JSONTranslator::JSONTranslator(const QString& devicePath, QObject* parent)
    : QTranslator(parent)
    , m_dir(devicePath.endsWith(QLatin1Char('/')) ? devicePath : devicePath + QLatin1Char('/'))
{
}

QString JSONTranslator::hostPath(const QString& fileName) const
{
    return DevicePaths::map(m_dir + fileName);
}

QByteArray JSONTranslator::removeBOM(const QString& hostPath, QByteArray& data)
{
    data.clear();
    QByteArray content;
    // One byte more than allowed tells an oversized file from one of exactly the limit.
    if (SafeRead::read(hostPath, content, SafeRead::NoOption, MaxFileSize + 1) != SafeRead::Ok)
        return data;
    if (content.size() > MaxFileSize) {
        SystemLog::warning(QStringLiteral("Language file too large, not read: ") + hostPath);
        return data;
    }
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    data = content;
    return data;
}

bool JSONTranslator::setLanguage(const QString& lang)
{
    m_translations.clear();
    m_errors.clear();
    // The code comes from the settings file: it names a file of this directory, nothing else.
    if (lang.isEmpty() || lang.contains(QLatin1Char('/')) || lang.contains(QLatin1Char('\0')))
        return false;
    const QJsonDocument doc = parseFile(hostPath(lang + QStringLiteral(".json")));
    if (!doc.isObject()) {
        SystemLog::warning(QStringLiteral("Language file %1 missing or unreadable; the built-in texts are shown")
                               .arg(m_dir + lang + QStringLiteral(".json")));
        return false;
    }
    const QJsonObject top = doc.object();
    const QJsonObject gui = top.value(QLatin1String("GUI")).toObject();
    for (auto it = gui.constBegin(); it != gui.constEnd(); ++it)
        m_translations.insert(it.key(), it.value().toVariant().toString());
    const QJsonObject errors = top.value(QLatin1String("syserror")).toObject();
    for (auto it = errors.constBegin(); it != errors.constEnd(); ++it) {
        bool ok = false;
        const int code = it.key().toInt(&ok, 10);
        if (ok)
            m_errors.insert(code, it.value().toVariant().toString());
    }
    return true;
}

QVariantList JSONTranslator::getLanguages() const
{
    const QJsonDocument doc = parseFile(hostPath(QStringLiteral("langs.json")));
    QVariantList list;
    const QJsonArray entries = doc.array();
    for (const QJsonValue& entry : entries) {
        if (entry.isObject())
            list.append(entry.toObject().toVariantMap());
    }
    std::stable_sort(list.begin(), list.end(), [](const QVariant& a, const QVariant& b) {
        return a.toMap().value(QStringLiteral("name")).toString() < b.toMap().value(QStringLiteral("name")).toString();
    });
    return list;
}

QString JSONTranslator::getError(int code) const
{
    const auto it = m_errors.constFind(code);
    return it != m_errors.constEnd() ? it.value() : QString::number(code);
}

QString JSONTranslator::translate(const char*, const char* sourceText, const char*, int) const
{
    if (!sourceText)
        return QString();
    const QString source = QString::fromUtf8(sourceText);
    const auto it = m_translations.constFind(source);
    return it != m_translations.constEnd() ? it.value() : source;
}

bool JSONTranslator::isEmpty() const
{
    return m_translations.isEmpty() && m_errors.isEmpty();
}
