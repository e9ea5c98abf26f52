import QtQuick

// A scene root that records the tightening root functions the host calls.
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
    function updatePrgnr(n) { record("updatePrgnr " + n) }
    function updateKeyPos(kypos, fnr) { record("updateKeyPos " + kypos + " " + fnr) }
    function updateJobView() { record("updateJobView") }
    function setResults(map) {
        var keys = Object.keys(map).sort()
        var parts = []
        for (var i = 0; i < keys.length; ++i)
            parts.push(keys[i] + "=" + map[keys[i]])
        record("setResults " + parts.join(" "))
    }
}
