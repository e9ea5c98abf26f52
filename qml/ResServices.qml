pragma ComponentBehavior: Bound

import QtQuick

// The details a result-protocol service reports about itself: one row per key and value.
GUIView {
    id: root
    objectName: "resservices"

    headerText: qsTr(mainwindow.serviceName)
    fontFamily: mainwindow.defaultFont
    focus: true

    property real cursorStep: 0
    property var rows: ListModel {}
    property alias listView: rowList

    Image {
        y: 52
        width: 240
        height: 208
        source: 'image://pics/jobPopup_' + (mainwindow.theme === 'black' ? 'black' : 'blue') + '.png'
    }

    ListView {
        id: rowList
        objectName: "detailList"
        y: 52
        width: 240
        height: 208
        spacing: 10
        clip: true
        interactive: false
        model: root.rows
        delegate: Item {
            id: detailRow
            required property string key
            required property string val
            width: 240
            height: Math.max(70, valueText.y + valueText.height)
            Text {
                x: 0
                y: -6
                textFormat: Text.PlainText
                text: "______________________________________"
                font.pixelSize: 10
                color: 'darkgray'
            }
            Text {
                id: keyText
                x: 8
                y: 16
                width: 220
                textFormat: Text.PlainText
                elide: Text.ElideRight
                text: qsTr(detailRow.key)
                font.family: mainwindow.defaultFont
                font.pixelSize: 12
                color: root.textColor
            }
            Text {
                id: valueText
                x: 5
                y: 34 - 10
                width: 230
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WrapAnywhere
                textFormat: Text.PlainText
                text: detailRow.val
                font.family: mainwindow.defaultFont
                font.pixelSize: 20
                color: root.textColor
            }
        }
    }

    Rectangle {
        id: scrollBar
        objectName: "detailScrollBar"
        x: 232
        y: 52
        width: 8
        height: 218
        visible: false
        color: mainwindow.theme === 'black' ? '#515151' : '#cdcdcd'
        Rectangle {
            id: scrollCursor
            width: 8
            color: mainwindow.theme === 'black' ? '#ffffff' : '#234461'
        }
    }

    function setTheme(value) {
        guiView_setTheme(value)
    }

    function moveTo(index) {
        rowList.currentIndex = index
        scrollCursor.y = cursorStep * index
        rowList.positionViewAtIndex(index, ListView.Beginning)
    }

    function updateBar() {
        const n = rows.count
        const i = rowList.currentIndex
        if (n === 0)
            mainwindow.trySetButtons('', qsTr("Back"), '')
        else if (i <= 0)
            mainwindow.trySetButtons('', qsTr("Back"), '@down')
        else if (i === n - 1)
            mainwindow.trySetButtons('@up', qsTr("Back"), '')
        else
            mainwindow.trySetButtons('@up', qsTr("Back"), '@down')
    }

    function setValues() {
        const remembered = rowList.currentIndex
        rows.clear()
        const data = mainwindow.readSrvsFile()
        for (let i = 0; i < data.length; ++i) {
            const e = data[i] || {}
            rows.append({ key: String(e.key === undefined ? '' : e.key),
                          val: String(e.val === undefined ? '' : e.val) })
        }
        if (rows.count > 0) {
            mainwindow.trySetButtons('', qsTr("Back"), '@down')
            scrollBar.visible = true
            scrollCursor.height = 218 / rows.count
            cursorStep = (218 - scrollCursor.height) / rows.count
            moveTo(Math.min(Math.max(remembered, 0), rows.count - 1))
            updateBar()
        } else {
            mainwindow.trySetButtons('', qsTr("Back"), '')
            scrollBar.visible = false
        }
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
        if (key === Qt.Key_A) {
            mainwindow.gotoState('diagnosis')
            return
        }
        if (rows.count === 0)
            return
        if (key === Qt.Key_Left && rowList.currentIndex > 0)
            moveTo(rowList.currentIndex - 1)
        else if (key === Qt.Key_Right && rowList.currentIndex < rows.count - 1)
            moveTo(rowList.currentIndex + 1)
        updateBar()
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        setValues()
        mainwindow.checkBmsKeyModus()
    }
}
