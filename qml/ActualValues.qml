import QtQuick
import "format.js" as Format

// The working screen: program or last result, torque, angle, time and the identification
// code. A code too long for its field is shown in full in the code list below the fields,
// which Left and Right scroll into view.
GUIView {
    id: root
    objectName: "actualValues"

    headerText: ""
    focus: true

    // theme colours; values are drawn in the frame's textColor
    property string labelColor: '#000000'
    property string nokTextColor: '#ebebeb'
    property string nokTextColor_inv: '#ff0000'
    property string readyBackgroundColor: '#ececec'
    property string backgroundImg: 'image://pics/actual_bg_blue.png'

    // scroll step (0 to 4) and whether the code list scrolls within itself
    property int count: 0
    property bool lister: false
    // the key whose press sent the last scan (0: none)
    property int scanSentBy: 0

    property string torqueUnitText: ''
    readonly property alias statusState: statusDisplay.state
    readonly property alias prgLine: statusText.text
    readonly property alias idText: idValue.text
    // The code list, once built (see codeListLoader).
    readonly property var codeList: codeListLoader.item

    readonly property int _scanBtnA: 1
    readonly property int _scanBtnLeft: 2
    readonly property int _scanBtnRight: 3

    component ValueField: Item {
        id: field
        // The label is rich text for its small unit: the caption, a translation, is cut to its
        // place and escaped; the unit comes escaped.
        property string caption: ''
        property string unit: ''
        readonly property string label: Format.escaped(captionMetrics.elidedText) + ": <small>" + unit + "</small>"
        property string value: '-'
        property bool nok: false
        property string fontFamily: ''
        property string labelColor: '#000000'
        property string valueColor: '#000000'
        property string nokColor: '#ff0000'
        property string nokTextColor: '#ebebeb'
        property string nokTextColorInv: '#ff0000'

        width: 240
        height: 52
        state: 'OK'

        Rectangle {
            id: nokRect
            anchors.fill: parent
            color: field.nokColor
            visible: field.state === 'NOK'
        }
        Text {
            id: labelText
            x: 9
            anchors.verticalCenter: parent.verticalCenter
            // rich text: <small> has no effect in styled text with pixel sizes
            textFormat: Text.RichText
            text: field.label
            font.family: field.fontFamily
            font.pixelSize: 30
            color: field.labelColor
        }
        // A value wider than its place shows as "----" (after its marker), never over the label.
        readonly property bool overflow: valueMetrics.advanceWidth > valueText.width
        readonly property alias shownValue: valueText.text
        TextMetrics {
            id: captionMetrics
            font.family: field.fontFamily
            font.pixelSize: 30
            elide: Text.ElideRight
            elideWidth: 44
            text: field.caption
        }
        TextMetrics {
            id: valueMetrics
            font: valueText.font
            text: field.value
        }
        Text {
            id: valueText
            x: 93
            width: 137
            clip: true
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            textFormat: Text.PlainText
            text: field.overflow ? field.value.replace(/[^\u25B2\u25BC\u25CA ].*$/, '') + '----' : field.value
            font.family: field.fontFamily
            font.pixelSize: 25
            font.bold: true
            color: field.valueColor
        }
        states: [
            State { name: 'OK' },
            State {
                name: 'NOK'
                PropertyChanges { target: labelText; color: field.nokTextColor }
                PropertyChanges { target: valueText; color: field.nokTextColor }
            },
            State {
                name: 'NOKINV'
                PropertyChanges { target: labelText; color: field.nokTextColorInv }
                PropertyChanges { target: valueText; color: field.nokTextColorInv }
            }
        ]
    }

    Image {
        id: background
        objectName: "actualBackground"
        x: 0
        y: 52
        source: root.backgroundImg
    }

    Rectangle {
        id: statusDisplay
        objectName: "statusDisplay"
        x: 0
        y: 0
        z: 2
        width: 240
        height: 52
        state: 'Ready'
        color: root.readyBackgroundColor

        Text {
            id: statusText
            objectName: "statusText"
            anchors.centerIn: parent
            // program names and codes come from files and scanners: never markup
            width: 236
            horizontalAlignment: Text.AlignHCenter
            textFormat: Text.PlainText
            elide: Text.ElideRight
            text: qsTr("P:") + "--"
            font.family: mainwindow.defaultFont
            font.bold: true
            font.pointSize: 15
            color: root.textColor
        }

        states: [
            State {
                name: 'Ready'
                PropertyChanges { target: statusDisplay; color: root.readyBackgroundColor }
            },
            State {
                name: 'OK'
                PropertyChanges { target: statusDisplay; color: root.okStatusDisplayColor }
                PropertyChanges { target: statusText; color: '#000000' }
            },
            State {
                name: 'NOK'
                PropertyChanges { target: statusDisplay; color: root.nokStatusDisplayColor }
                PropertyChanges { target: statusText; color: root.nokTextColor }
            },
            State {
                name: 'NOKINV'
                PropertyChanges { target: statusDisplay; color: 'transparent' }
                PropertyChanges { target: statusText; color: root.nokTextColor_inv }
            }
        ]
    }

    ValueField {
        id: torqueField
        objectName: "torqueField"
        fontFamily: mainwindow.defaultFont
        labelColor: root.labelColor
        valueColor: root.textColor
        nokColor: root.nokStatusDisplayColor
        nokTextColor: root.nokTextColor
        nokTextColorInv: root.nokTextColor_inv
        y: 52 - 52 * root.count
        visible: root.count < 1
        caption: qsTr("T")
        unit: root.torqueUnitText
    }

    ValueField {
        id: angleField
        objectName: "angleField"
        fontFamily: mainwindow.defaultFont
        labelColor: root.labelColor
        valueColor: root.textColor
        nokColor: root.nokStatusDisplayColor
        nokTextColor: root.nokTextColor
        nokTextColorInv: root.nokTextColor_inv
        y: 104 - 52 * root.count
        visible: root.count < 2
        caption: qsTr("A")
        unit: "\u00B0"
    }

    ValueField {
        id: timeField
        objectName: "timeField"
        fontFamily: mainwindow.defaultFont
        labelColor: root.labelColor
        valueColor: root.textColor
        nokColor: root.nokStatusDisplayColor
        nokTextColor: root.nokTextColor
        nokTextColorInv: root.nokTextColor_inv
        y: 156 - 52 * root.count
        visible: root.count < 3
        caption: qsTr("t")
        unit: "s"
    }

    Item {
        id: idField
        objectName: "idField"
        x: 0
        y: 208 - 52 * root.count
        width: 240
        height: 52
        visible: root.count < 4

        Text {
            id: idCaption
            x: 9
            width: 30
            anchors.verticalCenter: parent.verticalCenter
            textFormat: Text.PlainText
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 12
            elide: Text.ElideRight
            text: qsTr("ID:")
            font.family: mainwindow.defaultFont
            font.pixelSize: 20
            color: root.labelColor
        }
        Text {
            id: idValue
            objectName: "idValue"
            // right-aligned at 230: a code shows up to 190 px, from the caption's end on
            x: 40
            width: 190
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            textFormat: Text.PlainText
            text: '-'
            font.family: mainwindow.defaultFont
            font.pixelSize: 20
            font.bold: true
            color: root.textColor
        }
    }

    // The code list shows a code too long for its field. On the start screen it is empty and
    // only its background shows below the fields, so it is built once the first frame is on
    // the display (at once when a long code comes first); its background stands in until then.
    Image {
        objectName: "codeListStandIn"
        x: 0
        y: 260
        width: 240
        height: 208
        visible: root.codeList === null
        source: root.backgroundImg
    }

    Loader {
        id: codeListLoader
        x: 0
        y: 260 - 52 * root.count
        active: mainwindow.firstFrameShown
        // By file name: the list's type, too, is loaded only when the list is built.
        source: "GenericList.qml"
        onLoaded: {
            const list = root.codeList
            list.objectName = "codeList"
            list.y = 0
            list.delegateMode = 2
            list.textCenter = qsTr("Menu")
            list.textMenu = qsTr("Menu")
            list.barUpdated.connect(function () {
                if (mainwindow.state === 'actualValues')
                    root.setButtonBarBtns()
            })
        }
    }

    function ensureCodeList() {
        codeListLoader.active = true
        return codeListLoader.item
    }

    // Empties the code list and sets the bar of the empty list; without the list, that is what
    // its manipulateArrows(0) does.
    function clearCodeList() {
        if (codeList) {
            codeList.model.clear()
            codeList.reset()
            codeList.manipulateArrows(0)
        } else {
            mainwindow.genericListShowArrows = 0
            mainwindow.trySetButtons('', qsTr("Menu"), '')
            if (mainwindow.state === 'actualValues')
                setButtonBarBtns()
        }
    }

    // Text measurement with the fonts the fields are drawn in.
    FontMetrics {
        id: prgMetrics
        font: statusText.font
    }
    FontMetrics {
        id: idMetrics
        font: idValue.font
    }
    FontMetrics {
        id: pieceMetrics
        font.family: mainwindow.defaultFont
        font.pointSize: 30
        font.letterSpacing: 0.5
    }

    Timer {
        id: blinkTimer
        objectName: "blinkTimer"
        interval: 300
        repeat: true
        onTriggered: {
            const next = statusDisplay.state === 'NOK' ? 'NOKINV' : 'NOK'
            statusDisplay.state = next
            const fields = [torqueField, angleField, timeField]
            for (let k = 0; k < fields.length; ++k) {
                if (fields[k].nok)
                    fields[k].state = next
            }
            interval = next === 'NOK' ? 500 : 200
        }
    }

    Timer {
        id: jobPopupTimer
        interval: 50
        repeat: false
        onTriggered: {
            if (typeof mainwindow.openJobDisplayPopup === 'function')
                mainwindow.openJobDisplayPopup()
        }
    }

    function isNumber(value) {
        if (value === null || value === undefined)
            return false
        const text = String(value).trim()
        return text !== '' && text !== '-' && !isNaN(Number(text))
    }

    function formatValue(value, decimals, marker) {
        let text = isNumber(value) ? Number(value).toFixed(decimals) : '-'
        // infinite, or so large that it comes out in exponent notation
        if (text === 'Infinity' || text === '-Infinity' || text.indexOf('e') >= 0)
            text = '----'
        if (marker === 10)
            text = "\u25CA " + text
        else if (marker > 0)
            text = "\u25B2 " + text
        else if (marker < 0)
            text = "\u25BC " + text
        return text
    }

    function showField(field, value, decimals, marker) {
        field.value = formatValue(value, decimals, marker)
        field.nok = marker !== 0
        field.state = field.nok ? 'NOK' : 'OK'
    }

    function setTorqueUnit(unit) {
        const name = (unit === undefined || unit === null)
                ? cMainWindow.getDefaultTorqueUnitPres()
                : cMainWindow.getTorqueUnitPres(unit)
        // the label is rich text
        torqueUnitText = Format.escaped(name)
    }

    function setValues(prgnr, prgname, result, torque, dTorque, angle, dAngle, tgs, dTgs, cycle, qcode, row, torqueUnit) {
        mainwindow.setAcCacheValues(prgnr, prgname, result, torque, dTorque, angle, dAngle, tgs, dTgs,
                                    cycle, qcode, row, torqueUnit)
        showValues(prgnr, result, torque, angle, tgs, qcode, row, cycle, torqueUnit)
    }

    // Shows a result, or with result "-" the loaded program, without touching the cache.
    function showValues(prgnr, result, torque, angle, tgs, qcode, row, cycle, torqueUnit) {
        const numberPart = prgnr + " - S:" + (Number(row) + 1) + "A"
        if (result === '-' || result === null || result === undefined) {
            blinkTimer.stop()
            statusDisplay.state = 'Ready'
            statusText.font.pointSize = 15
            const prg = cMainWindow.getPrgNumberName(mainwindow.prgnumber)
            setPrgNr(prg.slot, prg.name)
            setTorqueUnit(prg.unit)
        } else if (Number(result) > 0) {
            blinkTimer.stop()
            statusDisplay.state = 'OK'
            statusText.font.pointSize = 19
            setPrgNr(numberPart, "OK")
            setTorqueUnit(torqueUnit)
        } else {
            statusDisplay.state = 'NOK'
            statusText.font.pointSize = 19
            setPrgNr(numberPart, "NOK")
            setTorqueUnit(torqueUnit)
            blinkTimer.interval = 300
            blinkTimer.restart()
        }

        let torqueMarker = 0
        let angleMarker = 0
        let timeMarker = 0
        if (isNumber(qcode)) {
            const q = parseInt(qcode)
            const torqueHigh = (q & 0x08) !== 0
            const torqueLow = (q & 0x10) !== 0
            const angleHigh = (q & 0x02) !== 0
            const angleLow = (q & 0x04) !== 0
            torqueMarker = torqueHigh && torqueLow ? 10 : (torqueHigh ? 1 : (torqueLow ? -1 : 0))
            angleMarker = angleHigh && angleLow ? 10 : (angleHigh ? 1 : (angleLow ? -1 : 0))
            timeMarker = (q & 0x20) !== 0 ? 1 : 0
        }
        showField(torqueField, torque, 3, torqueMarker)
        showField(angleField, angle, 2, angleMarker)
        showField(timeField, tgs, 3, timeMarker)
        setCycle(cycle)
    }

    function setPrgNr(prg_nr, prg_name) {
        let numberPart = String(prg_nr)
        if (numberPart === "-1")
            numberPart = "--"
        const name = (prg_name === undefined || prg_name === null) ? '' : String(prg_name).trim()
        let text = numberPart + " - " + name
        while (text.length > 0 && prgMetrics.advanceWidth(text) > 185)
            text = text.slice(0, -1)
        statusText.text = qsTr("P:") + text
    }

    function setCurrentPrgNr(prg_nr) {
        if (statusDisplay.state !== 'Ready')
            return
        const prg = cMainWindow.getPrgNumberName(prg_nr)
        setPrgNr(prg.slot, prg.name)
        setTorqueUnit(prg.unit)
    }

    function setCycle(arg) {
        const code = (arg === undefined || arg === null) ? '' : String(arg).trim()
        let shown = code
        while (shown.length > 0 && idMetrics.advanceWidth(shown) > 190)
            shown = shown.slice(1)
        idValue.text = shown
        if (shown.length < code.length) {
            setList("ID+ : " + code)
        } else {
            count = 0
            lister = false
            // Without the list built, emptying it has set the bar already.
            const built = codeList !== null
            clearCodeList()
            if (built || mainwindow.state !== 'actualValues')
                setButtonBarBtns()
        }
    }

    // Cuts text into pieces that each just reach 215 px in the code list's measuring font.
    function splitPieces(text, metrics) {
        const pieces = []
        let rest = text
        while (rest.length > 0) {
            let n = 1
            while (n < rest.length && metrics.advanceWidth(rest.slice(0, n)) < 215)
                ++n
            pieces.push(rest.slice(0, n))
            rest = rest.slice(n)
        }
        return pieces
    }

    function setList(strValue) {
        const text = (strValue === undefined || strValue === null) ? '' : String(strValue).trim()
        const pieces = splitPieces(text, pieceMetrics)
        count = 0
        lister = false
        const list = ensureCodeList()
        list.model.clear()
        for (let k = 0; k < pieces.length; ++k)
            list.model.append({ name: pieces[k] })
        list.reset()
        list.updateBar(true)
        setButtonBarBtns()
    }

    function codeListHasEntries() {
        return codeList !== null && codeList.model.count > 0
    }

    function lastPieceSelected() {
        return codeList !== null && codeList.getIdx() === codeList.model.count - 1
    }

    function afterScroll() {
        if (idField.y > 50 && idField.y < 200)
            codeList.manipulateArrows(3)
        if (lastPieceSelected())
            codeList.manipulateArrows(2)
        setButtonBarBtns()
    }

    function scrollOn() {
        if (count === 0) {
            count = 1
        } else if (count < 4) {
            if (lastPieceSelected())
                return
            count += 1
            codeList.down()
        } else {
            if (codeList.model.count <= 3 || lastPieceSelected())
                return
            codeList.down()
            lister = true
        }
        afterScroll()
    }

    function scrollBack() {
        if (lister) {
            if (codeList.getIdx() === 2)
                lister = false
            codeList.up()
        } else {
            if (count === 0)
                return
            count -= 1
            codeList.up()
        }
        afterScroll()
    }

    function setButtonBarBtns() {
        const menu = qsTr("Menu")
        const btns = mainwindow.preSetBtns(menu)
        let left = btns.leftButton
        let middle = btns.middleButton
        let right = btns.rightButton
        if (mainwindow.scanBtn === _scanBtnA)
            middle = '@scan'
        else if (mainwindow.scanBtn === _scanBtnLeft)
            left = '@scan'
        else if (mainwindow.scanBtn === _scanBtnRight)
            right = '@scan'
        mainwindow.setButtonBarState(left, middle, right)
        mainwindow.checkBmsKeyModus()
    }

    function isScanButtonActive(button) {
        return mainwindow.scan && mainwindow.scanBtn === button
    }

    function sendScanButton() {
        if (mainwindow.scanBtnPressed)
            return
        cMainWindow.sendScanBtnPressed(mainwindow.scanBtn)
        mainwindow.scanBtnPressed = true
        scanSentBy = mainwindow.scanBtn
    }

    // The tool may take the scan key away while it is held; its release still ends the
    // press, or no later scan could be sent.
    function resetScanBtnPressed(button) {
        if (isScanButtonActive(button) || button === scanSentBy) {
            mainwindow.scanBtnPressed = false
            scanSentBy = 0
        }
    }

    function setTheme(value) {
        const dark = value === 'black'
        textColor = dark ? '#ffffff' : '#000000'
        labelColor = dark ? '#ffffff' : '#000000'
        nokTextColor = '#ebebeb'
        nokTextColor_inv = '#ff0000'
        readyBackgroundColor = dark ? '#000000' : '#ececec'
        backgroundImg = dark ? 'image://pics/actual_bg_black.png' : 'image://pics/actual_bg_blue.png'
        guiView_setTheme(value)
        if (codeList)
            codeList.setTheme(value)
    }

    function keyButton(key) {
        if (key === Qt.Key_A)
            return _scanBtnA
        if (key === Qt.Key_Left)
            return _scanBtnLeft
        return _scanBtnRight
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (isScanButtonActive(keyButton(key))) {
            sendScanButton()
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_A)
            mainwindow.gotoState('mainmenu')
        else if (key === Qt.Key_Left && codeListHasEntries())
            scrollBack()
        else if (key === Qt.Key_Right && codeListHasEntries())
            scrollOn()
    }

    Keys.onReleased: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        mainwindow.changeView = false
        resetScanBtnPressed(keyButton(key))
    }

    Component.onCompleted: {
        // the arrows of the previous screen's list do not belong to the empty code list
        clearCodeList()
        setTorqueUnit(undefined)
        setTheme(mainwindow.theme)
        setButtonBarBtns()
        // Built again after a popup or the menu: the last result while it is still the one on
        // display, otherwise the loaded program and the last identification code.
        const m = mainwindow
        if ((cMainWindow.enableResults() || m.firstInit) && !m.ongoingTightening && m.ac_cycle !== "-")
            setValues(m.ac_prgnr, m.ac_prgname, m.ac_result, m.ac_torque, m.ac_dTorque, m.ac_angle, m.ac_dAngle,
                      m.ac_tgs, m.ac_dTgs, m.ac_cycle, m.ac_qcode, m.ac_row, m.ac_torqueUnit)
        else
            showValues("-", "-", "-", "-", "-", "-", "-", m.id_code, undefined)
        jobPopupTimer.start()
    }
}
