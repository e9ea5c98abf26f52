import QtQuick

// The job display: a box over the actual-values screen with the job sequence's last message.
// A popup hides it; it stays active and comes back with the next visit of the actual values.
Item {
    id: root
    objectName: "jobPopup"

    // a message is pending
    property bool active: false
    property string theme: 'blue'
    property string fontFamily: "Tavik Sans"
    property string textColor: theme === 'black' ? '#ffffff' : '#000000'
    // Set once the first frame is on the display: the box, its picture and texts are built
    // then, or when the display shows before that.
    property bool buildParts: false
    property string headText: ''
    property string bodyText: ''

    x: 0
    y: 90
    width: 240
    height: 150
    visible: state !== 'hidden'
    state: 'hidden'

    function canShow() {
        return mainwindow.state === 'actualValues' && mainwindow.getPopupState() === 'hidden'
    }

    function show() {
        state = 'info'
        headText = mainwindow.qsTrRewrite(mainwindow.jobPopupHead, false)
        bodyText = mainwindow.qsTrRewrite(mainwindow.jobPopupBody, false)
        focus = true
    }

    function popupString(head, text) {
        active = true
        mainwindow.jobPopupHead = (head === undefined || head === null) ? '' : String(head)
        mainwindow.jobPopupBody = (text === undefined || text === null) ? '' : String(text)
        if (canShow())
            show()
    }

    function reopenPopup() {
        if (active && mainwindow.jobPopupHead !== '' && canShow())
            show()
    }

    // A popup covers it: hidden, still pending.
    function hide() {
        state = 'hidden'
        mainwindow.returnItemFocus()
    }

    function close() {
        state = 'hidden'
        active = false
        mainwindow.returnItemFocus()
    }

    function setTheme(value) {
        theme = value
    }

    function keyButton(key) {
        if (key === Qt.Key_A)
            return mainwindow._SCAN_BTN_A
        if (key === Qt.Key_Left)
            return mainwindow._SCAN_BTN_LEFT
        return mainwindow._SCAN_BTN_RIGHT
    }

    function isScanKey(key) {
        return mainwindow.scan && mainwindow.scanBtn === keyButton(key)
    }

    function isKey(key) {
        return key === Qt.Key_A || key === Qt.Key_Left || key === Qt.Key_Right
    }

    Keys.onPressed: (event) => {
        if (!isKey(event.key) || !mainwindow.is_none_bms_key_events_open(event.key))
            return
        if (isScanKey(event.key) && mainwindow.screenHas('sendScanButton'))
            mainwindow.screen.sendScanButton()
    }

    Keys.onReleased: (event) => {
        if (!isKey(event.key) || event.isAutoRepeat || !mainwindow.is_none_bms_key_events_open(event.key))
            return
        var scanKey = isScanKey(event.key)
        if (event.key !== Qt.Key_A && !scanKey)
            return
        close()
        mainwindow.changeView = false
        if (mainwindow.screenHas('resetScanBtnPressed'))
            mainwindow.screen.resetScanBtnPressed(keyButton(event.key))
    }

    // The parts read the state by the root's id, which qmllint does not follow into a
    // loaded component.
    // qmllint disable unqualified
    Loader {
        objectName: "jobPopupParts"
        anchors.fill: parent
        active: root.buildParts || root.visible
        sourceComponent: Item {
            Rectangle {
                objectName: "jobPopupBox"
                y: -7
                width: 240
                height: 155
                border.width: 2
                color: root.theme === 'black' ? "#000000" : "lightgray"
            }

            Image {
                anchors.fill: parent
                // Taken when the popup shows, not kept from the start while it is hidden.
                source: !root.visible ? '' : root.theme === 'black' ? 'image://pics/jobPopup_black.png' : 'image://pics/jobPopup_blue.png'
            }

            Rectangle {
                x: 0
                y: 0
                width: 240
                height: 45
                color: "transparent"
                border.width: 1
                border.color: root.theme === 'black' ? '#808080' : '#1d3f66'

                Text {
                    objectName: "jobPopupHeader"
                    x: 0
                    y: 0
                    width: 240
                    height: 45
                    font.family: root.fontFamily
                    font.pixelSize: 30
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    fontSizeMode: Text.HorizontalFit
                    minimumPixelSize: 14
                    textFormat: Text.PlainText
                    color: root.textColor
                    text: root.headText
                }
            }

            Text {
                objectName: "jobPopupBody"
                x: 12
                y: 50
                width: 216
                height: 95
                font.family: root.fontFamily
                font.pixelSize: 22
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WrapAtWordBoundaryOrAnywhere
                elide: Text.ElideRight
                textFormat: Text.PlainText
                color: root.textColor
                text: root.bodyText
            }
        }
    }

    states: [
        State {
            name: 'hidden'
            PropertyChanges { target: root; headText: ''; bodyText: '' }
        },
        State { name: 'info' }
    ]
}
