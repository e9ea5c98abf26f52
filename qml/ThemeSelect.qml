pragma ComponentBehavior: Bound

import QtQuick

// The colour theme. Left and right preview the chosen theme on the whole scene at once;
// the middle key keeps it.
GUIView {
    id: root
    objectName: "themeselect"

    headerText: qsTr("Theme")
    fontFamily: mainwindow.defaultFont
    focus: true

    property alias list: themeList

    GenericList {
        id: themeList
        objectName: "themeList"
        textCenter: qsTr("Select")
    }

    function updateBar() {
        themeList.updateBar()
    }

    function setTheme(value) {
        guiView_setTheme(value)
        themeList.setTheme(value)
    }

    function preview() {
        const entry = themeList.getValue()
        if (entry)
            mainwindow.setTheme(entry.theme)
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_Left) {
            themeList.up()
            preview()
        } else if (key === Qt.Key_Right) {
            themeList.down()
            preview()
        } else {
            const entry = themeList.getValue()
            if (entry && entry.theme !== mainwindow.cfg.global.theme) {
                const cfg = JSON.parse(JSON.stringify(mainwindow.cfg))
                cfg.global.theme = entry.theme
                mainwindow.saveCfg(cfg)
            }
            if (!mainwindow.changeView) {
                mainwindow.changeView = true
                mainwindow.gotoState('mainmenu')
            }
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        themeList.model.append({ name: QT_TR_NOOP("Blue"), theme: 'blue' })
        themeList.model.append({ name: QT_TR_NOOP("Dark"), theme: 'black' })
        themeList.reset()
        themeList.select('theme', mainwindow.theme)
        themeList.updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
