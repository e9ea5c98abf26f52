import QtQuick
import QtTest

// The key-bit mode on the real scene: the bar shows the PLC texts, presses and releases
// go to the host as bits by the forwarding rules, the ManOp key latches.
SceneTestCase {
    name: "KeyBits"

    function bits() {
        return callsTo("sendBmsBitSignal").map(function (c) { return c.args[0] + ":" + c.args[1] })
    }

    function bar() {
        var b = part("buttonBar")
        return [findChild(b, "textLeft").text, findChild(b, "textMiddle").text, findChild(b, "textRight").text]
    }

    function startKeyMode(state) {
        startScene()
        cMainWindow.bmsBits = { "L": "ManOp", "M": "", "R": "Prog3" }
        scene.gotoState(state === undefined ? 'info' : state)
        scene.updateKeyPos(-1, 403)
    }

    // The bar and the keys end-to-end are in tst_e2e; here what it cannot reach.
    function test_ordinaryKeySendsPressAndRelease() {
        startKeyMode()
        keyPress(Qt.Key_Right)
        compare(bits(), ["2:1"])
        verify(!scene.is_none_bms_key_events_open(Qt.Key_Right), "blocked while held")
        keyRelease(Qt.Key_Right)
        compare(bits(), ["2:1", "2:0"])
        verify(scene.is_none_bms_key_events_open(Qt.Key_Right))
        // ending the mode releases a key still held, and gives the screen its bar and keys back
        keyPress(Qt.Key_Right)
        scene.updateKeyPos(0, -1)
        compare(bits(), ["2:1", "2:0", "2:1", "2:0"])
        compare(bar()[1], "Back")
        compare(findChild(part("buttonBar"), "textMiddle").font.pixelSize, 20)
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
    }

    function test_manOpLatches() {
        startKeyMode()
        keyClick(Qt.Key_Left)
        compare(bits(), ["0:1"], "the first press latches, its release sends nothing")
        compare(scene.pressed_ManOp, true)
        compare(part("buttonBar").alphaLeft, 0.5, "drawn pressed")
        // leaving and re-entering the mode keeps the latch
        scene.updateKeyPos(1, -1)
        scene.updateKeyPos(-1, -1)
        compare(part("buttonBar").alphaLeft, 0.5)
        keyPress(Qt.Key_Left)
        compare(bits(), ["0:1"], "the second press sends nothing")
        keyRelease(Qt.Key_Left)
        compare(bits(), ["0:1", "0:0"])
        compare(scene.pressed_ManOp, false)
        compare(part("buttonBar").alphaLeft, 1)
    }

    function test_keyHeldWhenTheModeStarts() {
        startScene()
        cMainWindow.bmsBits = { "L": "", "M": "", "R": "Prog3" }
        scene.gotoState('info')
        keyPress(Qt.Key_Right)
        scene.updateKeyPos(-1, -1)
        keyRelease(Qt.Key_Right)
        compare(bits(), [], "a key held since before sends nothing")
        keyClick(Qt.Key_Right)
        compare(bits(), ["2:1", "2:0"])
    }

    // A screen opened in the mode keeps the texts; its own bar is the one restored.
    function test_newScreenInTheMode() {
        startKeyMode('mainmenu')
        scene.gotoState('leave')
        compare(bar(), ["ManOp", "n.a", "Prog3"])
        scene.updateKeyPos(0, -1)
        compare(bar()[1], "Select")
    }

    // The job display over the actual values has the keys again when the mode ends.
    function test_jobDisplayGetsItsKeysBack() {
        startKeyMode('actualValues')
        scene.jobDisplayMsg("Job 3", "Screw 2 of 8")
        var job = part("jobPopup")
        compare(job.state, 'info')
        verify(!job.activeFocus, "the mode holds the keys")
        scene.updateKeyPos(0, -1)
        verify(job.activeFocus)
    }

    function test_popupKeepsItsKeys() {
        startScene()
        cMainWindow.bmsBits = { "L": "ManOp", "M": "Start", "R": "" }
        scene.popupString("Info", "Message", 0, 0, "", "")
        scene.updateKeyPos(-1, -1)
        compare(scene.bmsKeyMode, true)
        compare(scene.sendBmsBtnEvents, false)
        compare(bar(), ['', "OK", ''], "the popup's bar stays")
        keyClick(Qt.Key_A)
        compare(bits(), [], "nothing is sent from the popup")
        compare(scene.state, 'actualValues', "the popup took the key")
        compare(bar(), ["ManOp", "Start", "n.a"], "the screen below shows the texts")
    }
}
