#pragma once

#include <QString>
#include <QStringList>

// The members of one interface in an introspection text, in their order, one line each:
// "method setNice in i incr, out i nc" / "signal jobabort". Argument directions default to
// "in" for methods; annotations are left out.
QStringList interfaceMembers(const QString& xml, const QString& interfaceName);
