pragma ComponentBehavior: Bound

import QtQuick

// The header's pictures and texts, built once the first frame is on the display. They
// show the state that the header keeps.
Item {
    id: parts

    required property Header header

    Image {
        objectName: "headerBackground"
        anchors.fill: parent
        source: 'image://pics/header_' + parts.header.theme + '.png'
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
            visible: parts.header.batteryShown

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
                width: 35 * parts.header.charge
                color: parts.header.batteryLow ? 'red' : '#ffffff'
            }
        }
    }

    Item {
        objectName: "antenna"
        x: 56
        y: 4
        width: 11
        height: 19
        visible: parts.header.antennaShown

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
        visible: parts.header.crossShown

        Rectangle { x: 6; y: 10; width: 2; height: 10; rotation: 45; antialiasing: true; color: '#ed1f24' }
        Rectangle { x: 6; y: 10; width: 2; height: 10; rotation: -45; antialiasing: true; color: '#ed1f24' }
    }

    Item {
        objectName: "signalBars"
        x: 66
        y: 6
        width: 28
        height: 17
        visible: parts.header.barsShown

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
                visible: index < parts.header.litBars
            }
        }
    }

    Text {
        objectName: "testMarker"
        x: 40
        y: 0
        width: 67
        height: 30
        visible: parts.header.testMode
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        font.family: parts.header.fontFamily
        font.pixelSize: 20
        color: '#ff0000'
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideLeft
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

        state: parts.header.srvState
        visible: state !== "DISABLED"
        source: parts.header.opMode === 2 ? manualImage : automaticImage

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
        state: parts.header.enableState
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

        state: parts.header.readyState
        source: parts.header.readyBlinks && parts.header.readyDark ? "image://pics/LED_Off2.png" : litImage

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
        // a long label shrinks and keeps its number, clear of the ready LED
        leftPadding: 9
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        font.family: parts.header.fontFamily
        font.pixelSize: 20
        color: "white"
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideLeft
        text: parts.header.prgText
    }
}
