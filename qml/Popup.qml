import QtQuick

// Frame of the popup screen: its title, its bar and the middle key back to the screen before it.
// The screen's own content is not here yet.
GUIView {
    id: root
    objectName: "popupgui"

    // The root asks for the popup's state; a frame never shows a popup.
    states: [ State { name: 'hidden' } ]
    state: 'hidden'

    function updateBar() {
        mainwindow.trySetButtons('', qsTr("OK"), '')
    }

    function setTheme(value) {
        guiView_setTheme(value)
    }

    headerText: qsTr("Popup")
    fontFamily: mainwindow.defaultFont
    focus: true

    Component.onCompleted: {
        guiView_setTheme(mainwindow.theme)
        updateBar()
        mainwindow.checkBmsKeyModus()
    }

    Keys.onPressed: (event) => {
        if (event.key !== Qt.Key_A && event.key !== Qt.Key_Left && event.key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(event.key)) {
            mainwindow.changeView = true
            return
        }
        if (event.key === Qt.Key_A && !mainwindow.changeView) {
            mainwindow.changeView = true
            mainwindow.gotoPrevState()
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }
}
