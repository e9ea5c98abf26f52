#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The result service's database: one srbergallg row per tightening, one stuferg row per
// program step, the monitoring functions of a step in srbfncts.
class ResultStore
{
public:
    struct Function
    {
        int cmd = 0;
        double actual = 0;
        double nom = 0;
        int switching = 0;
    };
    struct Tightening
    {
        int prgNr = 0;
        QString prgName;
        int result = 1;     // > 0 OK, < 0 NOK
        int qcode = 0;
        QVariant idCode;    // null for no identification code
        int torqueUnit = 1;
        int row = 0;        // row of the final step; earlier steps are written before it
        int lastCmd = 0;
        double time = 0;
        double angle = 0;
        double torque = 0;
        QList<Function> functions; // of the final step
    };

    // hostPath: the database file on this machine.
    explicit ResultStore(const QString& hostPath);

    // Stores the tightening; returns its id (> 0) or -1 with *error set.
    int add(const Tightening& t, QString* error);

private:
    bool ensureSchema(QString* error);
    QString m_path;
};
