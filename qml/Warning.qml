import QtQuick

// Frame of the laser warning screen: its title, its bar and the middle key on to the start view.
// The screen's own content is not here yet.
GUIView {
    id: root
    objectName: "warning"

    function updateBar() {
        mainwindow.trySetButtons('', qsTr("OK"), '')
    }

    function setTheme(value) {
        guiView_setTheme(value)
    }

    headerText: qsTr("Caution")
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
            var next = mainwindow.cfg.global.startview
            mainwindow.gotoState(mainwindow.hasState(next) ? next : 'actualValues')
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }
}
