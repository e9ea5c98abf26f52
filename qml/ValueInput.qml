import QtQuick

// A number to set with a continuous wheel: the wheel, the value and its unit. The program
// editor always works in 'setvalue'.
Rectangle {
    id: root
    objectName: "valueInput"

    property string unit: ''
    property string value: ''
    property color textColor: '#000000'
    property alias wheel: wheel

    function setRangeValue(min, max, startValue) {
        wheel.setContinous(min, max, startValue)
    }

    function up() {
        wheel.previous()
    }

    function down() {
        wheel.next()
    }

    function getValue() {
        return wheel.getValue()
    }

    function next() {
        if (state === 'show') {
            state = 'setvalue'
        } else {
            value = String(wheel.getValue())
            state = 'show'
        }
    }

    function setTheme(themeValue) {
        color = themeValue === 'black' ? '#000000' : '#ececec'
        textColor = themeValue === 'black' ? '#ffffff' : '#000000'
        wheel.setTheme(themeValue)
    }

    width: 240
    height: 208
    color: '#ececec'
    state: 'show'

    NumberWheel {
        id: wheel
        x: 23
        y: 7
        width: 128
        // bound, not set by the states: the input is built hidden, and a state would save
        // the visibility it read then
        visible: root.state === 'setvalue'
    }

    Text {
        objectName: "valueText"
        x: 100
        y: 84
        font.family: mainwindow.defaultFont
        font.pixelSize: 35
        color: root.textColor
        textFormat: Text.PlainText
        text: root.value
    }

    Text {
        objectName: "unitText"
        x: 164
        y: 80
        font.family: mainwindow.defaultFont
        font.pixelSize: 35
        color: root.textColor
        textFormat: Text.PlainText
        text: root.unit
    }

    states: [
        State { name: 'show' },
        State { name: 'setvalue' }
    ]

    Component.onCompleted: mainwindow.trySetButtons('@up', qsTr("Next"), '@down')
}
