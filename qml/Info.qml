pragma ComponentBehavior: Bound

import QtQuick
import Tavik 1.0

// What the tool knows about itself: ten fixed rows, four shown at a time, refreshed every
// second; the access point's address is asked for every five seconds, on every fifth refresh,
// and read from the file the WLAN service rewrites on the refresh after. One plain timer and a
// request nobody waits for: the screen wakes the program once a second.
GUIView {
    id: root
    objectName: "info"

    headerText: qsTr("Info")
    fontFamily: mainwindow.defaultFont
    focus: true

    property int topRow: 0
    property real cursorStep: 0
    property var rowNames: [QT_TR_NOOP("Code"), QT_TR_NOOP("Version"), QT_TR_NOOP("Time"), QT_TR_NOOP("RSSI Level"),
        QT_TR_NOOP("WLAN"), QT_TR_NOOP("SSID"), QT_TR_NOOP("BSSID"), QT_TR_NOOP("LAN"),
        QT_TR_NOOP("Card Temperature"), QT_TR_NOOP("Avg. Load Torque")]
    property var rowValues: ['-', '-', '-', '-', '-', '-', '-', '-', '-', '-']
    property color barColor: '#cdcdcd'
    property color cursorColor: '#234461'
    // refreshes since the access point's address was last asked for
    property int ticksSinceBssid: 0
    property alias listView: infoList

    Image {
        y: 52
        width: 240
        height: 208
        source: 'image://pics/actual_bg_' + (mainwindow.theme === 'black' ? 'black' : 'blue') + '.png'
    }

    ListView {
        id: infoList
        objectName: "infoList"
        y: 52
        width: 240
        height: 208
        clip: true
        interactive: false
        model: 10
        delegate: Item {
            id: infoRow
            required property int index
            width: 240
            height: 52
            Text {
                x: 8
                y: 7
                width: 220
                textFormat: Text.PlainText
                elide: Text.ElideRight
                text: qsTr(root.rowNames[infoRow.index])
                font.family: mainwindow.defaultFont
                font.pixelSize: 12
                color: root.textColor
            }
            Text {
                x: 4
                width: 224
                y: 24
                horizontalAlignment: Text.AlignHCenter
                textFormat: Text.PlainText
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 12
                text: root.rowValues[infoRow.index]
                font.family: mainwindow.defaultFont
                font.pixelSize: 20
                elide: Text.ElideRight
                color: root.textColor
            }
        }
    }

    Rectangle {
        id: scrollBar
        objectName: "infoScrollBar"
        x: 232
        y: 52
        width: 8
        height: 208
        color: root.barColor
        Rectangle {
            id: scrollCursor
            objectName: "infoScrollCursor"
            width: 8
            height: 208 * 4 / 10
            color: root.cursorColor
        }
    }

    function setTheme(value) {
        guiView_setTheme(value)
        barColor = value === 'black' ? '#515151' : '#cdcdcd'
        cursorColor = value === 'black' ? '#ffffff' : '#234461'
    }

    function fillValues() {
        const v = cMainWindow.getInfoValues()
        const ip = v.ip === undefined ? '-' : String(v.ip)
        const rssi = mainwindow.rssiLevel
        const temperature = String(v.temperature)
        const bssid = mainwindow.bssid
        rowValues = [
            String(v.code).trim(),
            String(v.version).trim(),
            String(v.time),
            (rssi > -999 && rssi < 0 && ip !== '-') ? rssi + " dbm" : '-',
            ip,
            ip === '-' ? '-' : String(mainwindow.ssid),
            (bssid === undefined || bssid === '' || bssid === '-') ? '-' : String(bssid),
            String(v.lanip),
            (temperature === '-' || isNaN(parseFloat(temperature))) ? '-' : Math.round(parseFloat(temperature)) + " \u00B0C",
            String(v.avgloadtorque)
        ]
    }

    function setValues() {
        fillValues()
        refreshTimer.restart()
    }

    function changeBssidTimer(active) {
        bssidAsked = active
        ticksSinceBssid = 0
    }

    property bool bssidAsked: false

    function refresh() {
        if (bssidAsked && ++ticksSinceBssid >= 5) {
            ticksSinceBssid = 0
            cMainWindow.requestStationInfo()
        } else if (bssidAsked && ticksSinceBssid === 1) {
            mainwindow.bssid = cMainWindow.readBSSID()
        }
        fillValues()
    }

    function showFrom(row) {
        topRow = row
        scrollCursor.y = cursorStep * row
        infoList.positionViewAtIndex(row, ListView.Beginning)
        updateBar()
    }

    function updateBar() {
        if (topRow === 0)
            mainwindow.trySetButtons('', qsTr("Back"), '@down')
        else if (topRow === 6)
            mainwindow.trySetButtons('@up', qsTr("Back"), '')
        else if (topRow === 1 || topRow === 5)
            mainwindow.trySetButtons('@up', qsTr("Back"), '@down')
    }

    TickTimer {
        id: refreshTimer
        interval: 1000
        repeat: true
        onTriggered: root.refresh()
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_A)
            mainwindow.gotoState('mainmenu')
        else if (key === Qt.Key_Left && topRow > 0)
            showFrom(topRow - 1)
        else if (key === Qt.Key_Right && topRow < 6)
            showFrom(topRow + 1)
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        mainwindow.trySetButtons('', qsTr("Back"), '@down')
        cursorStep = (208 - scrollCursor.height) / 6
        setValues()
        changeBssidTimer(true)
        mainwindow.checkBmsKeyModus()
    }

    Component.onDestruction: {
        refreshTimer.stop()
    }
}
