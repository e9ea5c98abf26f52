pragma ComponentBehavior: Bound

import QtQuick
import "wlanVar.js" as WlanVar

// WLAN on, off and restart. Switching writes the WLAN settings on the middle key's press
// and restarts WLAN on its release; while a restart runs the three WLAN entries are grey.
GUIView {
    id: root
    objectName: "wlan"

    headerText: qsTr("WLAN")
    fontFamily: mainwindow.defaultFont
    focus: true

    property bool wlanActive: false
    // Bumped whenever the usability of the entries may have changed, so the rows recolour.
    property int revision: 0
    property alias list: wlanList

    GenericList {
        id: wlanList
        objectName: "wlanList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: wlanRow
            required property string slot
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
                    source: wlanRow.icon
                }
                Text {
                    width: 188
                    fontSizeMode: Text.HorizontalFit
                    minimumPointSize: 16
                    elide: Text.ElideRight
                    anchors.verticalCenter: parent.verticalCenter
                    textFormat: Text.PlainText
                    text: qsTr(wlanRow.name)
                    font.family: mainwindow.defaultFont
                    font.pointSize: mainwindow.basicPointSize
                    font.letterSpacing: 0.5
                    color: root.entryColor(wlanRow.slot, wlanRow.ListView.isCurrentItem, root.revision)
                }
            }
        }
    }

    function usable(slot) {
        if (slot === 'mainmenu')
            return true
        if (mainwindow.wlanRestarted || WlanVar.keyPressed)
            return false
        return slot === 'wlan_on' ? !wlanActive : wlanActive
    }

    function entryColor(slot, current, rev) {
        const ok = usable(slot)
        WlanVar.buttonsActive[slot] = ok
        if (!ok)
            return mainwindow.disable_color
        return current ? wlanList.textColor : wlanList.unSelTextColor
    }

    function refresh() {
        for (const slot in WlanVar.buttonsActive)
            WlanVar.buttonsActive[slot] = usable(slot)
        revision++
    }

    function updateValues() {
        wlanActive = cMainWindow.isWlanActive()
        refresh()
    }

    function updateBar() {
        wlanList.updateBar()
    }

    function setTheme(value) {
        guiView_setTheme(value)
        wlanList.setTheme(value)
        wlanList.model.setProperty(0, 'icon', 'image://pics/Redo_' + value + '.png')
        wlanList.model.setProperty(1, 'icon', 'image://pics/Off_' + value + '.png')
        wlanList.model.setProperty(2, 'icon', 'image://pics/Redo_' + value + '.png')
    }

    function writeInterface(on) {
        cMainWindow.loadWlan()
        let wlan
        try {
            wlan = JSON.parse(cMainWindow.wlan)
        } catch (e) {
            cMainWindow.syslogError("error parsing wlan configuration")
            return
        }
        if (wlan === null || typeof wlan !== 'object' || wlan.interface === on)
            return
        wlan.interface = on
        mainwindow.saveWlan(wlan)
        cMainWindow.wlanCfgFileChanged()
    }

    Connections {
        target: mainwindow
        function onWlanRestartedChanged() { root.refresh() }
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
            const entry = wlanList.getValue()
            if (!entry)
                return
            if (!mainwindow.changeView) {
                if (WlanVar.buttonsActive[entry.slot]) {
                    if (entry.slot === 'wlan_on')
                        writeInterface(true)
                    else if (entry.slot === 'wlan_off')
                        writeInterface(false)
                    else if (entry.slot === 'mainmenu') {
                        WlanVar.tempBtns[entry.slot] = WlanVar.buttonsActive[entry.slot]
                        mainwindow.changeView = true
                        mainwindow.gotoState('mainmenu')
                        return
                    }
                }
                mainwindow.changeView = true
            }
            WlanVar.keyPressed = true
            WlanVar.tempBtns[entry.slot] = WlanVar.buttonsActive[entry.slot]
            refresh()
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_Left)
            wlanList.up()
        else
            wlanList.down()
    }

    Keys.onReleased: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = false
            return
        }
        mainwindow.changeView = false
        if (key !== Qt.Key_A)
            return
        WlanVar.keyPressed = false
        const entry = wlanList.getValue()
        if (entry && entry.slot !== 'mainmenu' && !mainwindow.wlanRestarted && WlanVar.tempBtns[entry.slot]) {
            WlanVar.tempBtns[entry.slot] = false
            mainwindow.wlanRestarted = true
            cMainWindow.restartwlan()
            if (mainwindow.state === 'popupgui')
                mainwindow.drawButtonsNotPressed()
        }
        refresh()
    }

    Component.onCompleted: {
        wlanActive = cMainWindow.isWlanActive()
        wlanList.model.append({ slot: 'wlan_on', name: QT_TR_NOOP("WLAN On"), icon: '' })
        wlanList.model.append({ slot: 'wlan_off', name: QT_TR_NOOP("WLAN Off"), icon: '' })
        wlanList.model.append({ slot: 'restartwlan', name: QT_TR_NOOP("Restart WLAN"), icon: '' })
        wlanList.model.append({ slot: 'mainmenu', name: QT_TR_NOOP("Back"), icon: 'image://pics/transparent.png' })
        setTheme(mainwindow.theme)
        WlanVar.keyPressed = false
        refresh()
        wlanList.select('slot', 'mainmenu')
        wlanList.updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
