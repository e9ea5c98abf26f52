import QtQuick
import "qrc:/qml"

// A stand-in root for the list components alone: the few root members the lists use,
// with the bar texts they set recorded.
Rectangle {
    id: mainwindow

    property string theme: 'blue'
    property string defaultFont: "Tavik Sans"
    property int basicPointSize: 23
    property string disable_color: '#999999'
    property int genericListShowArrows: 0
    property var bar: ['', '', '']
    property int barCount: 0

    property alias plainList: plainList
    property alias connectedList: connectedList

    function trySetButtons(left, middle, right) {
        bar = [left, middle, right]
        barCount += 1
    }

    width: 240
    height: 320
    color: '#ececec'

    GenericList {
        id: plainList
        objectName: "plainList"
        y: 52
    }

    GenericConnectedList {
        id: connectedList
        objectName: "connectedList"
        y: 52
        visible: false
    }
}
