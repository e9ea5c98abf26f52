import QtQuick

// The job display's box, picture and texts, built once the first frame is on the display
// or when the display shows before that. They show the state that the display keeps.
Item {
    id: parts

    required property JobPopup popup

    Rectangle {
        objectName: "jobPopupBox"
        y: -7
        width: 240
        height: 155
        border.width: 2
        color: parts.popup.theme === 'black' ? "#000000" : "lightgray"
    }

    Image {
        anchors.fill: parent
        // Taken when the popup shows, not kept from the start while it is hidden.
        source: !parts.popup.visible ? '' : parts.popup.theme === 'black' ? 'image://pics/jobPopup_black.png' : 'image://pics/jobPopup_blue.png'
    }

    Rectangle {
        x: 0
        y: 0
        width: 240
        height: 45
        color: "transparent"
        border.width: 1
        border.color: parts.popup.theme === 'black' ? '#808080' : '#1d3f66'

        Text {
            objectName: "jobPopupHeader"
            x: 0
            y: 0
            width: 240
            height: 45
            font.family: parts.popup.fontFamily
            font.pixelSize: 30
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 14
            elide: Text.ElideRight
            leftPadding: 4
            rightPadding: 4
            textFormat: Text.PlainText
            color: parts.popup.textColor
            text: parts.popup.headText
        }
    }

    Text {
        objectName: "jobPopupBody"
        x: 12
        y: 50
        width: 216
        height: 95
        font.family: parts.popup.fontFamily
        font.pixelSize: 22
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        elide: Text.ElideRight
        textFormat: Text.PlainText
        color: parts.popup.textColor
        text: parts.popup.bodyText
    }
}
