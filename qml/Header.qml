import QtQuick

// The tool's state line: battery, WLAN, result-protocol connections, enable and ready
// LEDs and the loaded program. The root sets the flags and calls the functions.
Rectangle {
    id: root
    objectName: "header"

    property string theme: 'blue'
    property string fontFamily: "Tavik Sans"
    property bool sysfaultFlag: false
    property bool readyFlag: false
    property bool enableFlag: false
    property int connection: -1
    // From the root: WLAN bars last reported, operation mode (2 = manual) and whether
    // the configuration shows the connection states.
    property int wifiSignalParam: 0
    property int opMode: 0
    property bool showConnectionStatus: false

    property real charge: 0
    property var srvValues: null
    property int activationTicks: 0
    // Set once the first frame is on the display: the pictures and texts are built then (the
    // header is out of sight until it has slid in). Until then, and after, the functions only
    // change the state below, which the parts show.
    property bool buildParts: false
    property bool batteryLow: false
    property bool batteryShown: true
    property int litBars: 0
    property bool testMode: false
    property bool antennaShown: false
    property bool crossShown: false
    property bool barsShown: false
    property string srvState: "DISABLED"
    property string enableState: "Off"
    property string readyState: "Yellow"
    readonly property bool readyBlinks: readyState !== "Green"
    property bool readyDark: false
    property string prgText: qsTr("P:--")

    function setBatteyCapacity(value) {
        var c = Number(value)
        if (isNaN(c) || c < 0)
            c = 0
        else if (c > 1)
            c = 1
        charge = c
        batteryLow = c < 0.2
        if (!batteryLow)
            batteryShown = true
    }

    function setWifiSignal(value) {
        var v = Number(value)
        // bar k is lit for v >= k
        litBars = connection === 3 && !isNaN(v) ? Math.max(0, Math.min(5, Math.floor(v))) : 0
    }

    function wlanActivated() {
        return Boolean(cMainWindow.loadWlanActivation())
    }

    function setWifiConnection(value) {
        connection = value
        if (connection === 3)
            setWifiSignal(wifiSignalParam)
        if (testMode) {
            antennaShown = false
            crossShown = false
            barsShown = false
        } else {
            antennaShown = true
            crossShown = !wlanActivated()
            barsShown = connection === 3
        }
    }

    function setWlanDisconnected(active) {
        activationTicks = 20
        activationTimer.restart()
    }

    function setFccTestMode(active) {
        testMode = Boolean(active)
        if (testMode) {
            antennaShown = false
            barsShown = false
            crossShown = false
        } else {
            antennaShown = true
            barsShown = connection === 3
            crossShown = !wlanActivated()
        }
    }

    function setPrgName(name) {
        var n = Number(name)
        var shown = (name === null || name === undefined || name === '' || isNaN(n) || n > 255 || n < 0) ? "--" : String(n)
        prgText = qsTr("P:") + shown
    }

    function updateLEDState() {
        enableState = enableFlag ? "On" : "Off"
        cMainWindow.syslogDebug("update left led " + enableFlag)
        if (sysfaultFlag)
            readyState = "Red"
        else if (readyFlag)
            readyState = "Green"
        else
            readyState = "Yellow"
    }

    function setSrvStateValues(map) {
        srvValues = map
        if (!showConnectionStatus || map === null || map === undefined) {
            srvState = "DISABLED"
            return
        }
        var disconnected = 0
        var connected = 0
        for (var name in map) {
            if (map[name] === 0)
                ++disconnected
            else if (map[name] === 1)
                ++connected
        }
        srvState = disconnected > 0 ? "Off" : (connected > 0 ? "On" : "None")
    }

    function setTheme(value) {
        theme = value
    }

    width: 240
    height: 30
    color: "black"

    // Out of sight (slid up behind a popup or a full screen) nothing blinks.
    readonly property bool onScreen: y > -height

    Timer {
        id: batteryBlink
        objectName: "batteryBlink"
        interval: 500
        repeat: true
        running: root.batteryLow && root.onScreen
        onTriggered: root.batteryShown = !root.batteryShown
    }

    Timer {
        id: ledBlink
        objectName: "ledBlink"
        interval: 300
        repeat: true
        running: root.readyBlinks && root.onScreen
        onRunningChanged: root.readyDark = false
        onTriggered: root.readyDark = !root.readyDark
    }

    Timer {
        id: activationTimer
        objectName: "activationTimer"
        interval: 2000
        repeat: true
        onTriggered: {
            if (!root.testMode) {
                if (root.wlanActivated()) {
                    root.crossShown = false
                    root.antennaShown = true
                } else {
                    root.crossShown = true
                    root.antennaShown = true
                    root.barsShown = false
                }
            }
            root.activationTicks -= 1
            if (root.activationTicks <= 0)
                stop()
        }
    }

    Loader {
        objectName: "headerParts"
        anchors.fill: parent
        active: root.buildParts
        // By file name: the parts' type, too, is loaded only when they are built.
        Component.onCompleted: setSource("HeaderParts.qml", { header: root })
    }
}
