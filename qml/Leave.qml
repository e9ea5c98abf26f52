pragma ComponentBehavior: Bound

import QtQuick

// Restart or shut down the tool; a popup counts down while the host does it.
GUIView {
    id: root
    objectName: "leave"

    headerText: qsTr("Leave")
    fontFamily: mainwindow.defaultFont
    focus: true

    property alias list: leaveList

    GenericList {
        id: leaveList
        objectName: "leaveList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: leaveRow
            required property string name
            required property string icon
            width: 240
            height: 52
            Row {
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 12
                Image {
                    width: 22
                    height: 22
                    anchors.verticalCenter: parent.verticalCenter
                    source: leaveRow.icon
                }
                Text {
                    width: 188
                    fontSizeMode: Text.HorizontalFit
                    minimumPointSize: 16
                    elide: Text.ElideRight
                    anchors.verticalCenter: parent.verticalCenter
                    textFormat: Text.PlainText
                    text: qsTr(leaveRow.name)
                    font.family: mainwindow.defaultFont
                    font.pointSize: mainwindow.basicPointSize
                    font.letterSpacing: 0.5
                    color: leaveRow.ListView.isCurrentItem ? leaveList.textColor : leaveList.unSelTextColor
                }
            }
        }
    }

    function updateBar() {
        leaveList.updateBar()
    }

    function setTheme(value) {
        guiView_setTheme(value)
        leaveList.setTheme(value)
        leaveList.model.setProperty(0, 'icon', 'image://pics/Redo_' + value + '.png')
        leaveList.model.setProperty(1, 'icon', 'image://pics/Off_' + value + '.png')
    }

    function openPopup(text) {
        if (typeof mainwindow.popupString === 'function')
            mainwindow.popupString(qsTr("Leave"), text, 20, 1, '', '')
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
            leaveList.up()
        } else if (key === Qt.Key_Right) {
            leaveList.down()
        } else {
            const entry = leaveList.getValue()
            if (!entry)
                return
            if (entry.slot === 'reboot') {
                cMainWindow.reboot()
                openPopup(qsTr("Restart"))
            } else if (entry.slot === 'poweroff') {
                cMainWindow.poweroff()
                openPopup(qsTr("Shut Down"))
            } else {
                mainwindow.gotoState('mainmenu')
            }
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        leaveList.model.append({ slot: 'reboot', name: QT_TR_NOOP("Restart"), icon: '' })
        leaveList.model.append({ slot: 'poweroff', name: QT_TR_NOOP("Shut Down"), icon: '' })
        leaveList.model.append({ slot: 'mainmenu', name: QT_TR_NOOP("Back"), icon: 'image://pics/transparent.png' })
        setTheme(mainwindow.theme)
        leaveList.reset()
        leaveList.select('slot', 'mainmenu')
        leaveList.updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
