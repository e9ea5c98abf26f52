import QtQuick

// The program editor: program slot, speed and one target (torque, angle or time), then a
// summary; confirming it has the host write the program over the chosen slot.
GUIView {
    id: root
    objectName: "program"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Program select")
    focus: true

    property int slot: 0
    property int speed: 0
    property string targetName: ''
    property int targetValue: 0
    property alias list: editorList
    property alias valueInput: valueInput

    readonly property var units: ({ 'torque': "Nm", 'angle': "˚", 'time': "s" })

    GenericList {
        id: editorList
        objectName: "editorList"
        textCenter: qsTr("Select")
        // The bar keeps the value input's texts until the summary.
        ownsBar: false
    }

    ValueInput {
        id: valueInput
        y: 52
        visible: false
        state: 'setvalue'
    }

    // One line per value, all at one size: a line too wide for the screen makes all three
    // smaller, down to a legible size, and what still does not fit loses its end.
    Column {
        id: summaryText
        objectName: "summaryText"
        property var lines: []
        readonly property string text: lines.join("\n")
        property int pixelSize: 25
        x: 8
        y: 60
        width: 224
        visible: false
        SummaryLine { text: summaryText.lines[0] || ""; font.pixelSize: summaryText.pixelSize; color: root.textColor }
        SummaryLine { text: summaryText.lines[1] || ""; font.pixelSize: summaryText.pixelSize; color: root.textColor }
        SummaryLine { text: summaryText.lines[2] || ""; font.pixelSize: summaryText.pixelSize; color: root.textColor }
    }

    component SummaryLine: Text {
        width: 224
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.family: mainwindow.defaultFont
    }

    FontMetrics {
        id: summaryMetrics
        font.family: mainwindow.defaultFont
        font.pixelSize: 25
    }

    function showSummary(lines) {
        let widest = 0
        for (const line of lines)
            widest = Math.max(widest, summaryMetrics.advanceWidth(line))
        summaryText.pixelSize = widest > summaryText.width ? Math.max(16, Math.floor(25 * summaryText.width / widest)) : 25
        summaryText.lines = lines
    }

    function targetWord(name) {
        if (name === 'torque')
            return qsTr("Torque")
        if (name === 'angle')
            return qsTr("Angle")
        return qsTr("Time")
    }

    function setTheme(value) {
        guiView_setTheme(value)
        editorList.setTheme(value)
        valueInput.setTheme(value)
    }

    function isValueState() {
        return state === 'speed' || state === 'torque' || state === 'angle' || state === 'time'
    }

    onStateChanged: {
        if (state === 'speed') {
            valueInput.setRangeValue(-1000, 1000, 100)
        } else if (state === 'target') {
            editorList.model.clear()
            editorList.model.append({ name: qsTr("Torque"), target: 'torque' })
            editorList.model.append({ name: qsTr("Angle"), target: 'angle' })
            editorList.model.append({ name: qsTr("Time"), target: 'time' })
            editorList.reset()
        } else if (state === 'torque') {
            valueInput.setRangeValue(0, 50, 10)
        } else if (state === 'angle') {
            valueInput.setRangeValue(0, 2000, 360)
        } else if (state === 'time') {
            valueInput.setRangeValue(0, 120, 5)
        } else if (state === 'summary') {
            showSummary([qsTr("Slot: ") + slot, qsTr("Speed: ") + speed + " rpm",
                         targetWord(targetName) + ": " + targetValue + " " + units[targetName]])
            mainwindow.trySetButtons('@back', qsTr("Confirm"), '')
        }
    }

    // Every press that is not blocked acts.
    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_A) {
            let entry
            if (state === 'slot') {
                entry = editorList.getValue()
                if (!entry)
                    return
                slot = parseInt(entry.slot)
                state = 'speed'
            } else if (state === 'speed') {
                speed = valueInput.getValue()
                state = 'target'
            } else if (state === 'target') {
                entry = editorList.getValue()
                targetName = entry.target
                state = targetName
            } else if (isValueState()) {
                targetValue = valueInput.getValue()
                state = 'summary'
            } else if (state === 'summary') {
                cMainWindow.writeProgram(slot, speed, targetName, targetValue)
                if (!mainwindow.changeView) {
                    mainwindow.gotoState('mainmenu')
                    mainwindow.changeView = true
                }
            }
        } else if (key === Qt.Key_Left) {
            if (state === 'summary')
                mainwindow.gotoState('mainmenu')
            else if (isValueState())
                valueInput.up()
            else
                editorList.up()
        } else {
            if (isValueState())
                valueInput.down()
            else if (state !== 'summary')
                editorList.down()
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }

    state: 'slot'
    states: [
        State { name: 'slot' },
        State {
            name: 'speed'
            PropertyChanges { target: root; headerText: qsTr("Speed") }
            PropertyChanges { target: editorList; visible: false }
            PropertyChanges { target: valueInput; visible: true; unit: "rpm" }
        },
        State {
            name: 'target'
            PropertyChanges { target: root; headerText: qsTr("Target") }
        },
        State {
            name: 'torque'
            PropertyChanges { target: root; headerText: qsTr("Torque") }
            PropertyChanges { target: editorList; visible: false }
            PropertyChanges { target: valueInput; visible: true; unit: "Nm" }
        },
        State {
            name: 'angle'
            PropertyChanges { target: root; headerText: qsTr("Angle") }
            PropertyChanges { target: editorList; visible: false }
            PropertyChanges { target: valueInput; visible: true; unit: "˚" }
        },
        State {
            name: 'time'
            PropertyChanges { target: root; headerText: qsTr("Time") }
            PropertyChanges { target: editorList; visible: false }
            PropertyChanges { target: valueInput; visible: true; unit: "s" }
        },
        State {
            name: 'summary'
            PropertyChanges { target: root; headerText: qsTr("Summary") }
            PropertyChanges { target: editorList; visible: false }
            PropertyChanges { target: summaryText; visible: true }
        }
    ]

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        const prgs = cMainWindow.getPrgList()
        for (let k = 0; k < prgs.length; ++k)
            editorList.model.append({ slot: String(prgs[k].slot), name: prgs[k].slot + ": " + prgs[k].name })
        editorList.reset()
        mainwindow.checkBmsKeyModus()
    }
}
