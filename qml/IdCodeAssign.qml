pragma ComponentBehavior: Bound

import QtQuick

// Where identification codes come from; the scanner is the only source.
GUIView {
    id: root
    objectName: "idCodeAssign"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("IDCode Assignment")
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

    function scannerIcon(theme) {
        return 'image://pics/Redo_' + (theme === 'black' ? 'black' : 'blue') + '.png'
    }

    function setTheme(value) {
        guiView_setTheme(value)
        actionList.setTheme(value)
        for (let k = 0; k < actionList.model.count; ++k) {
            if (actionList.model.get(k).slot === 'scanner')
                actionList.model.setProperty(k, 'icon', scannerIcon(value))
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
            if (entry && entry.slot === 'mainmenu')
                mainwindow.gotoState('mainmenu')
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        actionList.model.append({ slot: 'scanner', name: QT_TR_NOOP("Scanner"), icon: scannerIcon(mainwindow.theme), myslot: 'scanner' })
        actionList.model.append({ slot: 'mainmenu', name: QT_TR_NOOP("Back"), icon: "", myslot: 'mainmenu' })
        setTheme(mainwindow.theme)
        actionList.select('slot', 'mainmenu')
        actionList.updateBar()
    }
}
