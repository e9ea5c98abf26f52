import QtQuick

// The older time screen: a wheel steps through hour and minute, a show step follows, then
// the main menu. It does not set the clock.
Rectangle {
    id: root
    objectName: "settime"

    property int hour: 0
    property int minute: 0
    property string step: 'hour'
    property color titleColor: '#ffffff'
    property color textColor: '#000000'

    x: 0
    y: 30
    width: 240
    height: 260
    color: '#ececec'
    focus: true

    function two(n) {
        return n < 10 ? '0' + n : String(n)
    }

    function setTheme(value) {
        const dark = value === 'black'
        titleColor = dark ? '#000000' : '#ffffff'
        color = dark ? '#000000' : '#ececec'
        textColor = dark ? '#ffffff' : '#000000'
        wheel.setTheme(value)
    }

    function enter(next) {
        step = next
        if (next === 'hour') {
            wheel.x = 60
            wheel.setNumbers(0, 23, hour)
        } else if (next === 'minute') {
            wheel.x = 127
            wheel.setNumbers(0, 59, minute)
        } else {
            wheel.x = 265
        }
        line.text = two(hour) + ':' + two(minute)
        mainwindow.trySetButtons(next === 'show' ? '' : '@up', qsTr("Next"), next === 'show' ? '' : '@down')
    }

    Rectangle {
        width: 240
        height: 52
        color: root.titleColor
        Text {
            anchors.fill: parent
            anchors.leftMargin: 4
            anchors.rightMargin: 4
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            textFormat: Text.PlainText
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 18
            elide: Text.ElideRight
            text: qsTr("Set Time")
            font.family: mainwindow.defaultFont
            font.pixelSize: 32
            color: root.textColor
        }
    }

    Text {
        id: line
        z: 1
        x: 75
        y: 52 + (208 - height) / 2
        textFormat: Text.PlainText
        font.family: mainwindow.defaultFont
        font.pixelSize: 35
        color: root.textColor
    }

    NumberWheel {
        id: wheel
        objectName: "timeWheel"
        z: 2
        x: 60
        y: 59
    }

    Keys.onPressed: (event) => {
        if (!mainwindow.is_none_bms_key_events_open(event.key)) {
            mainwindow.changeView = true
            return
        }
        if (event.key === Qt.Key_Left) {
            wheel.previous()
        } else if (event.key === Qt.Key_Right) {
            wheel.next()
        } else if (event.key === Qt.Key_A) {
            if (step === 'hour') {
                hour = wheel.getValue()
                enter('minute')
            } else if (step === 'minute') {
                minute = wheel.getValue()
                enter('show')
            } else {
                mainwindow.gotoState('mainmenu')
            }
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        const now = new Date()
        hour = now.getHours()
        minute = now.getMinutes()
        setTheme(mainwindow.theme)
        enter('hour')
    }
}
