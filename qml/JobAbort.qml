pragma ComponentBehavior: Bound

import QtQuick

// Abort the running job, or go back to the menu.
GUIView {
    id: root
    objectName: "jobAbort"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Job Abort")
    focus: true

    property alias list: actionList

    GenericList {
        id: actionList
        objectName: "actionList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: actionRow
            required property string slot
            required property string name
            required property string icon
            width: 240
            height: 52
            Row {
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 20
                Item {
                    width: 22
                    height: 31
                    Image {
                        anchors.centerIn: parent
                        width: 22
                        height: 22
                        source: actionRow.icon
                    }
                }
                SlotText {
                    width: 180
                    anchors.verticalCenter: parent.verticalCenter
                    curr_slot: actionRow.slot
                    text: qsTr(actionRow.name)
                    color: actionRow.ListView.isCurrentItem ? actionList.textColor : actionList.unSelTextColor
                }
            }
        }
    }

    function setTheme(value) {
        guiView_setTheme(value)
        actionList.setTheme(value)
    }

    function action(entry) {
        if (entry.slot === 'abort') {
            cMainWindow.jobabort()
            mainwindow.gotoState('mainmenu')
        } else if (entry.slot === 'mainmenu') {
            mainwindow.gotoState('mainmenu')
        }
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
            actionList.up()
        } else if (key === Qt.Key_Right) {
            actionList.down()
        } else {
            const entry = actionList.getValue()
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
        actionList.model.append({ slot: 'abort', name: QT_TR_NOOP("Abort"), icon: "image://pics/transparent.png", myslot: 'abort' })
        actionList.model.append({ slot: 'mainmenu', name: QT_TR_NOOP("Back"), icon: "image://pics/transparent.png", myslot: 'mainmenu' })
        actionList.select('slot', 'mainmenu')
        actionList.updateBar()
    }
}
