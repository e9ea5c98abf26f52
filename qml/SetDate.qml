import QtQuick

// The older date screen: a wheel steps through day, month and year, a show step follows,
// then the time screen. It does not set the clock.
Rectangle {
    id: root
    objectName: "setdate"

    property int day: 1
    property int month: 1
    property int year: 0
    property string step: 'day'
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

    function show() {
        line.text = two(day) + '.' + two(month) + '.20' + two(year)
    }

    function enter(next) {
        step = next
        if (next === 'day') {
            wheel.x = 20
            wheel.setNumbers(1, 31, day)
        } else if (next === 'month') {
            wheel.x = 90
            wheel.setNumbers(1, 12, month)
        } else if (next === 'year') {
            wheel.x = 165
            wheel.setNumbers(0, 99, year)
        } else {
            wheel.x = 265
        }
        show()
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
            text: qsTr("Set Date")
            font.family: mainwindow.defaultFont
            font.pixelSize: 32
            color: root.textColor
        }
    }

    Text {
        id: line
        z: 1
        x: 20
        y: 52 + (208 - height) / 2
        textFormat: Text.PlainText
        font.family: mainwindow.defaultFont
        font.pixelSize: 35
        color: root.textColor
    }

    NumberWheel {
        id: wheel
        objectName: "dateWheel"
        z: 2
        x: 20
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
            if (step === 'day') {
                day = wheel.getValue()
                enter('month')
            } else if (step === 'month') {
                month = wheel.getValue()
                enter('year')
            } else if (step === 'year') {
                year = wheel.getValue()
                enter('show')
            } else {
                mainwindow.gotoState('settime')
            }
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        const now = new Date()
        day = now.getDate()
        month = now.getMonth() + 1
        year = now.getFullYear() % 100
        setTheme(mainwindow.theme)
        enter('day')
    }
}
