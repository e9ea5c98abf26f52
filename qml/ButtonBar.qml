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
    // Set once the first frame is on the display: the pictures and texts are built then (the
    // bar is out of sight until it has slid in). What each key shows: an icon's picture, or
    // a text.
    property bool buildParts: false
    property string leftIcon: ''
    property string middleIcon: ''
    property string rightIcon: ''
    property bool leftIsIcon: false
    property bool middleIsIcon: false
    property bool rightIsIcon: false
    property string leftText: ''
    property string middleText: ''
    property string rightText: ''

    function asText(value) {
        return (value === undefined || value === null) ? '' : String(value)
    }

    // The key at `position` ('left', 'middle', 'right') shows `value`.
    function show(position, value) {
        var t = asText(value)
        if (t.charAt(0) === '@') {
            var code = t.substring(1)
            root[position + 'Icon'] = code === 'scan' ? 'image://pics/icon_scan_' + position + '.png'
                                                      : 'image://pics/icon_' + code + '.png'
            root[position + 'IsIcon'] = true
            root[position + 'Text'] = ''
        } else {
            root[position + 'IsIcon'] = false
            root[position + 'Text'] = t
        }
    }

    function setButtonsWithoutState(btnLeft, btnMiddle, btnRight) {
        show('left', btnLeft)
        show('middle', btnMiddle)
        show('right', btnRight)
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

    Loader {
        objectName: "buttonBarParts"
        anchors.fill: parent
        active: root.buildParts
        // By file name: the parts' type, too, is loaded only when they are built.
        Component.onCompleted: setSource("ButtonBarParts.qml", { bar: root })
    }
}
