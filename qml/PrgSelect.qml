import QtQuick

// Program selection: every program of the tool, starting on the one loaded. Holding Left or
// Right walks on, because a 10 ms timer opens the key latch again after each step.
GUIView {
    id: root
    objectName: "prgSelect"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Program select")
    focus: true

    property alias list: prgList
    property alias latchTimer: latchTimer

    GenericList {
        id: prgList
        objectName: "prgList"
        textCenter: qsTr("Select")
    }

    // Opens the key latch 10 ms after it closed, for as long as the screen is armed; it runs
    // only while the latch is closed, so the screen costs nothing while no key is pressed.
    Timer {
        id: latchTimer
        property bool armed: false
        interval: 10
        running: armed && mainwindow.changeView
        onTriggered: mainwindow.changeView = false
    }

    function setTheme(value) {
        guiView_setTheme(value)
        prgList.setTheme(value)
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
            const entry = prgList.getValue()
            if (entry)
                cMainWindow.prgselected(parseInt(entry.slot))
            if (!mainwindow.changeView) {
                mainwindow.changeView = true
                latchTimer.armed = false
                mainwindow.gotoStatePrevMenu()
            }
            return
        }
        if (mainwindow.changeView)
            return
        if (key === Qt.Key_Left)
            prgList.up()
        else
            prgList.down()
        mainwindow.changeView = true
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        const prgs = cMainWindow.getPrgList()
        for (let k = 0; k < prgs.length; ++k) {
            prgList.model.append({ slot: String(prgs[k].slot),
                                   name: prgs[k].slot + ": " + prgs[k].name })
        }
        prgList.directSelect('slot', cMainWindow.prgNumber)
        latchTimer.armed = true
        prgList.updateBar()
    }
}
