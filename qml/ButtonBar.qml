import QtQuick

// Labels of the three keys. A text beginning with "@" is an icon code
// ('@up' -> icon_up.png; '@scan' -> icon_scan_left/middle/right.png by position).
Item {
    id: root
    objectName: "buttonBar"

    property string theme: 'blue'
    property string fontFamily: "Tavik Sans"
    property real alphaLeft: 1
    property real alphaMiddle: 1
    property real alphaRight: 1
    // The texts last set with setButtons.
    property string btnLeftStr: ''
    property string btnMiddleStr: ''
    property string btnRightStr: ''
    property int textPixelSize: 20

    function asText(value) {
        return (value === undefined || value === null) ? '' : String(value)
    }

    function show(label, icon, value, position) {
        var t = asText(value)
        if (t.charAt(0) === '@') {
            var code = t.substring(1)
            icon.source = code === 'scan' ? 'image://pics/icon_scan_' + position + '.png'
                                          : 'image://pics/icon_' + code + '.png'
            icon.visible = true
            label.visible = false
            label.text = ''
        } else {
            icon.visible = false
            label.text = t
            label.visible = true
        }
    }

    function setButtonsWithoutState(btnLeft, btnMiddle, btnRight) {
        show(textLeft, iconLeft, btnLeft, 'left')
        show(textMiddle, iconMiddle, btnMiddle, 'middle')
        show(textRight, iconRight, btnRight, 'right')
    }

    function setButtons(btnLeft, btnMiddle, btnRight) {
        setButtonsWithoutState(btnLeft, btnMiddle, btnRight)
        btnLeftStr = asText(btnLeft)
        btnMiddleStr = asText(btnMiddle)
        btnRightStr = asText(btnRight)
    }

    function setPressed(btnLeft, btnMiddle, btnRight) {
        alphaLeft = btnLeft ? 0.5 : 1
        alphaMiddle = btnMiddle ? 0.5 : 1
        alphaRight = btnRight ? 0.5 : 1
    }

    function setButtonsFont(keyModeFont) {
        textPixelSize = keyModeFont ? 15 : 20
    }

    function setTheme(value) {
        theme = value
    }

    width: 240
    height: 30

    Image {
        id: background
        objectName: "buttonBarBackground"
        anchors.fill: parent
        source: 'image://pics/buttonbar_' + root.theme + '.png'
    }

    Image {
        id: iconLeft
        objectName: "iconLeft"
        x: 0
        width: 65
        height: 30
        visible: false
        opacity: root.alphaLeft
    }
    Image {
        id: iconMiddle
        objectName: "iconMiddle"
        x: 105
        width: 65
        height: 30
        visible: false
        opacity: root.alphaMiddle
    }
    Image {
        id: iconRight
        objectName: "iconRight"
        x: 175
        width: 65
        height: 30
        visible: false
        opacity: root.alphaRight
    }

    Text {
        id: textLeft
        objectName: "textLeft"
        x: 5
        width: 65
        height: 30
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: root.fontFamily
        font.pixelSize: root.textPixelSize
        color: "white"
        opacity: root.alphaLeft
    }
    Text {
        id: textMiddle
        objectName: "textMiddle"
        x: 65
        width: 110
        height: 30
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: root.fontFamily
        font.pixelSize: root.textPixelSize
        color: "white"
        opacity: root.alphaMiddle
    }
    Text {
        id: textRight
        objectName: "textRight"
        x: 170
        width: 65
        height: 30
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: root.fontFamily
        font.pixelSize: root.textPixelSize
        color: "white"
        opacity: root.alphaRight
    }
}
