import QtQuick

// The result-protocol services, each coloured by its connection state, and "Back".
GUIView {
    id: root
    objectName: "diagnosis"

    headerText: qsTr("Services")
    fontFamily: mainwindow.defaultFont
    focus: true

    property alias list: srvList

    GenericConnectedList {
        id: srvList
        objectName: "serviceList"
        textCenter: qsTr("Select")
    }

    function updateBar() {
        srvList.updateBar()
    }

    function setTheme(value) {
        guiView_setTheme(value)
        srvList.setTheme(value)
    }

    function colourOf(connected) {
        if (connected === -1)
            return guiView_get_bg_color_disabled_selected()
        if (connected === 0)
            return guiView_get_bg_color_not_connected_selected()
        return guiView_get_bg_color_connected_selected()
    }

    function updateData() {
        const current = srvList.getCurrentIndex()
        const index = current.index < 0 ? 0 : current.index
        const wasLast = srvList.count > 0 && current.index === srvList.count - 1
        setTheme(mainwindow.theme)
        const names = cMainWindow.getServices().slice(0).sort()
        const states = cMainWindow.getInitResConStates()
        const values = (states && states.values) ? states.values : {}
        srvList.model.clear()
        for (let i = 0; i < names.length; ++i) {
            const v = values[names[i]]
            const connected = (v === undefined || v === null) ? -1 : Number(v)
            const colour = colourOf(connected)
            srvList.model.append({ name: names[i], barename: names[i], connected: connected,
                                   bgColor: colour, bgColor_not_selected: colour, slot: '' })
        }
        const back = guiView_get_bg_color_disabled_selected()
        srvList.model.append({ name: qsTr("Back"), barename: "Back", connected: -1,
                               bgColor: back, bgColor_not_selected: back, slot: 'mainmenu' })
        srvList.reset()
        if (wasLast) {
            srvList.setCurrentIndex(srvList.count - 1)
        } else {
            let found = -1
            for (let k = 0; k < srvList.count; ++k) {
                if (srvList.model.get(k).name === current.name)
                    found = k
            }
            srvList.setCurrentIndex(found >= 0 ? found : srvList.count - 1)
        }
        srvList.updateBar()
        mainwindow.checkBmsKeyModus()
        return index
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_A) {
            const entry = srvList.getValue()
            if (!entry)
                return
            mainwindow.serviceName = entry.barename
            if (!mainwindow.changeView) {
                mainwindow.changeView = true
                if (entry.slot === 'mainmenu') {
                    mainwindow.serviceName = ""
                    mainwindow.gotoState('mainmenu')
                } else {
                    mainwindow.gotoState('resservices')
                }
            }
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_Left)
            srvList.up()
        else
            srvList.down()
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        updateData()
        srvList.select('slot', 'mainmenu')
        srvList.updateBar()
    }
}
