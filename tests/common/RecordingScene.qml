import QtQuick

// A scene root with every root function the host calls. Each call is appended to `calls`
// as "name arg1 arg2 ..." and its raw arguments to `argLists`; `recorded` fires after each.
// With a context property `mutexProbe` (hosttest.h), " locked" marks the calls made while
// the host's state mutex is held.
Item {
    id: root
    objectName: "recordingScene"
    width: 240
    height: 320

    property var calls: []
    property var argLists: []
    // What removeSysfaultFromStack returns for its code (a stacked fault popup), else null.
    property var stackedFault: null

    signal recorded(string entry)

    // As the real scene does while it is built: it reports its connection state.
    Component.onCompleted: cMainWindow.sendResConnStatus(-1)

    function describe(v) {
        if (v !== null && typeof v === "object")
            return JSON.stringify(v)
        return String(v)
    }
    function record(name, args) {
        var parts = [name]
        var raw = []
        for (var i = 0; i < args.length; ++i) {
            parts.push(describe(args[i]))
            raw.push(args[i])
        }
        var entry = parts.join(" ")
        try {
            if (mutexProbe.held())
                entry += " locked"
        } catch (e) {
        }
        var c = calls.slice()
        c.push(entry)
        calls = c
        var a = argLists.slice()
        a.push(raw)
        argLists = a
        recorded(entry)
    }

    function setResults(arg) { record("setResults", arguments) }
    function resetResult() { record("resetResult", arguments) }
    function newIdcode(arg) { record("newIdcode", arguments) }
    function updatePrgnr(prgnr) { record("updatePrgnr", arguments) }
    function displayscanicon(button) { record("displayscanicon", arguments) }
    function hidescanicon() { record("hidescanicon", arguments) }
    function setReady(rdy) { record("setReady", arguments) }
    function setSysFault(fault) { record("setSysFault", arguments) }
    function setEnable(en) { record("setEnable", arguments) }
    function batteryPower(power) { record("batteryPower", arguments) }
    function batteryStatus(status) { record("batteryStatus", arguments) }
    function batteryCountDown(count) { record("batteryCountDown", arguments) }
    function updateKeyPos(kypos, fnr) { record("updateKeyPos", arguments) }
    function updateOperationMode(mode, prg, job) { record("updateOperationMode", arguments) }
    function checkAllowedModes(name, active) { record("checkAllowedModes", arguments) }
    function setFccTestMode(active) { record("setFccTestMode", arguments) }
    function popupString(header, text, timer, waitForAck, code, fclass) { record("popupString", arguments) }
    function closepopupString(quittedCode) { record("closepopupString", arguments) }
    function removeSysfaultFromStack(fcode) {
        record("removeSysfaultFromStack", arguments)
        return stackedFault !== null && stackedFault.code === fcode ? stackedFault : null
    }
    function checkIfNokAckPopupToShow(prgnr) { record("checkIfNokAckPopupToShow", arguments) }
    function jobDisplayMsg(header, text) { record("jobDisplayMsg", arguments) }
    function closejobdisplaymsg(quittedCode) { record("closejobdisplaymsg", arguments) }
    function wifiSignal(value) { record("wifiSignal", arguments) }
    function infoRssiLevel(value) { record("infoRssiLevel", arguments) }
    function wifiConn(value) { record("wifiConn", arguments) }
    function setSSID(ssid_param) { record("setSSID", arguments) }
    function setBSSID(bssid_param) { record("setBSSID", arguments) }
    function wlanInterface(active) { record("wlanInterface", arguments) }
    function reloadWlan() { record("reloadWlan", arguments) }
    function reloadInfo() { record("reloadInfo", arguments) }
    function setWlanRestarted(pWlanRestarted) { record("setWlanRestarted", arguments) }
    function restartWlanProcessSuccess() { record("restartWlanProcessSuccess", arguments) }
    function restartWlanProcessFailed(exitCode) { record("restartWlanProcessFailed", arguments) }
    function restartWlanProcessFailedUnspecific(exitCode) { record("restartWlanProcessFailedUnspecific", arguments) }
    function resServiceConChanged(map) { record("resServiceConChanged", arguments) }
    function resSerDiagDataChanged(name) { record("resSerDiagDataChanged", arguments) }
    function setTestMode(test) { record("setTestMode", arguments) }
    function setTestViewText(field, color, bgColor, size, text) { record("setTestViewText", arguments) }
    function setTestViewProgress(progress) { record("setTestViewProgress", arguments) }
    function updateJobView() { record("updateJobView", arguments) }
    function loadCfg() { record("loadCfg", arguments) }
}
