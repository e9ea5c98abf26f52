import QtQml

// The host window as the scene sees it (`cMainWindow`): the members the scene calls,
// fake data that tests set, and `calls`, a record of every call ({name, args}).
QtObject {
    id: host

    property string cfg
    property string wlan
    property int prgNumber
    property bool wlanActivation
    property string ssidValue
    property string bssidValue
    property var resConStates
    property var srvFiles
    property var prgList
    property var jobList
    property var torqueUnits
    property int activeTorqueUnit
    property bool resultsEnabled
    property var prgSelect
    property var jobSelect
    property var bmsBits
    property var infoValues
    property var services
    property var languages
    property var calls: []

    // The host's properties and the fake data as at the start of each case.
    function reset() {
        var d = {
            cfg: "", wlan: "", prgNumber: -88, wlanActivation: true, ssidValue: "-", bssidValue: "-",
            resConStates: { "values": {}, "keys": [] }, srvFiles: {},
            // programs ({name, slot (text), unit}), jobs ({slot, name}), torque unit names by id
            prgList: [], jobList: [], torqueUnits: { "1": "Nm" }, activeTorqueUnit: 1,
            resultsEnabled: false, prgSelect: 1, jobSelect: 1,
            // key texts of the PLC table, information values, services, languages
            bmsBits: { "L": "", "M": "", "R": "" },
            infoValues: { "time": "2024-03-05 09:07", "ip": "-", "lanip": "-", "version": "-",
                          "temperature": "-", "code": "-", "avgloadtorque": "-" },
            services: [], languages: [], calls: []
        }
        for (var key in d)
            host[key] = d[key]
    }
    Component.onCompleted: reset()

    function record(name, args) {
        var list = calls.slice(0)
        list.push({ name: name, args: Array.prototype.slice.call(args) })
        calls = list
    }

    function callsTo(name) {
        return calls.filter(function (c) { return c.name === name })
    }

    // Start-up and host window.
    function syslogDebug(msg) { record("syslogDebug", arguments) }
    function syslogError(msg) { record("syslogError", arguments) }
    function logToSys(text) { record("logToSys", arguments) }

    // Translator.
    // The real translator of the test runner: "de" as shipped, "hostile", others English.
    function setLanguage(filename) {
        record("setLanguage", arguments)
        sceneLanguages.setLanguage(filename)
    }

    // Settings files.
    function loadWlan() { record("loadWlan", arguments) }
    function guiCfgFileChanged() { record("guiCfgFileChanged", arguments) }
    function wlanCfgFileChanged() { record("wlanCfgFileChanged", arguments) }

    // WLAN status.
    function getSSID() { record("getSSID", arguments); return ssidValue }
    function getBSSID() { record("getBSSID", arguments); return bssidValue }
    function requestStationInfo() { record("requestStationInfo", arguments) }
    function readBSSID() { record("readBSSID", arguments); return bssidValue }
    function loadWlanActivation() { record("loadWlanActivation", arguments); return wlanActivation }
    function isWlanActive() { record("isWlanActive", arguments); return wlanActivation }

    // Tool keys, WLAN restart, clock and power, information values.
    function getMappedBmsBits() { record("getMappedBmsBits", arguments); return bmsBits }
    function sendBmsBitSignal(id, val) { record("sendBmsBitSignal", arguments) }
    function restartwlan() { record("restartwlan", arguments) }
    function reboot() { record("reboot", arguments) }
    function poweroff() { record("poweroff", arguments) }
    function setDateTime(datetime) { record("setDateTime", arguments) }
    function getInfoValues() { record("getInfoValues", arguments); return infoValues }
    function getLanguages() { record("getLanguages", arguments); return languages }

    // Diagnostic tree.
    function getServices() { record("getServices", arguments); return services }
    function getInitResConStates() { record("getInitResConStates", arguments); return resConStates }
    function readSrvsFile(srvname) {
        record("readSrvsFile", arguments)
        return srvFiles[srvname] === undefined ? "" : srvFiles[srvname]
    }

    // Tool-service clients.
    function sendResConnStatus(state) { record("sendResConnStatus", arguments) }
    function setGuiReady() { record("setGuiReady", arguments) }
    function disableScrewdriver() { record("disableScrewdriver", arguments) }
    function setAkkuReady() { record("setAkkuReady", arguments) }
    function akkuNotReady() { record("akkuNotReady", arguments) }

    // Faults and the activity log.
    function sendAck() { record("sendAck", arguments) }
    function addActivityEntryNokAck() { record("addActivityEntryNokAck", arguments) }

    // Programs, jobs, torque units and results.
    function getPrgList() { record("getPrgList", arguments); return prgList }
    function getPrgNumberName(slot) {
        record("getPrgNumberName", arguments)
        for (var i = 0; i < prgList.length; ++i) {
            if (Number(prgList[i].slot) === Number(slot))
                return prgList[i]
        }
        return { "slot": slot, "name": "--" }
    }
    function getJobList() { record("getJobList", arguments); return jobList }
    function getTorqueUnitPres(id) {
        record("getTorqueUnitPres", arguments)
        var name = torqueUnits[String(id)]
        return name === undefined ? "Nm" : name
    }
    function getDefaultTorqueUnitPres() {
        record("getDefaultTorqueUnitPres", arguments)
        return getTorqueUnitPres(activeTorqueUnit)
    }
    function enableResults() { record("enableResults", arguments); return resultsEnabled }
    function getPrgSelect() { record("getPrgSelect", arguments); return prgSelect }
    function getJobSelect() { record("getJobSelect", arguments); return jobSelect }
    function prgselected(prgnr) { record("prgselected", arguments) }
    function jobselected(jobnr) { record("jobselected", arguments) }
    function jobabort() { record("jobabort", arguments) }
    function sendScanBtnPressed(button) { record("sendScanBtnPressed", arguments) }
    function setOperationMode(mode, trgSrc, trgVal) { record("setOperationMode", arguments) }

    // Configuration exchange and program editor.
    signal exportFinished(int exitCode, string msg)
    signal importFinished(int exitCode, string msg)
    function exportConfiguration() { record("exportConfiguration", arguments) }
    function importConfiguration() { record("importConfiguration", arguments) }
    function writeProgram(slot, speed, targetName, targetValue) { record("writeProgram", arguments) }
}
