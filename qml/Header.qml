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
        if (batteryLow) {
            if (!batteryBlink.running)
                batteryBlink.start()
        } else {
            batteryBlink.stop()
            batteryShown = true
        }
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

    Timer {
        id: batteryBlink
        objectName: "batteryBlink"
        interval: 500
        repeat: true
        onTriggered: root.batteryShown = !root.batteryShown
    }

    Timer {
        id: ledBlink
        objectName: "ledBlink"
        interval: 300
        repeat: true
        running: root.readyBlinks
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

    // The parts read the state by the root's id, which qmllint does not follow into a
    // loaded component.
    // qmllint disable unqualified
    Loader {
        objectName: "headerParts"
        anchors.fill: parent
        active: root.buildParts
        sourceComponent: Item {
            Image {
                objectName: "headerBackground"
                anchors.fill: parent
                source: 'image://pics/header_' + root.theme + '.png'
            }

            // The battery blinks by showing and hiding. It has a holder of its own: a change
            // of visibility re-inserts the parent's children into the scene graph, and with the
            // header's other symbols as siblings every blink would redraw them all.
            Item {
                objectName: "batteryHolder"
                Item {
                    objectName: "battery"
                    x: 10
                    y: 6
                    width: 40
                    height: 17
                    visible: root.batteryShown

                    Rectangle {
                        objectName: "batteryOutline"
                        width: 38
                        height: 17
                        color: "transparent"
                        border.width: 1
                        border.color: '#ffffff'
                    }
                    Rectangle {
                        objectName: "batteryTerminal"
                        x: 38
                        y: 5
                        width: 2
                        height: 7
                        color: '#ffffff'
                    }
                    Rectangle {
                        objectName: "batteryFill"
                        x: 2
                        y: 2
                        height: 14
                        width: 35 * root.charge
                        color: root.batteryLow ? 'red' : '#ffffff'
                    }
                }
            }

            Item {
                objectName: "antenna"
                x: 56
                y: 4
                width: 11
                height: 19
                visible: root.antennaShown

                Rectangle { x: 5; y: 3; width: 1; height: 16; color: "white" }
                Rectangle { x: 7; y: 1; width: 1; height: 9; rotation: 30; antialiasing: true; color: "white" }
                Rectangle { x: 3; y: 1; width: 1; height: 9; rotation: -30; antialiasing: true; color: "white" }
            }

            Item {
                objectName: "wlanCross"
                x: 56
                y: 4
                width: 14
                height: 20
                visible: root.crossShown

                Rectangle { x: 6; y: 10; width: 2; height: 10; rotation: 45; antialiasing: true; color: '#ed1f24' }
                Rectangle { x: 6; y: 10; width: 2; height: 10; rotation: -45; antialiasing: true; color: '#ed1f24' }
            }

            Item {
                objectName: "signalBars"
                x: 66
                y: 6
                width: 28
                height: 17
                visible: root.barsShown

                Repeater {
                    model: 5
                    Rectangle {
                        required property int index
                        objectName: "bar" + (index + 1)
                        x: index * 6
                        y: 17 - height
                        width: 4
                        height: 5 + 3 * index
                        color: "white"
                        visible: index < root.litBars
                    }
                }
            }

            Text {
                objectName: "testMarker"
                x: 40
                y: 0
                width: 67
                height: 30
                visible: root.testMode
                horizontalAlignment: Text.AlignRight
                verticalAlignment: Text.AlignVCenter
                font.family: root.fontFamily
                font.pixelSize: 20
                color: '#ff0000'
                text: qsTr("Test")
            }

            Image {
                id: srvIcon
                objectName: "srvIcon"
                x: 100
                y: 3
                width: 24
                height: 24

                property string automaticImage: ""
                property string manualImage: ""

                state: root.srvState
                visible: state !== "DISABLED"
                source: root.opMode === 2 ? manualImage : automaticImage

                states: [
                    State { name: "DISABLED" },
                    State {
                        name: "None"
                        PropertyChanges {
                            target: srvIcon
                            automaticImage: "image://pics/ICON_ZK_blue_network-weiss.png"
                            manualImage: "image://pics/Hand_weiß.png"
                        }
                    },
                    State {
                        name: "On"
                        PropertyChanges {
                            target: srvIcon
                            automaticImage: "image://pics/ICON_ZK_blue_network-gruen.png"
                            manualImage: "image://pics/Hand_grün.png"
                        }
                    },
                    State {
                        name: "Off"
                        PropertyChanges {
                            target: srvIcon
                            automaticImage: "image://pics/ICON_ZK_blue_network-rot.png"
                            manualImage: "image://pics/Hand_rot.png"
                        }
                    }
                ]
            }

            Image {
                id: enableLed
                objectName: "enableLed"
                x: 127
                y: 4
                width: 22
                height: 22
                state: root.enableState
                source: "image://pics/LED_Off2.png"

                states: [
                    State { name: "Off"; PropertyChanges { target: enableLed; source: "image://pics/LED_Off2.png" } },
                    State { name: "On"; PropertyChanges { target: enableLed; source: "image://pics/LED_Yellow2.png" } }
                ]
            }

            Image {
                id: readyLed
                objectName: "readyLed"
                x: 150
                y: 4
                width: 22
                height: 22

                property string litImage: "image://pics/LED_Yellow2.png"

                state: root.readyState
                source: root.readyBlinks && root.readyDark ? "image://pics/LED_Off2.png" : litImage

                states: [
                    State { name: "Green"; PropertyChanges { target: readyLed; litImage: "image://pics/LED_Green2.png" } },
                    State { name: "Yellow"; PropertyChanges { target: readyLed; litImage: "image://pics/LED_Yellow2.png" } },
                    State { name: "Red"; PropertyChanges { target: readyLed; litImage: "image://pics/LED_Red2.png" } }
                ]
            }

            Text {
                objectName: "prgLabel"
                x: 164
                y: 0
                width: 67
                height: 30
                horizontalAlignment: Text.AlignRight
                verticalAlignment: Text.AlignVCenter
                font.family: root.fontFamily
                font.pixelSize: 20
                color: "white"
                text: root.prgText
            }
        }
    }
}
