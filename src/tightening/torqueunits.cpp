#include "torqueunits.h"

#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include "devicepaths.h"
#include "inputlimits.h"
#include "jsonfile.h"

void TorqueUnits::read()
{
    QVariant doc;
    if (!JsonFile::parse(doc, DevicePaths::map(QString::fromLatin1(DevicePaths::ChanCfgFile))))
        return;
    const QVariantMap settings = doc.toMap().value(QStringLiteral("EinheitDrehmoment")).toMap();
    const QVariantList units = settings.value(QStringLiteral("Faktoren")).toList();
    m_active = settings.value(QStringLiteral("Aktiv")).toInt();

    QMap<int, QString> names;
    QMap<int, double> factors;
    QMap<int, int> precisions;
    for (const QVariant& u : units) {
        const QVariantMap unit = u.toMap();
        const int id = unit.value(QStringLiteral("Id")).toInt();
        names.insert(id, InputLimits::cap(unit.value(QStringLiteral("Einheit")).toString(), InputLimits::MaxName));
        factors.insert(id, unit.value(QStringLiteral("Wert")).toDouble());
        precisions.insert(id, unit.value(QStringLiteral("Genauigkeit")).toInt());
    }
    m_names = names;
    m_factors = factors;
    m_precisions = precisions;
}

QString TorqueUnits::name(int id)
{
    if (m_names.isEmpty())
        read();
    const auto it = m_names.constFind(id);
    return it != m_names.constEnd() ? it.value() : QString::fromLatin1(FallbackName);
}

QString TorqueUnits::format(double baseValue) const
{
    const auto n = m_names.constFind(m_active);
    const auto f = m_factors.constFind(m_active);
    if (n == m_names.constEnd() || f == m_factors.constEnd())
        return QStringLiteral("-");
    return QStringLiteral("%1 %2").arg(QString::number(baseValue * f.value(), 'f', 3), n.value());
}
