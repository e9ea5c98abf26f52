import QtQuick
import QtTest

SceneTestCase {
    name: "Header"

    // One scene for all cases (it slides in only once); cases that look at the state
    // after start-up make their own.
    function init() {
        if (!scene)
            startScene()
        cMainWindow.wlanActivation = true
        scene.batteryPower(100)
    }

    function cleanup() {
    }

    function cleanupTestCase() {
        stopScene()
    }

    // Below 20 % the fill is red and the symbol blinks; from 20 % on it is white and steady,
    // and shown again if it went off in the dark phase. Nothing blinks out of sight.
    function test_battery() {
        var fill = part("batteryFill")
        var battery = part("battery")
        settle()
        scene.batteryPower(19)
        fuzzyCompare(fill.width, 6.65, 0.001)
        tryCompare(battery, "visible", true)
        var image = grab("header_battery_low.png")
        verify(isRed(image, 13, 14) && isRed(image, 17, 14), "red fill to 6.65 px")
        verify(!isRed(image, 20, 14), "no fill further right")
        verify(isWhite(image, 10, 14), "outline")
        tryCompare(battery, "visible", false)
        image = grab()
        verify(!isWhite(image, 10, 14) && !isRed(image, 13, 14), "the symbol is off in the dark phase")

        scene.batteryPower(150)
        compare(fill.width, 35)
        verify(!part("batteryBlink").running)
        image = grab("header_battery_full.png")
        compare(countPixels(image, 12, 8, 47, 22, isWhite), 35 * 14)
        // the blink threshold
        scene.batteryPower(20)
        verify(!part("batteryBlink").running)
        verify(Qt.colorEqual(fill.color, '#ffffff'))
        fuzzyCompare(fill.width, 7, 0.001)
        scene.batteryPower(-5)
        compare(fill.width, 0)
        verify(part("batteryBlink").running)
        // Slid out of sight (a full screen), neither it nor the ready lamp blinks; back, both do.
        verify(part("ledBlink").running)
        scene.gotoState("game")
        settle()
        verify(!part("batteryBlink").running && !part("ledBlink").running)
        scene.gotoState("actualValues")
        settle()
        verify(part("batteryBlink").running && part("ledBlink").running)
    }

    // 0 to 255 as they are, anything else "--"; each shown text differs from the one before.
    function test_programLabel() {
        startScene()
        compare(part("prgLabel").text, "P:--")
        var shown = [[0, "P:0"], [256, "P:--"], [255, "P:255"], [-1, "P:--"], ["12", "P:12"], [-88, "P:--"]]
        for (var i = 0; i < shown.length; ++i) {
            scene.updatePrgnr(shown[i][0])
            compare(part("prgLabel").text, shown[i][1], "program " + shown[i][0])
            compare(scene.prgnumber, Number(shown[i][0]))
        }
    }

    function test_leds() {
        startScene()
        var enable = part("enableLed")
        var ready = part("readyLed")
        compare([enable.state, ready.state], ["Off", "Yellow"])
        scene.setEnable(true)
        compare(enable.source, "image://pics/LED_Yellow2.png")
        scene.setReady(true)
        compare(ready.source, "image://pics/LED_Green2.png")
        verify(!part("ledBlink").running, "green is steady") // the colours on screen are tst_e2e's

        scene.setSysFault(true)
        compare(ready.state, "Red", "a fault wins over ready")
        tryCompare(ready, "source", "image://pics/LED_Off2.png")
        tryCompare(ready, "source", "image://pics/LED_Red2.png")
        scene.setSysFault(false)
        scene.setReady(false)
        tryCompare(ready, "source", "image://pics/LED_Off2.png")
        tryCompare(ready, "source", "image://pics/LED_Yellow2.png")
        scene.setEnable(false)
        compare(enable.source, "image://pics/LED_Off2.png")
    }

    // A disconnected service wins over a connected one; the hand in manual operation. Each
    // state differs from the one before.
    function test_connectionIcon() {
        var icon = part("srvIcon")
        var states = [[{ a: 1, b: 0 }, "rot", "rot"], [{}, "weiss", "weiß"], [{ a: 1 }, "gruen", "grün"],
                      [{ a: 2 }, "weiss", "weiß"]]
        for (var i = 0; i < states.length; ++i) {
            var auto = "image://pics/ICON_ZK_blue_network-" + states[i][1] + ".png"
            scene.resServiceConChanged({ values: states[i][0] })
            verify(icon.visible)
            compare(icon.source, auto)
            tryCompare(icon, "status", Image.Ready)
            scene.updateOperationMode(2, 1, 1)
            compare(icon.source, "image://pics/Hand_" + states[i][2] + ".png", "manual operation shows the hand")
            tryCompare(icon, "status", Image.Ready)
            scene.updateOperationMode(0, 1, 1)
            compare(icon.source, auto)
        }
        part("header").setSrvStateValues(null)
        verify(!icon.visible)
    }

    function test_wifiBars() {
        startScene()
        var bars = part("signalBars")
        scene.wifiSignal(3)
        verify(!bars.visible, "hidden before the connection is known")
        // the connection report fetches the network's names
        cMainWindow.ssidValue = "Line 4"
        cMainWindow.bssidValue = "00:11:22:33:44:55"
        scene.wifiConn(3)
        compare([scene.wifiConnection, scene.ssid, scene.bssid], [3, "Line 4", "00:11:22:33:44:55"])
        verify(part("antenna").visible && !part("wlanCross").visible && bars.visible)
        var image = grab("header_wifi3.png")
        // bar k at x 66 + 6 (k - 1), 4 wide, bottoms at y 23
        verify(isWhite(image, 67, 21) && isWhite(image, 73, 21) && isWhite(image, 79, 21))
        verify(isWhite(image, 79, 13), "bar 3 is 11 high")
        verify(!isWhite(image, 79, 10))
        verify(!isWhite(image, 85, 21) && !isWhite(image, 91, 21), "bars 4 and 5 off")

        scene.wifiSignal(5)
        for (var k = 1; k <= 5; ++k)
            verify(part("bar" + k).visible)
        scene.wifiConn(1)
        verify(!bars.visible)
        scene.wifiSignal(3)
        for (k = 1; k <= 5; ++k)
            verify(!part("bar" + k).visible, "no bars without a connection")
    }

    function test_activationWatch() {
        var timer = part("activationTimer")
        scene.wifiConn(3)
        scene.wifiSignal(2)
        scene.wlanInterface(false)
        verify(timer.running)
        cMainWindow.wlanActivation = false
        timer.triggered()
        verify(part("wlanCross").visible && !part("signalBars").visible)
        cMainWindow.wlanActivation = true
        timer.triggered()
        verify(!part("wlanCross").visible && part("antenna").visible)
        for (var i = 0; i < 17; ++i)
            timer.triggered()
        verify(timer.running)
        timer.triggered()
        verify(!timer.running, "stops after the 20th tick")
        scene.wlanInterface(true)
        verify(timer.running, "a new report restarts the watch")
        compare(part("header").activationTicks, 20)
        timer.stop()
    }

    function test_testModeMarker() {
        cMainWindow.wlanActivation = false
        scene.wifiConn(3)
        scene.setFccTestMode(true)
        verify(part("testMarker").visible)
        verify(!part("antenna").visible && !part("wlanCross").visible && !part("signalBars").visible)
        var image = grab("header_testmode.png")
        verify(countPixels(image, 40, 0, 107, 30, isRed) > 20, "red Test marker")
        scene.wifiConn(3)
        verify(!part("antenna").visible, "stays hidden in test mode")
        part("activationTimer").triggered()
        verify(!part("wlanCross").visible)
        scene.setFccTestMode(false)
        verify(!part("testMarker").visible)
        verify(part("antenna").visible && part("signalBars").visible && part("wlanCross").visible)
    }
}
