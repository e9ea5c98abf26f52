import QtQuick

// The laser warning shown at start-up when configured. With view.warning.forceread the
// operator has to scroll to its end before the middle key leads on to the start view.
Rectangle {
    id: root
    objectName: "warning"

    // the operator may leave
    property bool textRead: false
    readonly property int scrollStep: 10

    width: 240
    height: 290
    color: "white"
    focus: true

    function lowLimit() {
        return 238 - (title.height + laserImage.height + warningText.height + 32)
    }

    function updateBar() {
        var middle = textRead ? qsTr("OK") : ''
        var y = column.y
        if (y === 0)
            mainwindow.trySetButtons('', middle, '@down')
        else if (y <= lowLimit())
            mainwindow.trySetButtons('@up', middle, '')
        else
            mainwindow.trySetButtons('@up', middle, '@down')
    }

    Keys.onPressed: (event) => {
        var key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_A && textRead) {
            if (mainwindow.changeView)
                return
            mainwindow.changeView = true
            var next = mainwindow.cfg.global.startview
            mainwindow.gotoState(mainwindow.hasState(next) ? next : 'actualValues')
            mainwindow.checkBmsKeyModus()
            return
        }
        if (key === Qt.Key_Left && column.y < 0)
            column.y = Math.min(0, column.y + scrollStep)
        else if (key === Qt.Key_Right && column.y > lowLimit())
            column.y -= scrollStep
        if (column.y <= lowLimit())
            textRead = true
        updateBar()
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }

    Rectangle {
        objectName: "warningStrip"
        width: 240
        height: 52
        color: '#ffff00'

        Image {
            x: 8
            y: 8
            width: 41
            height: 36
            source: "image://pics/warning.png"
        }

        Text {
            // centred beside the sign, never over it
            anchors.fill: parent
            anchors.leftMargin: 52
            anchors.rightMargin: 52
            textFormat: Text.PlainText
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 18
            elide: Text.ElideRight
            text: qsTr("Caution")
            font.family: mainwindow.defaultFont
            font.pixelSize: 32
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            color: "black"
        }
    }

    Item {
        y: 52
        width: 240
        height: 238
        clip: true

        Column {
            id: column
            objectName: "warningColumn"
            width: 240

            Text {
                id: title
                width: 240
                text: qsTr("<laser warning>")
                font.family: mainwindow.defaultFont
                font.pixelSize: 16
                font.bold: true
                wrapMode: Text.WordWrap
                textFormat: Text.PlainText
                color: "black"
            }
            Item {
                width: 240
                height: laserImage.height
                Image {
                    id: laserImage
                    x: 70
                    width: 100
                    height: 89
                    source: "image://pics/laser.png"
                }
            }
            Text {
                id: warningText
                objectName: "warningText"
                width: 240
                text: qsTr("<laser warning text>")
                font.family: mainwindow.defaultFont
                font.pixelSize: 16
                wrapMode: Text.WordWrap
                textFormat: Text.PlainText
                color: "black"
            }
        }
    }

    Component.onCompleted: {
        var warning = mainwindow.cfg.view ? mainwindow.cfg.view.warning : undefined
        if (warning && warning.forceread === true) {
            textRead = false
            mainwindow.trySetButtons('', '', '@down')
        } else {
            textRead = true
            mainwindow.trySetButtons('', qsTr("OK"), '@down')
        }
        mainwindow.checkBmsKeyModus()
    }
}
