import QtQuick

// Frame of the date and time screen: its title, its bar and the middle key on to the menu,
// or to the wizard's next screen during the first setup.
// The screen's own content is not here yet.
GUIView {
    id: root
    objectName: "setdatetime"

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
            var cfg = mainwindow.cfg
            var next = 'mainmenu'
            // during the first setup the wizard says where to go on
            if (cfg.global.firstsetup === true && cfg.wizard && cfg.wizard.transitions
                    && mainwindow.hasState(cfg.wizard.transitions.setdatetime))
                next = cfg.wizard.transitions.setdatetime
            mainwindow.gotoState(next)
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }
}
