pragma ComponentBehavior: Bound

import QtQuick

// Switch between automatic and manual operation. Only the mode the tool is not in is
// offered; the host confirms a change through the root's opMode, which the rows follow.
GUIView {
    id: root
    objectName: "operationMode"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("OperationMode")
    focus: true

    property alias list: modeList

    GenericList {
        id: modeList
        objectName: "modeList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: modeRow
            required property string slot
            required property string name
            width: 240
            height: 52
            Row {
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 20
                Item {
                    width: 22
                    height: 31
                }
                SlotText {
                    width: 180
                    anchors.verticalCenter: parent.verticalCenter
                    curr_slot: modeRow.slot
                    text: qsTr(modeRow.name)
                    color: !root.isOffered(modeRow.slot) ? mainwindow.disable_color
                           : (modeRow.ListView.isCurrentItem ? modeList.textColor : modeList.unSelTextColor)
                }
            }
        }
    }

    function manualAllowed() {
        const allowed = mainwindow.modesAllowed
        return !!(allowed && allowed['showmanop'] === true)
    }

    function isOffered(slot) {
        if (slot === 'auto')
            return mainwindow.opMode === 2 && manualAllowed()
        if (slot === 'manual')
            return mainwindow.opMode === 0 && manualAllowed()
        return true
    }

    function setTheme(value) {
        guiView_setTheme(value)
        modeList.setTheme(value)
    }

    function action(entry) {
        if (!isOffered(entry.slot))
            return
        if (entry.slot === 'auto')
            cMainWindow.setOperationMode(2, 0, 0)
        else if (entry.slot === 'manual')
            cMainWindow.setOperationMode(2, 0, 1)
        else if (entry.slot === 'mainmenu')
            mainwindow.gotoState('mainmenu')
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
            modeList.up()
        } else if (key === Qt.Key_Right) {
            modeList.down()
        } else {
            const entry = modeList.getValue()
            if (entry)
                action(entry)
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        modeList.model.append({ slot: 'auto', name: QT_TR_NOOP("Automatic"), icon: "", myslot: 'auto' })
        modeList.model.append({ slot: 'manual', name: QT_TR_NOOP("Manual"), icon: "", myslot: 'manual' })
        modeList.model.append({ slot: 'mainmenu', name: QT_TR_NOOP("Back"), icon: "", myslot: 'mainmenu' })
        modeList.select('slot', 'mainmenu')
        modeList.updateBar()
    }
}
