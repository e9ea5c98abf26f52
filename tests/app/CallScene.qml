import QtQuick

// A scene root that records the root functions the host calls.
Item {
    id: root
    width: 240
    height: 320
    property var calls: []

    function record(text) {
        var c = calls.slice()
        c.push(text)
        calls = c
    }
    function setReady(rdy) { record("setReady " + rdy) }
    function updateKeyPos(kypos, fnr) { record("updateKeyPos " + kypos + " " + fnr) }
    function setResults(arg) { record("setResults " + arg.prg_nr + " " + arg.torqueUnit) }
}
