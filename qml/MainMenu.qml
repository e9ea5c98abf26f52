import QtQuick

// The main menu: the configured entries (program and job selection greyed out while not
// allowed) and "Back" to the screen the menu was opened from.
GUIView {
    id: root
    objectName: "mainMenu"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Menu")
    focus: true

    property alias list: menuList

    GenericList {
        id: menuList
        objectName: "menuList"
        textCenter: qsTr("Select")
    }

    function setTheme(value) {
        guiView_setTheme(value)
        menuList.setTheme(value)
    }

    function toInt(value) {
        const n = parseInt(value)
        return isNaN(n) ? 0 : n
    }

    function updateLayout() {
        menuList.setDelegate1()
        menuList.model.clear()
        const cfg = mainwindow.cfg
        const entries = (cfg && cfg.view && cfg.view.MainMenu && cfg.view.MainMenu.entries)
                ? cfg.view.MainMenu.entries : []
        for (let k = 0; k < entries.length; ++k) {
            const entry = entries[k]
            // an entry naming no screen is left out (and logged once)
            if (!entry || entry.state === 'testview' || !mainwindow.knownState(entry.state))
                continue
            let enabled = true
            if (entry.state === 'prgselect' && mainwindow.prgallow === 0)
                enabled = false
            if (entry.state === 'jobselect' && mainwindow.joballow === 0)
                enabled = false
            if (entry.active !== undefined && entry.active !== true)
                continue
            const name = entry.name !== undefined ? entry.name : mainwindow.getNameForState(entry.state)
            menuList.model.append({ name: String(name === undefined ? '' : name),
                                    state: String(entry.state),
                                    itmEnabled: enabled })
        }
        if (mainwindow.lastState !== "")
            menuList.model.append({ name: QT_TR_NOOP("Back"), state: mainwindow.lastState, itmEnabled: true })
        menuList.reset()
        menuList.updateBar()
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_Left) {
            menuList.up()
        } else if (key === Qt.Key_Right) {
            menuList.down()
        } else {
            const entry = menuList.getValue()
            if (entry && entry.itmEnabled)
                mainwindow.gotoState(entry.state)
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        mainwindow.prgallow = toInt(cMainWindow.getPrgSelect())
        mainwindow.joballow = toInt(cMainWindow.getJobSelect())
        updateLayout()
    }
}
