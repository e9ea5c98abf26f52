import QtQuick
import "PopupStack.js" as PopupStack

// The popup screen: messages of the tool's processes, faults with their acknowledgement, the
// NOK acknowledgement and the battery warnings. Which popup is shown, and which comes next,
// is decided by the popup stack on the root.
Item {
    id: root
    objectName: "popupgui"

    // the middle key may close the popup
    property bool allowClose: true
    // the middle key closes a popup in acknowledgement configuration, or after a countdown
    property bool allowAckClose: false
    // the left key offers "Ack"
    property bool acktest: false
    // global.acknowledge was true when the popup was drawn
    property bool acknowledge: false
    property int countdownState: 0
    // 1: closing this popup makes the tool ready again
    property int waitForAck: 0
    property bool lowbatteryAck: false

    property string theme: 'blue'
    property string textColor: theme === 'black' ? 'black' : 'white'
    property string counterText: "20" + qsTr("s")
    // The keys pressed while the popup on display was shown: only their release acts, so a key
    // held down when a popup appears cannot close it unseen.
    property var pressedHere: ({})

    width: 240
    height: 290
    focus: true
    state: 'hidden'

    function textOrEmpty(value) {
        return (value === undefined || value === null) ? '' : String(value)
    }

    // A new popup is on display: forget the keys pressed before it.
    function drawn() {
        pressedHere = {}
        mainwindow.setJobPopupFocus(false)
        countdown.stop()
    }

    // ---- called by the root

    function popupString(head, text, timer, waitForAck, code, fclass, cfg) {
        PopupStack.pushVals(head, text, timer, waitForAck, code, fclass, PopupStack.popupTypeAny)
        if (!PopupStack.currentStackElIsBattery())
            popupString2(head, text, timer, waitForAck, code, fclass, cfg, PopupStack.popupTypeAny)
        else if (state === 'hidden')
            PopupStack.checkStack(false)
        mainwindow.checkBmsKeyModus()
    }

    function nokackPopup(head, text) {
        PopupStack.pushVals(head, text, 0, 1, 0, 0, PopupStack.popupTypeNokAck)
        var top = PopupStack.getCurrentStackElement()
        if (!PopupStack.isBattery(top) && top.popupType === PopupStack.popupTypeNokAck)
            nokackPopup2(head, text)
        else if (state === 'hidden')
            PopupStack.checkStack(false)
        mainwindow.checkBmsKeyModus()
    }

    function popupString2(head, text, timer, waitForAckValue, code, fclass, cfg, popupType) {
        if (popupType === PopupStack.popupTypeNokAck) {
            nokackPopup2(head, text)
            return
        }
        var header = mainwindow.qsTrRewrite(textOrEmpty(head))
        var body = mainwindow.qsTrRewrite(textOrEmpty(text))
        drawn()
        acknowledge = !!(cfg && cfg.global && cfg.global.acknowledge === true)
        waitForAck = waitForAckValue === 1 ? 1 : 0
        lowbatteryAck = false
        state = 'info'
        headerLabel.text = header
        if (textOrEmpty(code) !== '')
            body = qsTr("Code") + ": " + code + "\n" + qsTr("Class") + ": " + textOrEmpty(fclass) + "\n\n" + body
        bodyLabel.text = body
        // Only a fault's own popup acknowledges a fault: the offer is the message's, also
        // when its countdown ends, never one left over from the popup before it.
        acktest = acknowledge && typeof fclass === 'number' && (fclass === 3 || fclass === 0)
                && typeof code === 'number' && code > 0
        if (timer > 0) {
            allowAckClose = false
            allowClose = false
            countdownState = timer
            countdown.restart()
            mainwindow.trySetButtons('', timer + qsTr("s"), '')
            return
        }
        countdownState = 0
        // A popup without countdown can always be closed, also after a countdown popup that
        // was replaced before its end.
        allowClose = true
        allowAckClose = acknowledge
        mainwindow.trySetButtons(acktest ? qsTr("Ack") : '', qsTr("OK"), '')
    }

    function nokackPopup2(head, text) {
        drawn()
        state = 'nokackresult'
        headerLabel.text = mainwindow.qsTrRewrite(textOrEmpty(head))
        bodyLabel.text = mainwindow.qsTrRewrite(textOrEmpty(text))
        waitForAck = 1
        allowClose = true
        allowAckClose = false
        acktest = false
        lowbatteryAck = false
        countdownState = 0
        mainwindow.trySetButtons('', qsTr("OK"), '')
    }

    function setBatteryStatus(status) {
        if (status !== 3) {
            PopupStack.removeBatteryElsFromStack()
            PopupStack.pushBatteryStatus(status)
        }
        setBatteryStatus2(status)
        mainwindow.checkBmsKeyModus()
    }

    function setBatteryStatus2(status) {
        mainwindow.setJobPopupFocus(false)
        if (status !== 3) {
            countdown.stop()
            pressedHere = {}
        }
        switch (status) {
        case 0:
            showBattery('nobattery', false)
            break
        case 1:
            showBattery('exhaustivedischarge', false)
            break
        case 2:
            showBattery('too_lowbattery', false)
            break
        case 3:
            // a good battery gives the ready flag back, also when nobody acknowledged
            if (PopupStack.isBatteryFlagCleared()) {
                PopupStack.setBatteryFlagCleared(false)
                cMainWindow.setAkkuReady()
            }
            if (PopupStack.removeBatteryPopups() === 0)
                close()
            else
                setCounter(20)
            break
        case 5:
            cMainWindow.akkuNotReady()
            PopupStack.setBatteryFlagCleared(true)
            showBattery('lowbattery', true)
            break
        }
    }

    function showBattery(name, closable) {
        state = name
        allowClose = closable
        lowbatteryAck = closable
        allowAckClose = false
        acktest = false
        waitForAck = 0
        countdownState = 0
        counterText = "20" + qsTr("s")
        mainwindow.trySetButtons('', closable ? qsTr("OK") : '', '')
    }

    function setCounter(count) {
        counterText = count + qsTr("s")
        if (count === 0)
            bodyLabel.text = qsTr("Game Over!")
    }

    function close() {
        countdown.stop()
        allowAckClose = false
        acktest = false
        acknowledge = false
        PopupStack.checkStack()
    }

    function setTheme(value) {
        theme = value
    }

    // ---- keys

    function isKey(key) {
        return key === Qt.Key_A || key === Qt.Key_Left || key === Qt.Key_Right
    }

    Keys.onPressed: (event) => {
        if (!isKey(event.key))
            return
        if (!mainwindow.is_none_bms_key_events_open(event.key)) {
            mainwindow.changeView = true
            return
        }
        var keys = pressedHere
        keys[event.key] = true
        pressedHere = keys
    }

    Keys.onReleased: (event) => {
        if (!isKey(event.key) || event.isAutoRepeat)
            return
        if (!mainwindow.is_none_bms_key_events_open(event.key) || pressedHere[event.key] !== true)
            return
        var keys = pressedHere
        delete keys[event.key]
        pressedHere = keys
        if (event.key === Qt.Key_A) {
            if (lowbatteryAck && allowClose) {
                cMainWindow.setAkkuReady()
                PopupStack.setBatteryFlagCleared(false)
                lowbatteryAck = false
                PopupStack.removeBatteryPopups()
            }
            if (waitForAck === 1 && allowClose) {
                // the acknowledgement goes into the activity log; the tool gets ready in any case
                if (state === 'nokackresult' && mainwindow.nokAckPopUpOpened) {
                    mainwindow.setNokAckPopupOpened(false)
                    if (typeof cMainWindow.addActivityEntryNokAck === 'function')
                        cMainWindow.addActivityEntryNokAck()
                }
                cMainWindow.setGuiReady()
                waitForAck = 0
            }
            if (allowAckClose) {
                if (!acktest || acknowledge)
                    close()
            } else if (allowClose || state === 'nokackresult') {
                close()
            }
            mainwindow.checkBmsKeyModus()
        } else if (event.key === Qt.Key_Left) {
            if (allowAckClose && acknowledge && acktest)
                cMainWindow.sendAck()
        }
    }

    Timer {
        id: countdown
        objectName: "popupCountdown"
        interval: 1000
        repeat: true
        onTriggered: {
            if (root.countdownState !== 0) {
                root.countdownState -= 1
                mainwindow.trySetButtons('', root.countdownState + qsTr("s"), '')
            }
            if (root.countdownState < 1) {
                stop()
                mainwindow.trySetButtons(root.acktest ? qsTr("Ack") : '', qsTr("OK"), '')
                root.allowClose = true
                root.allowAckClose = true
            }
        }
    }

    // ---- what the operator sees

    Image {
        id: background
        objectName: "popupBackground"
        anchors.fill: parent
        source: root.theme === 'black' ? 'image://pics/popup_black.png' : 'image://pics/popup_blue.png'
        visible: root.state !== 'hidden'
    }

    Text {
        id: headerLabel
        objectName: "popupHeader"
        x: 0
        y: 14
        width: 240
        height: 52
        font.family: mainwindow.defaultFont
        font.pixelSize: 32
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 16
        elide: Text.ElideRight
        leftPadding: 4
        rightPadding: 4
        color: root.textColor
    }

    Text {
        id: bodyLabel
        objectName: "popupBody"
        x: 12
        y: 67
        width: 216
        height: 213
        font.family: mainwindow.defaultFont
        font.pixelSize: 22
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WrapAtWordBoundaryOrAnywhere
        textFormat: Text.PlainText
        elide: Text.ElideRight
        color: root.textColor
    }

    Image {
        id: batteryImage
        objectName: "popupBattery"
        x: 60
        y: 188
        width: 121
        height: 47
        visible: false
        source: 'image://pics/battery_' + (root.theme === 'black' ? 'black' : 'blue') + '.png'

        Text {
            id: counterLabel
            objectName: "popupCounter"
            anchors.centerIn: parent
            // inside the battery's outline; a long unit shrinks, then is elided
            width: 96
            horizontalAlignment: Text.AlignHCenter
            textFormat: Text.PlainText
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 16
            elide: Text.ElideRight
            font.family: mainwindow.defaultFont
            font.pixelSize: 32
            color: '#ff0000'
            text: root.counterText
            // a binding, not a state's change: a state would save and give back the
            // visibility it read while the battery picture was hidden
            visible: root.state === 'exhaustivedischarge' || root.state === 'nobattery'
        }
    }

    // Battery texts keep their line breaks as "<br>" in the language files; they are drawn
    // as plain text like every translation.
    function lines(text) {
        return String(text).replace(/<br\s*\/?>/gi, "\n")
    }

    states: [
        State {
            name: 'hidden'
            PropertyChanges { target: headerLabel; text: '' }
            PropertyChanges { target: bodyLabel; text: '' }
        },
        State {
            name: 'info'
            PropertyChanges { target: bodyLabel; height: 207 }
        },
        State {
            name: 'nokackresult'
            PropertyChanges { target: bodyLabel; height: 207 }
        },
        State {
            name: 'lowbattery'
            PropertyChanges { target: headerLabel; text: qsTr("Information") }
            PropertyChanges { target: bodyLabel; text: qsTr("Battery low"); y: 86; width: 215; height: 98 }
            PropertyChanges { target: batteryImage; visible: true; y: 200 }
        },
        State {
            name: 'too_lowbattery'
            PropertyChanges { target: headerLabel; text: qsTr("Information") }
            PropertyChanges { target: bodyLabel; text: root.lines(qsTr("Battery low<br>Please change battery")); y: 86; width: 215; height: 98 }
            PropertyChanges { target: batteryImage; visible: true; y: 200; source: 'image://pics/battery_empty_' + (root.theme === 'black' ? 'black' : 'blue') + '.png' }
        },
        State {
            name: 'exhaustivedischarge'
            PropertyChanges { target: headerLabel; text: qsTr("Information") }
            PropertyChanges { target: bodyLabel; text: qsTr("Please change battery"); y: 86; width: 215; height: 98 }
            PropertyChanges { target: batteryImage; visible: true; y: 200; source: 'image://pics/battery_empty_' + (root.theme === 'black' ? 'black' : 'blue') + '.png' }
        },
        State {
            name: 'nobattery'
            PropertyChanges { target: headerLabel; text: qsTr("Information") }
            PropertyChanges { target: bodyLabel; text: root.lines(qsTr("No Battery<br>Please change battery")); y: 86; width: 215; height: 98 }
            PropertyChanges { target: batteryImage; visible: true; y: 200; source: 'image://pics/battery_empty_' + (root.theme === 'black' ? 'black' : 'blue') + '.png' }
        }
    ]

    Component.onCompleted: {
        theme = mainwindow.theme
    }
}
