#pragma once

#include <QString>

// Every fixed path of the device goes through here. In production TOOL_SYSROOT is unset
// and the paths are used as they stand; on a desktop or in a test it names a directory
// that stands in for "/" (the simulator's sandbox). Paths received from peers over D-Bus
// are device paths too and are mapped the same way.
namespace DevicePaths {

// The system root prefix without a trailing slash ("" in production).
QString sysroot();

// Maps an absolute device path ("/home/tool/config/guiconfig.json") to the path on this
// machine. Relative paths and paths already inside the system root are returned unchanged.
QString map(const QString& devicePath);

// The inverse of map(): a host path inside the system root back to its device path.
QString unmap(const QString& hostPath);

// The run-time root of the diagnostic tree: LOCAL_VAR_ROOT_PATH when set (even empty,
// used verbatim), otherwise "/var/run/" mapped into the system root.
QString runtimeRoot();

// Fixed device paths of the tool.
inline constexpr const char* ConfigDir = "/home/tool/config/";
inline constexpr const char* GuiConfigFile = "/home/tool/config/guiconfig.json";
inline constexpr const char* WlanConfigFile = "/home/tool/config/wlan.json";
inline constexpr const char* ChanCfgFile = "/home/tool/config/ChanCfg.json";
inline constexpr const char* ProgramDir = "/home/tool/config/srbprg/";
inline constexpr const char* JobDir = "/home/tool/config/jobs/";
inline constexpr const char* PlcTable = "/home/tool/config/plctab";
inline constexpr const char* LangDir = "/home/tool/config/langs/";
inline constexpr const char* PrgImporterMarker = "/home/tool/config/prg_importer";
inline constexpr const char* ResultDb = "/home/tool/data/result.sq3";
inline constexpr const char* ActivityDb = "/var/log/activity.sq3";
inline constexpr const char* DiagDir = "/var/run/diag/";
inline constexpr const char* ResServicesDir = "/var/run/diag/res_services/";
inline constexpr const char* ResConStatesDir = "/var/run/diag/ResConStates";
inline constexpr const char* StationInfoFile = "/var/run/diag/tiwlan/station-info.dat";
inline constexpr const char* KeySwitchFile = "/proc/orimctrl/adcval";
inline constexpr const char* VersionFile = "/etc/version";

} // namespace DevicePaths
