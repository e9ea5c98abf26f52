#include "interfacedescription.h"

#include <QXmlStreamReader>

QStringList interfaceMembers(const QString& xml, const QString& interfaceName)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inside = false;
    QString kind;
    QString name;
    QStringList args;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto a = reader.attributes();
            if (reader.name() == QLatin1String("interface")) {
                inside = a.value(QLatin1String("name")) == interfaceName;
            } else if (inside && (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal"))) {
                kind = reader.name().toString();
                name = a.value(QLatin1String("name")).toString();
                args.clear();
            } else if (inside && reader.name() == QLatin1String("arg") && !kind.isEmpty()) {
                QString direction = a.value(QLatin1String("direction")).toString();
                if (kind == QLatin1String("method") && direction.isEmpty())
                    direction = QStringLiteral("in");
                args << (direction.isEmpty() ? QString() : direction + QLatin1Char(' ')) + a.value(QLatin1String("type")).toString()
                        + QLatin1Char(' ') + a.value(QLatin1String("name")).toString();
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("interface")) {
                inside = false;
            } else if (inside && (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal"))) {
                members << (args.isEmpty() ? kind + QLatin1Char(' ') + name : kind + QLatin1Char(' ') + name + QLatin1Char(' ') + args.join(QLatin1String(", ")));
                kind.clear();
            }
        }
    }
    return members;
}
