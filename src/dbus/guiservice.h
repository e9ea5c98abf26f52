#pragma once

#include <QString>
#include <QVariantList>

// The GUI's own service on the system bus.
namespace GuiService {

inline constexpr const char* Name = "com.velmar.akku.GUIService";
inline constexpr const char* Path = "/GUI";
inline constexpr const char* Interface = "com.velmar.akku.gui";

// Sends the GUI signal `name` from "/GUI" with the given arguments, to no particular
// destination. Returns whether the message was queued; callers ignore it.
bool sendSignal(const QString& name, const QVariantList& args = {});

} // namespace GuiService
