#pragma once

#include <QMap>
#include <QString>

// The torque units of the channel configuration ("EinheitDrehmoment"): name, factor and
// precision per unit id, and the active unit.
class TorqueUnits
{
public:
    // Name of any id the table does not hold.
    static constexpr const char* FallbackName = "Nm";

    // Re-reads the channel configuration; a missing or unparsable file changes nothing.
    void read();

    // The unit's name, or "Nm"; reads the file first while the table is empty.
    QString name(int id);
    QString activeName() { return name(m_active); }

    int activeId() const { return m_active; }
    bool isEmpty() const { return m_names.isEmpty(); }
    const QMap<int, QString>& names() const { return m_names; }
    const QMap<int, double>& factors() const { return m_factors; }
    const QMap<int, int>& precisions() const { return m_precisions; }

    // A torque in the tool's base unit shown in the active unit: value x factor with 3
    // decimals, a blank and the unit's name ("7.376 ft lb"); "-" when the table has no
    // name or no factor for the active id.
    QString format(double baseValue) const;

private:
    QMap<int, QString> m_names;
    QMap<int, double> m_factors;
    QMap<int, int> m_precisions;
    int m_active = 0;
};
