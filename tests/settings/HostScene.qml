import QtQuick

// A scene root that records the root functions of the settings, WLAN and diagnostic-tree
// members as "name arg1 arg2 ...", with " locked" appended when the host's state mutex is
// held during the call (asked through the context property `mutexProbe`).
Item {
    id: root
    objectName: "hostScene"
    width: 240
    height: 320

    property var calls: []

    function describe(v) {
        if (v !== null && typeof v === "object")
            return JSON.stringify(v)
        return String(v)
    }
    function record(name, args) {
        var parts = [name]
        for (var i = 0; i < args.length; ++i)
            parts.push(describe(args[i]))
        var locked = false
        try {
            locked = mutexProbe.held()
        } catch (e) {
        }
        var c = calls.slice()
        c.push(parts.join(" ") + (locked ? " locked" : ""))
        calls = c
    }

    function loadCfg() { record("loadCfg", arguments) }
    function wlanInterface(active) { record("wlanInterface", arguments) }
    function setFccTestMode(active) { record("setFccTestMode", arguments) }
    function reloadInfo() { record("reloadInfo", arguments) }
    function reloadWlan() { record("reloadWlan", arguments) }
    function setWlanRestarted(restarted) { record("setWlanRestarted", arguments) }
    function restartWlanProcessSuccess() { record("restartWlanProcessSuccess", arguments) }
    function restartWlanProcessFailed(exitCode) { record("restartWlanProcessFailed", arguments) }
    function restartWlanProcessFailedUnspecific(exitCode) { record("restartWlanProcessFailedUnspecific", arguments) }
    function updateJobView() { record("updateJobView", arguments) }
    function checkAllowedModes(name, active) { record("checkAllowedModes", arguments) }
    function infoRssiLevel(value) { record("infoRssiLevel", arguments) }
    function wifiSignal(value) { record("wifiSignal", arguments) }
    function wifiConn(value) { record("wifiConn", arguments) }
    function setSSID(ssid) { record("setSSID", arguments) }
    function setBSSID(bssid) { record("setBSSID", arguments) }
    function newIdcode(code) { record("newIdcode", arguments) }
    function resServiceConChanged(map) { record("resServiceConChanged", arguments) }
    function resSerDiagDataChanged(name) { record("resSerDiagDataChanged", arguments) }
}
