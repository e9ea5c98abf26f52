import QtQml

// Every screen and popup kind of the scene, each reached the way the host and the operator
// reach it: root functions and keys (screencat.key), no waiting. `show(i)` leaves tile i on
// the display; the tool settles the animations, grabs and inspects it.
QtObject {
    id: catalogue

    property var scene: null
    // The popup stack of the scene's own folder (one instance per engine and file).
    property string stackUrl: "qrc:/qml/PopupStack.js"
    property var stack: null

    function result(values) {
        var r = { prg_nr: 5, prg_name: "M6 flange", result: 1, torque: "12.50", dTorque: 0, angle: "90.00",
                  dAngle: 0, tgs: "0.80", dTgs: 0, cycle: "4711-0815", qcode: 0, row: 0, torqueUnit: 1 }
        for (var key in values)
            r[key] = values[key]
        return r
    }

    // From a clean scene: no popup, no job display, no key-bit mode, the screen built anew.
    function go(state) {
        if (stack === null)
            stack = Qt.createQmlObject('import QtQml; import "' + stackUrl + '" as P; '
                                       + 'QtObject { function attach(s, h) { P.attach(s, h) } }', catalogue)
        stack.attach(scene, cMainWindow)
        scene.setNokAckPopupOpened(false)
        scene.updateKeyPos(0, -1)
        scene.closejobdisplaymsg(0)
        scene.changeView = false
        // the theme screen shows the entry under the cursor
        scene.setTheme(scene.cfg.global.theme)
        scene.state = state === 'mainmenu' ? 'actualValues' : 'mainmenu'
        scene.gotoState(state)
    }

    // The list of the screen on display: the first visible one that walks with the keys.
    function list() {
        var todo = [scene.screen]
        while (todo.length > 0) {
            var item = todo.shift()
            if (item.visible && item.count !== undefined && typeof item.down === 'function')
                return item
            for (var i = 0; i < item.children.length; ++i)
                todo.push(item.children[i])
        }
        return null
    }

    // Left until the list's first entry; a screen without a list scrolls up with Left.
    function first() {
        var l = list()
        for (var i = 0; i < 80; ++i) {
            var before = l ? l.currentIndex : -1
            press("Left")
            if (l === null ? i >= 12 : l.currentIndex === before)
                break
        }
    }

    // Right until the list's last entry (or until the screen stops moving); a screen
    // without a list scrolls with Right.
    function last() {
        var l = list()
        if (l === null) {
            for (var k = 0; k < 12; ++k)
                press("Right")
            return
        }
        for (var i = 0; i < l.count + 1 && i < 80; ++i) {
            var before = l.currentIndex
            press("Right")
            if (l.currentIndex === before && i > 0)
                break
        }
    }

    // A key pressed and released. The screens whose latch a timer opens again get it open
    // at once: the catalogue does not wait.
    function press(name) {
        screencat.key(name)
        scene.changeView = false
    }

    function keys(list) {
        for (var i = 0; i < list.length; ++i)
            press(list[i])
    }

    function popup(header, text, timer, ack, code, fclass) {
        go('actualValues')
        scene.popupString(header, text, timer, ack, code, fclass)
    }

    function battery(status, count) {
        go('actualValues')
        scene.batteryStatus(status)
        if (count !== undefined)
            scene.batteryCountDown(count)
    }

    function exchange(outcome) {
        go('exchange')
        outcome(scene.screen)
    }

    function editor(target, steps) {
        go('program')
        keys(['A', 'A'])
        for (var i = 0; i < steps; ++i)
            press("Right")
        keys(['A'])
        if (target === 'summary')
            keys(['A'])
    }

    readonly property var tiles: [
        ["actual values", function () {
            go('actualValues'); scene.updatePrgnr(5); scene.newIdcode("4711-0815-ABCDEFGHIJKLMNOPQRSTUVWXYZ") }],
        ["actual values OK", function () { go('actualValues'); scene.setResults(result({})) }],
        ["actual values NOK", function () {
            go('actualValues'); scene.setResults(result({ result: -1, qcode: 0x18, torque: "14.20", angle: "1234.00" })) }],
        ["key-bit bar", function () { go('actualValues'); scene.updateKeyPos(-1, -1) }],
        ["job display", function () {
            go('actualValues')
            scene.jobDisplayMsg("{{{Job: [[[3]]] received", "{{{Prg: [[[12]]] + IDCode: [[[4711-0815]]] received")
        }],
        ["main menu", function () { go('mainmenu'); first() }],
        ["main menu last", function () { go('mainmenu'); last() }],
        ["program selection", function () { go('prgselect'); first() }],
        ["program selection last", function () { go('prgselect'); last() }],
        ["job selection", function () { go('jobselect'); first() }],
        ["job selection last", function () { go('jobselect'); last() }],
        ["job abort", function () { go('job'); first() }],
        ["job abort last", function () { go('job'); last() }],
        ["operation mode", function () { go('operationmode'); first() }],
        ["operation mode last", function () { go('operationmode'); last() }],
        ["ID code", function () { scene.newIdcode("4711-0815-ABCDEFGHIJKLMNOPQRSTUVWXYZ"); go('idcodeviewer') }],
        ["ID code assign", function () { go('idcodeassign'); first() }],
        ["ID code assign last", function () { go('idcodeassign'); last() }],
        ["WLAN", function () { go('wlan'); first() }],
        ["WLAN last", function () { go('wlan'); last() }],
        ["language", function () { go('language'); first() }],
        ["language last", function () { go('language'); last() }],
        ["theme", function () { go('themeselect'); first() }],
        ["theme last", function () { go('themeselect'); last() }],
        ["date", function () { go('setdatetime') }],
        ["date summary", function () { go('setdatetime'); keys(['A', 'A', 'A']) }],
        ["time", function () { go('setdatetime'); keys(['A', 'A', 'A', 'A']) }],
        ["time summary", function () { go('setdatetime'); keys(['A', 'A', 'A', 'A', 'A', 'A']) }],
        ["information", function () { go('info'); first() }],
        ["information last", function () { go('info'); last() }],
        ["diagnosis", function () { go('diagnosis'); first() }],
        ["diagnosis last", function () { go('diagnosis'); last() }],
        ["service details", function () { go('diagnosis'); first(); keys(['A']) }],
        ["exchange", function () { go('exchange'); first() }],
        ["exchange last", function () { go('exchange'); last() }],
        ["export finished", function () { exchange(function (s) { s.exportDone(0, "") }) }],
        ["export failed", function () { exchange(function (s) { s.exportDone(1, "No SD card") }) }],
        ["import finished", function () { exchange(function (s) { s.importDone(0, "") }) }],
        ["import failed", function () { exchange(function (s) { s.importDone(1, "Wrong configuration version") }) }],
        ["import failed archive", function () {
            exchange(function (s) { s.importDone(1, "No or more than one *.zkcfg file found") }) }],
        ["program editor", function () { go('program'); first() }],
        ["program editor last", function () { go('program'); last() }],
        ["editor speed", function () { go('program'); keys(['A']) }],
        ["editor target", function () { editor('target', 0); press("Left") }],
        ["editor torque", function () { editor('value', 0) }],
        ["editor summary torque", function () { editor('summary', 0) }],
        ["editor summary angle", function () { editor('summary', 1) }],
        ["editor summary time", function () { editor('summary', 2) }],
        ["pictures", function () { go('picviewer') }],
        ["game", function () { go('game') }],
        ["game running", function () { go('game'); keys(['A']); scene.screen.showNumbers(12, 123456, 300) }],
        ["leave", function () { go('leave'); first() }],
        ["leave last", function () { go('leave'); last() }],
        // the warning's text scrolls with the keys: cut at the top or the bottom is scrolled away
        ["laser warning", function () { go('warning') }, true],
        ["laser warning end", function () {
            go('warning')
            for (var i = 0; i < 60 && !scene.screen.textRead; ++i)
                press("Right")
        }, true],
        ["battery low", function () { battery(5) }],
        ["battery too low", function () { battery(2) }],
        ["battery critical", function () { battery(1, 20) }],
        ["battery none", function () { battery(0, 20) }],
        ["fault", function () {
            var f = screencat.longestFault()
            go('actualValues')
            cMainWindow.fsysfault(f, 3, 0)
        }],
        ["NOK acknowledgement", function () { go('actualValues'); scene.shownokackpopup() }],
        ["message countdown", function () { popup("Info", "Cooling down", 10, 0, '', '') }],
        ["message", function () { popup("{{{Scanner initialization failed", "{{{Code not found in assignment table", 0, 0, '', '') }],
        ["WLAN error", function () { go('wlan'); scene.restartWlanProcessFailed(1) }]
    ]

    function count() { return tiles.length }
    function name(i) { return tiles[i][0] }
    function show(i) { tiles[i][1]() }
    function scrolls(i) { return tiles[i][2] === true }
}
