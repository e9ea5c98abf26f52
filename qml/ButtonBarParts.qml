import QtQuick

// The button bar's pictures and texts, built once the first frame is on the display. They
// show the state that the bar keeps.
Item {
    id: parts

    required property ButtonBar bar

    Image {
        objectName: "buttonBarBackground"
        anchors.fill: parent
        source: 'image://pics/buttonbar_' + parts.bar.theme + '.png'
    }

    Image {
        objectName: "iconLeft"
        x: 0
        width: 65
        height: 30
        visible: parts.bar.leftIsIcon
        source: parts.bar.leftIcon
        opacity: parts.bar.alphaLeft
    }
    Image {
        objectName: "iconMiddle"
        x: 105
        width: 65
        height: 30
        visible: parts.bar.middleIsIcon
        source: parts.bar.middleIcon
        opacity: parts.bar.alphaMiddle
    }
    Image {
        objectName: "iconRight"
        x: 175
        width: 65
        height: 30
        visible: parts.bar.rightIsIcon
        source: parts.bar.rightIcon
        opacity: parts.bar.alphaRight
    }

    // Key names come from the PLC table: plain text, shrunk to a legible size and then elided,
    // each within its own part of the bar.
    Text {
        objectName: "textLeft"
        x: 5
        width: 65
        height: 30
        visible: !parts.bar.leftIsIcon
        rightPadding: 3
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: parts.bar.fontFamily
        font.pixelSize: parts.bar.textPixelSize
        color: "white"
        opacity: parts.bar.alphaLeft
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideRight
        text: parts.bar.leftText
    }
    Text {
        objectName: "textMiddle"
        x: 65
        width: 110
        height: 30
        visible: !parts.bar.middleIsIcon
        leftPadding: 3
        rightPadding: 3
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: parts.bar.fontFamily
        font.pixelSize: parts.bar.textPixelSize
        color: "white"
        opacity: parts.bar.alphaMiddle
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideRight
        text: parts.bar.middleText
    }
    Text {
        objectName: "textRight"
        x: 170
        width: 65
        height: 30
        visible: !parts.bar.rightIsIcon
        leftPadding: 3
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: parts.bar.fontFamily
        font.pixelSize: parts.bar.textPixelSize
        color: "white"
        opacity: parts.bar.alphaRight
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideRight
        text: parts.bar.rightText
    }
}
