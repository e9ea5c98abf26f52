import QtQuick

// Frame of the date screen: its title, its bar and the middle key on to the time screen.
// The screen's own content is not here yet.
GUIView {
    id: root
    objectName: "setdate"

    function updateBar() {
        mainwindow.trySetButtons('', qsTr("Back"), '')
    }

    function setTheme(value) {
        guiView_setTheme(value)
    }

    headerText: qsTr("Set Date")
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
            mainwindow.gotoState('settime')
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }
}
