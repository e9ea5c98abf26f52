import QtQuick
import QtTest

SceneTestCase {
    name: "Header"

    // One scene for all cases (it slides in only once); cases that look at the state
    // after start-up make their own.
    function init() {
        if (!scene)
            startScene()
        cMainWindow.calls = []
        cMainWindow.wlanActivation = true
        scene.batteryPower(100)
    }

    function cleanup() {
    }

    function cleanupTestCase() {
        stopScene()
    }

    function test_batteryLowBlinksRed() {
        var fill = part("batteryFill")
        var battery = part("battery")
        scene.batteryPower(19)
        fuzzyCompare(fill.width, 6.65, 0.001)
        verify(Qt.colorEqual(fill.color, "red"))
        verify(part("batteryBlink").running)
        tryCompare(battery, "visible", true)
        var image = grab("header_battery_low.png")
        verify(isRed(image, 13, 14), "red fill")
        verify(isRed(image, 17, 14), "red fill to 6.65 px")
        verify(!isRed(image, 20, 14), "no fill further right")
        verify(isWhite(image, 10, 14), "outline")
        tryCompare(battery, "visible", false)
        image = grab()
        verify(!isWhite(image, 10, 14) && !isRed(image, 13, 14), "the symbol is off in the dark phase")
        tryCompare(battery, "visible", true)
    }

    function test_batteryFullSteadyWhite() {
        var fill = part("batteryFill")
        scene.batteryPower(19)
        scene.batteryPower(150)
        compare(fill.width, 35)
        verify(Qt.colorEqual(fill.color, '#ffffff'))
        verify(!part("batteryBlink").running)
        verify(part("battery").visible)
        var image = grab("header_battery_full.png")
        compare(countPixels(image, 12, 8, 47, 22, isWhite), 35 * 14)
        // the blink threshold
        scene.batteryPower(20)
        verify(!part("batteryBlink").running)
        verify(Qt.colorEqual(fill.color, '#ffffff'))
        fuzzyCompare(fill.width, 7, 0.001)
        scene.batteryPower(-5)
        compare(fill.width, 0)
        verify(part("batteryBlink").running)
    }

    function test_programLabel_data() {
        return [
            { tag: "0", value: 0, text: "P:0" },
            { tag: "255", value: 255, text: "P:255" },
            { tag: "256", value: 256, text: "P:--" },
            { tag: "-1", value: -1, text: "P:--" },
            { tag: "no program", value: -88, text: "P:--" },
            { tag: "text", value: "12", text: "P:12" }
        ]
    }

    function test_programLabel(data) {
        startScene()
        compare(part("prgLabel").text, "P:--")
        scene.updatePrgnr(data.value)
        compare(part("prgLabel").text, data.text)
        compare(scene.prgnumber, Number(data.value))
    }

    function test_leds() {
        startScene()
        var enable = part("enableLed")
        var ready = part("readyLed")
        compare(enable.state, "Off")
        compare(ready.state, "Yellow")

        cMainWindow.calls = []
        scene.setEnable(true)
        compare(enable.state, "On")
        compare(enable.source, "image://pics/LED_Yellow2.png")
        compare(callsTo("syslogDebug").map(function (c) { return c.args[0] }), ["update left led true"])

        scene.setReady(true)
        compare(ready.state, "Green")
        compare(ready.source, "image://pics/LED_Green2.png")
        verify(!part("ledBlink").running, "green is steady") // the colours on screen are tst_e2e's

        scene.setSysFault(true)
        compare(ready.state, "Red", "a fault wins over ready")
        verify(part("ledBlink").running)
        tryCompare(ready, "source", "image://pics/LED_Off2.png")
        tryCompare(ready, "source", "image://pics/LED_Red2.png")

        scene.setSysFault(false)
        scene.setReady(false)
        compare(ready.state, "Yellow")
        tryCompare(ready, "source", "image://pics/LED_Off2.png")
        tryCompare(ready, "source", "image://pics/LED_Yellow2.png")

        scene.setEnable(false)
        compare(enable.source, "image://pics/LED_Off2.png")
    }

    function test_connectionIcon_data() {
        return [
            { tag: "one disconnected", values: { a: 1, b: 0 }, state: "Off",
              auto: "image://pics/ICON_ZK_blue_network-rot.png", manual: "image://pics/Hand_rot.png" },
            { tag: "connected", values: { a: 1 }, state: "On",
              auto: "image://pics/ICON_ZK_blue_network-gruen.png", manual: "image://pics/Hand_grün.png" },
            { tag: "neither", values: { a: 2 }, state: "None",
              auto: "image://pics/ICON_ZK_blue_network-weiss.png", manual: "image://pics/Hand_weiß.png" },
            { tag: "no services", values: {}, state: "None",
              auto: "image://pics/ICON_ZK_blue_network-weiss.png", manual: "image://pics/Hand_weiß.png" }
        ]
    }

    function test_connectionIcon(data) {
        var icon = part("srvIcon")
        scene.resServiceConChanged({ values: data.values })
        compare(icon.state, data.state)
        verify(icon.visible)
        compare(icon.source, data.auto)
        tryCompare(icon, "status", Image.Ready)
        scene.updateOperationMode(2, 1, 1)
        compare(icon.source, data.manual, "manual operation shows the hand")
        tryCompare(icon, "status", Image.Ready)
        scene.updateOperationMode(0, 1, 1)
        compare(icon.source, data.auto)
        part("header").setSrvStateValues(null)
        compare(icon.state, "DISABLED")
        verify(!icon.visible)
    }

    function test_wifiBars() {
        startScene()
        var bars = part("signalBars")
        cMainWindow.wlanActivation = true
        scene.wifiSignal(3)
        verify(!bars.visible, "hidden before the connection is known")
        // the connection report fetches the network's names
        cMainWindow.ssidValue = "Line 4"
        cMainWindow.bssidValue = "00:11:22:33:44:55"
        scene.wifiConn(3)
        compare([scene.wifiConnection, scene.ssid, scene.bssid], [3, "Line 4", "00:11:22:33:44:55"])
        verify(part("antenna").visible)
        verify(!part("wlanCross").visible)
        verify(bars.visible)
        for (var k = 1; k <= 5; ++k)
            compare(part("bar" + k).visible, k <= 3, "bar " + k)
        var image = grab("header_wifi3.png")
        // bar k at x 66 + 6 (k - 1), 4 wide, bottoms at y 23
        verify(isWhite(image, 67, 21) && isWhite(image, 73, 21) && isWhite(image, 79, 21))
        verify(isWhite(image, 79, 13), "bar 3 is 11 high")
        verify(!isWhite(image, 79, 10))
        verify(!isWhite(image, 85, 21) && !isWhite(image, 91, 21), "bars 4 and 5 off")

        scene.wifiSignal(5)
        for (k = 1; k <= 5; ++k)
            verify(part("bar" + k).visible)
        scene.wifiConn(1)
        verify(!bars.visible)
        scene.wifiSignal(3)
        for (k = 1; k <= 5; ++k)
            verify(!part("bar" + k).visible, "no bars without a connection")
    }

    function test_activationWatch() {
        var timer = part("activationTimer")
        var header = part("header")
        scene.wifiConn(3)
        scene.wifiSignal(2)
        scene.wlanInterface(false)
        verify(timer.running)
        compare(header.activationTicks, 20)
        cMainWindow.wlanActivation = false
        timer.triggered()
        verify(part("wlanCross").visible)
        verify(!part("signalBars").visible)
        cMainWindow.wlanActivation = true
        timer.triggered()
        verify(!part("wlanCross").visible)
        verify(part("antenna").visible)
        for (var i = 0; i < 17; ++i)
            timer.triggered()
        verify(timer.running)
        timer.triggered()
        verify(!timer.running, "stops after the 20th tick")
        scene.wlanInterface(true)
        verify(timer.running, "a new report restarts the watch")
        compare(header.activationTicks, 20)
        timer.stop()
    }

    function test_testModeMarker() {
        cMainWindow.wlanActivation = false
        scene.wifiConn(3)
        scene.setFccTestMode(true)
        verify(part("testMarker").visible)
        verify(!part("antenna").visible)
        verify(!part("wlanCross").visible)
        verify(!part("signalBars").visible)
        var image = grab("header_testmode.png")
        verify(countPixels(image, 40, 0, 107, 30, isRed) > 20, "red Test marker")
        scene.wifiConn(3)
        verify(!part("antenna").visible, "stays hidden in test mode")
        part("activationTimer").triggered()
        verify(!part("wlanCross").visible)
        scene.setFccTestMode(false)
        verify(!part("testMarker").visible)
        verify(part("antenna").visible)
        verify(part("signalBars").visible)
        verify(part("wlanCross").visible)
    }
}
