#pragma once

#include <QString>

// The host's readers of the WLAN state: signal bars from the reported level, network name
// from the WLAN configuration, access point address from the station information file.
// Paths are host paths (already mapped).
namespace WlanStatus {

// 0..5 bars for a level in dBm; 0 outside -150..-30.
int signalBars(int level);

// The first connection's network name; "-" when the interface is switched off, "Not found"
// when it cannot be determined.
QString ssid(const QString& wlanConfigPath);

// The `interface` member of the WLAN configuration; false when missing or unparseable.
bool interfaceActive(const QString& wlanConfigPath);

// Second colon-separated field of the last line that contains "BSSID", without line feeds
// and spaces; "-" when unknown. Read without a lock (the WLAN service rewrites it on request).
QString bssid(const QString& stationInfoPath);

} // namespace WlanStatus
