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

    Loader {
        objectName: "jobPopupParts"
        anchors.fill: parent
        active: root.buildParts || root.visible
        // By file name: the parts' type, too, is loaded only when they are built.
        Component.onCompleted: setSource("JobPopupParts.qml", { popup: root })
    }

    states: [
        State {
            name: 'hidden'
            PropertyChanges { target: root; headText: ''; bodyText: '' }
        },
        State { name: 'info' }
    ]
}
