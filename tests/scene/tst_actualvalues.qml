import QtQuick
import QtTest

// The working screen on the real scene: results as the operator sees them, the
// identification code with its code list, and the scan key.
SceneTestCase {
    name: "ActualValues"

    // y of the screen's rows on the display (the screen frame starts at 30)
    readonly property int statusY: 30
    readonly property int torqueY: 82
    readonly property int angleY: 134
    readonly property int timeY: 186
    readonly property int idY: 238

    function result(values) {
        var r = { prg_nr: 5, prg_name: "Tight", result: 1, torque: 12.5, dTorque: 0, angle: 90,
                  dAngle: 0, tgs: 0.8, dTgs: 0, cycle: "A1", qcode: 0, row: 0, torqueUnit: 1 }
        for (var key in values)
            r[key] = values[key]
        return r
    }

    function startOnActualValues() {
        startScene()
        cMainWindow.torqueUnits = { "1": "Nm", "2": "ft lb" }
        compare(scene.state, 'actualValues')
        settle()
        return part("actualValues")
    }

    function isGreen(image, x, y) {
        return image.red(x, y) < 140 && image.green(x, y) > 200 && image.blue(x, y) < 100
    }

    // NOK with torque too high and too low at once: red status and torque field with light
    // text; the blinking shows the inverted phase with red text on the plain background, in
    // the marked fields only, until an OK result stops it.
    function test_nokDisplayBlinks() {
        startOnActualValues()
        scene.setResults(result({ result: -1, qcode: 0x18 }))
        var status = part("statusDisplay")
        var torque = part("torqueField")
        compare([status.state, torque.state], ['NOK', 'NOK'])
        compare(part("statusText").text, "P:5 - S:1A - NOK")
        // the red fields are tst_e2e's; here the texts on them
        var red = grab("actualvalues-nok.png")
        verify(countPixels(red, 93, torqueY + 5, 230, torqueY + 47, isWhite) > 20, "light torque text on red")

        tryCompare(status, "state", 'NOKINV', 3000)
        compare(torque.state, 'NOKINV')
        compare(part("angleField").state, 'OK', "only marked fields blink")
        var inverted = grab("actualvalues-nok-inverted.png")
        verify(countPixels(inverted, 93, torqueY + 5, 230, torqueY + 47, isRed) > 20, "red torque text")
        verify(countPixels(inverted, 93, angleY + 5, 230, angleY + 47, isRed) === 0, "angle text not red")
        tryCompare(status, "state", 'NOK', 3000)
        compare(torque.state, 'NOK')

        scene.setResults(result({ result: 1, qcode: 0 }))
        compare([status.state, torque.state], ['OK', 'OK'])
        wait(800)
        compare(status.state, 'OK', "no blinking after an OK result")
    }

    // An OK result, also one that violates a limit (angle too low): the status green, the
    // marked field red and steady, the values in the theme's text colour.
    function test_okDisplay_data() {
        return [ { tag: "blue", text: "dark" }, { tag: "black", text: "white" } ]
    }

    function test_okDisplay(data) {
        startScene(deployedConfig({ theme: data.tag }))
        cMainWindow.torqueUnits = { "1": "Nm", "2": "ft lb" }
        scene.setResults(result({ result: 1, prg_nr: 5, row: 0, torqueUnit: 2, qcode: 0x04 }))
        compare(part("statusText").text, "P:5 - S:1A - OK")
        compare(part("torqueField").label, "T: <small>ft lb</small>")
        compare(part("angleField").value, "\u25BC 90.00")
        var image = grab("actualvalues-ok-" + data.tag + ".png")
        verify(isGreen(image, 3, statusY + 3), "status display green")
        verify(isRed(image, 3, angleY + 3), "angle field red")
        verify(!isRed(image, 3, torqueY + 3) && !isGreen(image, 3, torqueY + 3), "torque field plain")
        verify(countPixels(image, 93, torqueY + 5, 230, torqueY + 47, data.text === "white" ? isWhite : function (im, x, y) {
            return im.red(x, y) < 60 && im.green(x, y) < 60 && im.blue(x, y) < 60
        }) > 20, data.text + " value text")
        wait(800)
        compare(part("angleField").state, 'NOK', "no blinking with an OK result")
    }

    function test_valueFormats_data() {
        return [
            { tag: "no values", r: { torque: "-", angle: null, tgs: "x" }, t: "-", a: "-", s: "-" },
            { tag: "text numbers", r: { torque: "3", angle: "-12.345", tgs: "1.23456" }, t: "3.000", a: "-12.35", s: "1.235" },
            { tag: "torque high", r: { qcode: 0x08 }, t: "\u25B2 12.500", a: "90.00", s: "0.800" },
            { tag: "torque low", r: { qcode: 0x10 }, t: "\u25BC 12.500", a: "90.00", s: "0.800" },
            { tag: "torque both", r: { qcode: 0x18 }, t: "\u25CA 12.500", a: "90.00", s: "0.800" },
            { tag: "angle both", r: { qcode: 0x06 }, t: "12.500", a: "\u25CA 90.00", s: "0.800" },
            { tag: "time high", r: { qcode: 0x20 }, t: "12.500", a: "90.00", s: "\u25B2 0.800" },
            { tag: "no qcode", r: { qcode: "-" }, t: "12.500", a: "90.00", s: "0.800" }
        ]
    }

    function test_valueFormats(data) {
        startOnActualValues()
        scene.setResults(result(data.r))
        var fields = [part("torqueField"), part("angleField"), part("timeField")]
        var values = [data.t, data.a, data.s]
        compare(fields.map(function (f) { return f.value }), values)
        // a marked value is a NOK field
        compare(fields.map(function (f) { return f.state }), values.map(function (v) { return v.indexOf(" ") > 0 ? 'NOK' : 'OK' }))
    }

    // Values that do not fit their field show "----" (after the marker), never over the label:
    // infinite, exponent-sized and merely too long numbers.
    function test_valuesThatDoNotFit() {
        startOnActualValues()
        scene.setResults(result({ result: -1, qcode: 0x08, torque: "1e999", angle: -1e308, tgs: 123456789012.5 }))
        var fields = [part("torqueField"), part("angleField"), part("timeField")]
        compare(fields[0].shownValue, "\u25B2 ----")
        compare(fields[1].shownValue, "----")
        compare(fields[2].value, "123456789012.500")
        compare(fields[2].shownValue, "----")
        var image = grab("actualvalues-overflow.png")
        // Nothing dark between the labels and the value column of the plain fields.
        var dark = function (im, x, y) { return im.red(x, y) < 100 && im.green(x, y) < 100 && im.blue(x, y) < 100 }
        compare(countPixels(image, 60, angleY + 5, 93, angleY + 47, dark), 0)
        compare(countPixels(image, 60, timeY + 5, 93, timeY + 47, dark), 0)
        verify(countPixels(image, 93, timeY + 5, 230, timeY + 47, dark) > 20, "the mark is drawn")
        scene.setResults(result({}))
        compare(fields[2].shownValue, "0.800")
    }

    // Ready: the loaded program with its unit; a long line is cut at 185 px. Program and
    // unit names are shown as they are, never as markup.
    function test_programLine() {
        startOnActualValues()
        cMainWindow.torqueUnits = { "1": "Nm", "2": "ft lb", "3": "<b>N</b>m" }
        cMainWindow.prgList = [
            { slot: "7", name: "  Short  ", unit: "2" },
            { slot: "8", name: "A rather long program name for the line", unit: "1" },
            { slot: "3", name: "<i>x</i>", unit: "3" }
        ]
        scene.updatePrgnr(7)
        compare([part("statusDisplay").state, part("statusText").text], ['Ready', "P:7 - Short"])
        compare(part("statusText").font.pointSize, 15)
        compare(part("torqueField").label, "T: <small>ft lb</small>")

        scene.updatePrgnr(8)
        var text = part("statusText").text
        var full = "8 - A rather long program name for the line"
        verify(text.indexOf("P:") === 0)
        var shown = text.substring(2)
        verify(shown.length < full.length, "cut: " + shown)
        verify(full.indexOf(shown) === 0, "cut from the end")
        var m = fontMetrics(0, part("statusText").font)
        verify(m.advanceWidth(shown) <= 185)
        verify(m.advanceWidth(full.substring(0, shown.length + 1)) > 185, "nothing more fits")

        scene.updatePrgnr(3)
        compare(part("statusText").text, "P:3 - <i>x</i>")
        fuzzyCompare(part("statusText").contentWidth, m.advanceWidth("P:3 - <i>x</i>"), 1)
        compare(part("torqueField").label, "T: <small>&lt;b&gt;N&lt;/b&gt;m</small>")

        // no program: "--"
        scene.updatePrgnr(-1)
        compare(part("statusText").text, "P:-- - --")

        // a result takes the line; later program numbers leave it alone
        scene.setResults(result({ result: 1, prg_nr: 8, row: 2 }))
        scene.updatePrgnr(7)
        compare(part("statusText").text, "P:8 - S:3A - OK")
        compare(part("statusText").font.pointSize, 19)

        // the host's reset shows the loaded program again, also after a popup came and went
        scene.resetResult()
        compare([part("statusDisplay").state, part("statusText").text], ['Ready', "P:7 - Short"])
        compare(part("torqueField").value, "-")
        cMainWindow.resultsEnabled = true
        scene.popupString("Info", "Message", 0, 0, "", "")
        keyClick(Qt.Key_A)
        compare([part("statusDisplay").state, part("statusText").text, part("torqueField").value],
                ['Ready', "P:7 - Short", "-"])
    }

    // A short code needs no code list; the keys have nothing to scroll. Popups that come and
    // go before the first result leave the loaded program and the code on display, whether
    // the code came under the popup or on the screen. A code scanned while a result is shown
    // does not replace the result's code, which is shown as it is, never as markup. Back from
    // the menu, the cached result is shown again only while results are enabled.
    function test_shortIdCode() {
        startOnActualValues()
        cMainWindow.prgList = [{ slot: "5", name: "M6 flange", unit: "1" }]
        scene.updatePrgnr(5)
        scene.popupString("Info", "Message", 0, 0, "", "")
        scene.newIdcode("OLD-CODE")
        keyClick(Qt.Key_A)
        compare([part("statusText").text, part("idValue").text], ["P:5 - M6 flange", "OLD-CODE"])
        scene.newIdcode("NEW-CODE")
        compare(part("idValue").text, "NEW-CODE")
        verify(!scene.firstInit)
        scene.popupString("Info", "Message", 0, 0, "", "")
        keyClick(Qt.Key_A)
        compare([part("statusText").text, part("idValue").text], ["P:5 - M6 flange", "NEW-CODE"])
        scene.setResults(result({ cycle: "  WP-0042  ", torque: 20 }))
        compare(part("idValue").text, "WP-0042")
        scene.newIdcode("LATER")
        compare(part("idValue").text, "WP-0042", "a shown result keeps its code")
        compare(part("textMiddle").text, "Menu")
        verify(!part("iconLeft").visible && !part("iconRight").visible, "no arrows")
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Left)
        compare(part("actualValues").count, 0, "nothing to scroll")

        scene.setResults(result({ cycle: "<b>7</b>", torque: 20 }))
        var id = part("idValue")
        compare(id.text, "<b>7</b>")
        fuzzyCompare(id.contentWidth, fontMetrics(0, id.font).advanceWidth("<b>7</b>"), 1)

        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        compare(scene.genericListShowArrows, 1, "the menu's arrows")
        scene.gotoState('actualValues')
        compare([part("torqueField").value, part("idValue").text], ["-", "LATER"], "no result restored")
        verify(!part("iconLeft").visible && !part("iconRight").visible, "no arrows of the menu")
        compare(part("textMiddle").text, "Menu")
        cMainWindow.resultsEnabled = true
        scene.gotoState('mainmenu')
        scene.gotoState('actualValues')
        compare([part("torqueField").value, part("statusDisplay").state], ["20.000", 'OK'])
    }

    function longCode() {
        return "4711-0815-ABCDEFGHIJKLMNOPQRSTUVWXYZ-0123456789-abcdefghijklmnopqrstuvwxyz-END"
    }

    // The field keeps the end of a long code; the code list holds all of it in pieces that
    // each just reach 215 px. Right brings the list into view in steps of 52 px, Left takes
    // it back.
    function test_longIdCode() {
        var screen = startOnActualValues()
        var code = longCode()
        scene.setResults(result({ cycle: code }))
        var shown = part("idValue").text
        verify(shown.length < code.length)
        compare(code.substring(code.length - shown.length), shown, "the end stays visible")
        var m = fontMetrics(0, part("idValue").font)
        verify(m.advanceWidth(shown) <= 190)
        verify(m.advanceWidth(code.substring(code.length - shown.length - 1)) > 190)
        var list = part("codeList")
        checkPieces(list, 30, 6, "ID+ : " + code)
        var pieces = list.model.count
        compare(scene.genericListShowArrows, 1)
        verify(part("iconRight").visible, "down arrow on the right")
        compare(part("textMiddle").text, "Menu")
        compare(barDrawn(grab("actualvalues-long-id.png")), [false, true, true])

        var torque = part("torqueField"), angle = part("angleField"), time = part("timeField"), id = part("idField")
        keyClick(Qt.Key_Right)
        compare(screen.count, 1)
        verify(!torque.visible)
        compare([angle.y, time.y, id.y, list.mapToItem(screen, 0, 0).y], [52, 104, 156, 208])
        compare(list.getIdx(), 0)
        compare(scene.genericListShowArrows, 3)
        var image = grab("actualvalues-scroll1.png")
        // the first piece shows in the bottom row of the body
        verify(countPixels(image, 10, 30 + 208 + 5, 230, 30 + 208 + 47, function (im, x, y) {
            return im.red(x, y) < 80 && im.green(x, y) < 80 && im.blue(x, y) < 80
        }) > 20, "text of the first piece")

        // each step takes one more row off the top; the fourth hides the code field
        for (var step = 2; step <= 4; ++step) {
            keyClick(Qt.Key_Right)
            compare(screen.count, step)
            compare(list.mapToItem(screen, 0, 0).y, 208 - 52 * (step - 1))
            compare(list.getIdx(), step - 1)
        }
        verify(!angle.visible && !id.visible)

        // within the list
        keyClick(Qt.Key_Right)
        compare([screen.count, list.getIdx(), screen.lister], [4, 4, true])
        for (var k = 5; k < pieces + 2; ++k)
            keyClick(Qt.Key_Right)
        compare(list.getIdx(), pieces - 1, "stops on the last piece")
        compare(scene.genericListShowArrows, 2, "only the up arrow on the last piece")
        verify(part("iconLeft").visible && !part("iconRight").visible)

        // all the way back
        for (k = 0; k < pieces + 6; ++k)
            keyClick(Qt.Key_Left)
        compare([screen.count, screen.lister, torque.visible], [0, false, true])
        compare([torque.y, id.y, list.mapToItem(screen, 0, 0).y], [52, 208, 260])
        compare(scene.state, 'actualValues')

        // a short code afterwards empties the list and returns to step 0
        keyClick(Qt.Key_Right)
        scene.setResults(result({ cycle: "short" }))
        compare([screen.count, list.model.count, scene.genericListShowArrows], [0, 0, 0])
    }

    // The scan key sends one scan per press however long it is held.
    function test_scanKey_data() {
        return [
            { tag: "left", button: 2, key: Qt.Key_Left, icon: "iconLeft", image: "icon_scan_left.png" },
            { tag: "middle", button: 1, key: Qt.Key_A, icon: "iconMiddle", image: "icon_scan_middle.png" },
            { tag: "right", button: 3, key: Qt.Key_Right, icon: "iconRight", image: "icon_scan_right.png" }
        ]
    }

    function test_scanKey(data) {
        startOnActualValues()
        scene.setResults(result({ cycle: longCode() }))
        scene.displayscanicon(data.button)
        verify(part(data.icon).visible)
        verify(String(part(data.icon).source).indexOf(data.image) >= 0, String(part(data.icon).source))
        if (data.button !== 1)
            compare(part("textMiddle").text, "Menu")
        compare(barDrawn(grab("actualvalues-scan-" + data.tag + ".png"))[data.button === 1 ? 1 : data.button === 2 ? 0 : 2], true,
                "the scan icon on its key")

        for (var i = 0; i < 3; ++i)
            keyPress(data.key)
        compare(callsTo("sendScanBtnPressed").map(function (c) { return c.args[0] }), [data.button])
        keyRelease(data.key)
        keyPress(data.key)
        keyRelease(data.key)
        compare(callsTo("sendScanBtnPressed").length, 2)
        compare(scene.state, 'actualValues', "the scan key does not leave the screen")
        compare(part("actualValues").count, 0, "the scan key does not scroll")

        scene.hidescanicon()
        verify(!scene.scan)
        if (data.button === 1)
            compare(part("textMiddle").text, "Menu")
    }

    // The tool takes the scan key away while it is held: the release still ends the press,
    // and the next offer of the key sends again.
    function test_scanKeyHiddenWhileHeld() {
        startOnActualValues()
        scene.displayscanicon(2)
        keyPress(Qt.Key_Left)
        compare(callsTo("sendScanBtnPressed").length, 1)
        scene.hidescanicon()
        keyRelease(Qt.Key_Left)
        scene.displayscanicon(2)
        keyPress(Qt.Key_Left)
        keyRelease(Qt.Key_Left)
        compare(callsTo("sendScanBtnPressed").length, 2)

        // a release of another key does not end the scan key's press
        keyPress(Qt.Key_Left)
        keyPress(Qt.Key_Right)
        keyRelease(Qt.Key_Right)
        keyPress(Qt.Key_Left)
        compare(callsTo("sendScanBtnPressed").length, 3, "still one scan for the held key")
        keyRelease(Qt.Key_Left)
    }
}
