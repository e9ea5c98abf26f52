pragma ComponentBehavior: Bound

import QtQuick

// The production test's display: five text fields and a progress bar, written by a test
// process through the GUI's D-Bus service. No keys, no theme.
Rectangle {
    id: root
    objectName: "testview"

    width: 240
    height: 320
    color: '#ffffff'
    focus: true

    property alias progressWidth: inner.width

    // Field places and default colours.
    readonly property var fields: [
        { x: 0, y: 0, w: 240, h: 50 },
        { x: 0, y: 70, w: 239, h: 220 },
        { x: 0, y: 290, w: 80, h: 30 },
        { x: 80, y: 290, w: 80, h: 30 },
        { x: 160, y: 290, w: 80, h: 30 }
    ]

    Repeater {
        id: fieldRepeater
        model: 5
        delegate: Rectangle {
            id: field
            required property int index
            property alias label: label
            objectName: "testField" + field.index
            x: root.fields[field.index].x
            y: root.fields[field.index].y
            width: root.fields[field.index].w
            height: root.fields[field.index].h
            color: '#ffffff'
            Text {
                id: label
                anchors.fill: parent
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
                font.family: mainwindow.defaultFont
                font.pixelSize: field.index === 0 ? 20 : (field.index === 1 ? 16 : 12)
                color: '#000000'
                text: field.index === 0 ? "Test view\nline2" : ""
            }
        }
    }

    Rectangle {
        objectName: "testProgress"
        x: 1
        y: 50
        width: 238
        height: 20
        color: '#ffffff'
        border.width: 2
        border.color: '#000000'
        Rectangle {
            id: inner
            objectName: "testProgressBar"
            x: 1
            y: 1
            height: 18
            width: 0
            color: '#3a8d25'
            Behavior on width {
                NumberAnimation { duration: 500; easing.type: Easing.InOutQuad }
            }
        }
    }

    function setText(field, color, bgColor, size, text) {
        const n = Number(field)
        if (!(n >= 0 && n <= 4) || Math.floor(n) !== n)
            return
        const item = fieldRepeater.itemAt(n)
        item.color = bgColor
        item.label.color = color
        item.label.font.pixelSize = Number(size)
        item.label.text = String(text)
    }

    function setProgress(progress) {
        inner.width = 236 * Number(progress) / 100
    }
}
