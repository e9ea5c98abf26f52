import QtQuick
import Tavik 1.0
import "format.js" as Format
import "json2.js" as Json2
import "PopupStack.js" as PopupStack
import "BmsBtnObj.js" as BmsBtnObj

// The scene's root: one state per screen, the header and the button bar, and the
// functions through which the host pushes the tool's state into the scene.
Rectangle {
    id: mainwindow
    objectName: "mainwindow"

    property string theme: 'blue'
    property string defaultFont: "Tavik Sans"
    property var cfg: ({})
    property bool changeView: false
    property string lastState: ""
    property int prgnumber: -1
    property bool ongoingTightening: true
    property bool firstInit: true
    property int rssiLevel: -999
    property int wifiSignalParam: 0
    property int wifiConnection: 1
    property string ssid: "-"
    property string bssid: "-"
    property string id_code: "-"
    property string curridcode: "-"
    property bool scan: false
    property int scanBtn: 0
    property bool scanBtnPressed: false
    property int genericListShowArrows: 0
    property string btnLeftStr: ''
    property string btnMiddleStr: ''
    property string btnRightStr: ''
    property string barState: ''
    property bool wlanRestarted: false
    property int opMode: 0
    property var modesAllowed: ({ 'showmanop': false })
    property int prgallow: 0
    property int joballow: 0
    property int basicPointSize: 23
    property string disable_color: '#999999'
    property string jobPopupHead: ""
    property string jobPopupBody: ""
    property int selectedJob: 0
    property var ac_prgnr: "-"
    property var ac_prgname: "-"
    property var ac_result: "-"
    property var ac_torque: "-"
    property var ac_dTorque: "-"
    property var ac_angle: "-"
    property var ac_dAngle: "-"
    property var ac_tgs: "-"
    property var ac_dTgs: "-"
    property var ac_cycle: "-"
    property var ac_qcode: "-"
    property var ac_row: "-"
    property var ac_torqueUnit: "Nm"
    property string serviceName: ""
    property var stateBuffer: []
    property bool block_A_none_bms_key_events: false
    property bool block_Left_none_bms_key_events: false
    property bool block_Right_none_bms_key_events: false
    property bool bmsKeyMode: false
    property bool sendBmsBtnEvents: false
    property bool leftBmsEnabled: false
    property bool midBmsEnabled: false
    property bool rightBmsEnabled: false
    property bool pressed_A: false
    property bool pressed_L: false
    property bool pressed_R: false
    property bool pressed_ManOp: false
    property bool block_multiple_presses: false
    property bool nokAckPopUpOpened: false
    // Set by the host once the first frame is on the display. The header, the button bar and
    // the job display, which slide in or show only later, build their pictures and texts then.
    property bool firstFrameShown: false
    // The button texts of the key-bit mode ('n.a' for a key without assignment).
    property var bmsTexts: ({ 'L': 'n.a', 'M': 'n.a', 'R': 'n.a' })
    // Display names of the states; the English source texts, translated where shown.
    property var namesOfStates: ({
        'actualValues': QT_TR_NOOP("Actual Values view"),
        'idcodeviewer': QT_TR_NOOP("ID Code"),
        'operationmode': QT_TR_NOOP("OperationMode"),
        'idcodeassign': QT_TR_NOOP("IDCode Assign"),
        'language': QT_TR_NOOP("Language selection"),
        'setdate': QT_TR_NOOP("Set Date"),
        'settime': QT_TR_NOOP("Set Time"),
        'setdatetime': QT_TR_NOOP("Date & Time setting"),
        'testview': QT_TR_NOOP("Test view"),
        'themeselect': QT_TR_NOOP("Theme selection"),
        'game': QT_TR_NOOP("Game"),
        'mainmenu': QT_TR_NOOP("Main menu"),
        'info': QT_TR_NOOP("System information"),
        'prgselect': QT_TR_NOOP("Program selection"),
        'jobselect': QT_TR_NOOP("Job Select"),
        'job': QT_TR_NOOP("Job Abort"),
        'exchange': QT_TR_NOOP("Exchange"),
        'picviewer': QT_TR_NOOP("Picture Viewer"),
        'diagnosis': QT_TR_NOOP("Diagnosis"),
        'resservices': QT_TR_NOOP("Res Services"),
        'leave': QT_TR_NOOP("Leave"),
        'wlan': QT_TR_NOOP("WLAN"),
        'program': QT_TR_NOOP("Program editor"),
        'warning': QT_TR_NOOP("Laser warning"),
        'popupgui': QT_TR_NOOP("Popup"),
        'nokackpopup': QT_TR_NOOP("NOK Result")
    })

    readonly property int _SCAN_BTN_A: 1
    readonly property int _SCAN_BTN_LEFT: 2
    readonly property int _SCAN_BTN_RIGHT: 3
    readonly property int _BMS_BTN_LEFT: 0
    readonly property int _BMS_BTN_A: 1
    readonly property int _BMS_BTN_RIGHT: 2

    // The screen on display, or null.
    readonly property var screen: body.item

    // ---- configuration

    function defaultConfig() {
        return {
            global: {
                language: 'en',
                theme: 'blue',
                font: "Tavik Sans Medium",
                startview: 'actualValues',
                firstsetup: false,
                xmlservice: false,
                openprotocolservice: false
            },
            view: {}
        }
    }

    function parseConfig(text) {
        var parsed
        try {
            parsed = JSON.parse(text)
        } catch (e) {
            return null
        }
        if (!parsed || typeof parsed !== 'object' || !parsed.view || !parsed.view.MainMenu
                || !Array.isArray(parsed.view.MainMenu.entries))
            return null
        var entries = parsed.view.MainMenu.entries
        for (var i = 0; i < entries.length; ++i) {
            if (entries[i] && typeof entries[i] === 'object')
                entries[i].name = getNameForState(entries[i].state)
        }
        // Screens read cfg.global.<member> directly; a file without it must not break them.
        if (!parsed.global || typeof parsed.global !== 'object')
            parsed.global = {}
        return parsed
    }

    function loadCfg() {
        var parsed = parseConfig(cMainWindow.cfg)
        if (parsed === null) {
            cMainWindow.syslogError("error parsing configuration. using default one")
            parsed = defaultConfig()
        }
        cfg = parsed
        if (cMainWindow.setLanguage)
            cMainWindow.setLanguage(cfg.global.language)
        theme = (cfg.global.theme === 'black') ? 'black' : 'blue'
        if (typeof cfg.global.font === 'string' && cfg.global.font !== '')
            defaultFont = cfg.global.font
        dropNokAcknowledgements()
        setTheme(theme)
        if (state === 'mainmenu' && screenHas('updateLayout'))
            screen.updateLayout()

        var conStates = cMainWindow.getInitResConStates()
        var values = (conStates && conStates.values) ? conStates.values : null
        header.setSrvStateValues(cfg.global.showdataconnectionstatus === true ? values : null)
        reportResConnStatus(values)
    }

    function saveCfg(newcfg) {
        cMainWindow.cfg = JSON.stringify(newcfg, null, 2)
        cfg = newcfg
    }

    function saveWlan(wlan) {
        cMainWindow.wlan = Json2.stringify(wlan, null, 2)
    }

    function setTheme(value) {
        theme = value
        header.setTheme(value)
        jobPopup.setTheme(value)
        buttonBar.setTheme(value)
        if (screenHas('setTheme'))
            screen.setTheme(value)
    }

    // ---- navigation

    function screenHas(name) {
        return screen !== null && screen !== undefined && typeof screen[name] === 'function'
    }

    function hasState(name) {
        for (var i = 0; i < states.length; ++i) {
            if (states[i].name === name)
                return true
        }
        return false
    }

    // States named by the configuration, a file other processes write, that have no screen:
    // each is logged once, and going there is refused (the display would go black).
    property var unknownStates: ({})

    function knownState(name) {
        if (typeof name === 'string' && hasState(name))
            return true
        var key = String(name)
        if (unknownStates[key] !== true) {
            var logged = Object.assign({}, unknownStates)
            logged[key] = true
            unknownStates = logged
            cMainWindow.syslogError("no screen for the state '" + key + "'")
        }
        return false
    }

    // The screen under the popup screen keeps its own way back: lastState as it was before
    // the first popup came, given back when the last one goes.
    property string lastStateUnderPopup: ""

    function gotoState(newState) {
        if (!knownState(newState))
            return
        if (newState === 'popupgui' && state !== 'popupgui')
            lastStateUnderPopup = lastState
        lastState = state
        state = newState
        pushState(newState)
    }

    // A popup is no screen of the history: a screen that walks back through it after popups
    // came and went finds the screens the operator opened.
    function pushState(curr_state) {
        if (curr_state === 'popupgui')
            return
        var history = stateBuffer.slice(0)
        if (history.length >= 3)
            history.splice(2, history.length - 2)
        history.unshift(curr_state)
        stateBuffer = history
    }

    function gotoPrevState() {
        var back = lastState
        // before the state: the screen reads lastState while it is built
        if (state === 'popupgui' && back !== 'popupgui')
            lastState = lastStateUnderPopup
        state = back
    }

    function gotoStatePrevMenu() {
        for (var i = stateBuffer.length - 1; i >= 0; --i) {
            if (stateBuffer[i] !== state) {
                state = stateBuffer[i]
                break
            }
        }
        pushState(state)
    }

    function getNameForState(stateName) {
        var name = namesOfStates[stateName]
        return name === undefined ? String(stateName) : name
    }

    // ---- button bar on behalf of the screens

    function trySetButtons(left, middle, right) {
        if (bmsKeyMode) {
            btnLeftStr = left
            btnMiddleStr = middle
            btnRightStr = right
        } else {
            buttonBar.setButtons(left, middle, right)
        }
    }

    function setButtonBarState(left, middle, right) {
        buttonBar.setButtonsWithoutState(left, middle, right)
    }

    function preSetBtns(middleBtn) {
        var a = genericListShowArrows
        return {
            leftButton: (a === 2 || a === 3) ? '@up' : '',
            middleButton: middleBtn,
            rightButton: (a === 1 || a === 3) ? '@down' : ''
        }
    }

    function saveButtons() {
        btnLeftStr = buttonBar.btnLeftStr
        btnMiddleStr = buttonBar.btnMiddleStr
        btnRightStr = buttonBar.btnRightStr
        barState = buttonBar.state
    }

    function restoreButtons() {
        buttonBar.setButtons(btnLeftStr, btnMiddleStr, btnRightStr)
        buttonBar.state = barState
    }

    function drawButtonsNotPressed() {
        buttonBar.setPressed(false, false, false)
    }

    function blockItemFocus() {
        mainwindow.focus = true
    }

    function returnItemFocus() {
        body.focus = true
    }

    // ---- keys

    function checkBmsKeyModus() {
        if (bmsKeyMode) {
            cMainWindow.syslogDebug("enabling bmsKeyMode")
            enableBmsKeyFunction(true, 0)
        }
    }

    // ---- key-bit mode: with the tool's direction switch in its middle position the three
    // keys are inputs of the tool's key/PLC service

    function getMappedBmsText() {
        var mapped = cMainWindow.getMappedBmsBits()
        var l = (mapped && mapped.L) ? String(mapped.L) : ''
        var m = (mapped && mapped.M) ? String(mapped.M) : ''
        var r = (mapped && mapped.R) ? String(mapped.R) : ''
        leftBmsEnabled = l !== ''
        midBmsEnabled = m !== ''
        rightBmsEnabled = r !== ''
        return { 'L': l === '' ? 'n.a' : l, 'M': m === '' ? 'n.a' : m, 'R': r === '' ? 'n.a' : r }
    }

    function drawManOpPressed() {
        buttonBar.setPressed(bmsTexts.L === "ManOp", bmsTexts.M === "ManOp", bmsTexts.R === "ManOp")
    }

    // The screen draws its own bar again once the mode has ended.
    function redrawScreenBar() {
        if (state === 'actualValues') {
            if (screenHas('setButtonBarBtns'))
                screen.setButtonBarBtns()
            // the job display over the actual values takes its keys back
            if (jobPopup.state === 'info')
                jobPopup.focus = true
        } else if (!({ 'popupgui': 1, 'warning': 1, 'program': 1, 'game': 1, 'testview': 1, 'settime': 1,
                       'setdate': 1 })[state]) {
            if (screenHas('updateBar'))
                screen.updateBar()
        }
    }

    function enableBmsKeyFunction(flag, fnr) {
        var popupShown = state === 'warning' || state === 'popupgui'
        try {
            try {
                if (flag && !popupShown) {
                    // a key held since before stays marked as pressed outside
                    BmsBtnObj.reset_inside()
                } else {
                    for (var bit = 0; bit < 3; ++bit) {
                        if (BmsBtnObj.bits[bit].pressed)
                            cMainWindow.sendBmsBitSignal(bit, 0)
                    }
                    BmsBtnObj.reset()
                }
            } catch (e) {
                cMainWindow.syslogError("BMSKEY: udpateKeyPos enable: {0}/{1}; ERROR: {2}".format(flag, bmsKeyMode, e))
            }
            if (flag && popupShown) {
                buttonBar.setButtonsFont(false)
                bmsKeyMode = true
                sendBmsBtnEvents = false
            } else if (flag) {
                blockItemFocus()
                // The screen's own bar is saved when the texts start to be shown; while they
                // are shown, screens put their bar into the saved texts (trySetButtons).
                if (!sendBmsBtnEvents)
                    saveButtons()
                bmsTexts = getMappedBmsText()
                buttonBar.setButtonsWithoutState(bmsTexts.L, bmsTexts.M, bmsTexts.R)
                bmsKeyMode = true
                sendBmsBtnEvents = true
                buttonBar.setButtonsFont(true)
            } else {
                var wasShowing = sendBmsBtnEvents
                returnItemFocus()
                if (wasShowing)
                    restoreButtons()
                bmsKeyMode = false
                sendBmsBtnEvents = false
                buttonBar.setButtonsFont(false)
                redrawScreenBar()
            }
        } catch (e) {
            cMainWindow.logToSys("JS Exception in enableBmsKeyFunction: " + e)
        }
    }

    function keyOfBit(id) {
        return id === _BMS_BTN_LEFT ? Qt.Key_Left : (id === _BMS_BTN_A ? Qt.Key_A : Qt.Key_Right)
    }

    function setKeyBlocked(key, blocked) {
        if (key === Qt.Key_A)
            block_A_none_bms_key_events = blocked
        else if (key === Qt.Key_Left)
            block_Left_none_bms_key_events = blocked
        else
            block_Right_none_bms_key_events = blocked
    }

    function guiSendBmsBitSignal(id, val) {
        var key = keyOfBit(id)
        var bit = BmsBtnObj.bits[id]
        if (val === 0)
            setKeyBlocked(key, false)
        var text = id === _BMS_BTN_A ? bmsTexts.M : (id === _BMS_BTN_LEFT ? bmsTexts.L : bmsTexts.R)
        if (sendBmsBtnEvents) {
            var enabled = id === _BMS_BTN_A ? midBmsEnabled : (id === _BMS_BTN_LEFT ? leftBmsEnabled : rightBmsEnabled)
            if (enabled) {
                if (val === 1) {
                    setKeyBlocked(key, true)
                    if (!bit.pressed && !bit.pressed_outside) {
                        if (text === "ManOp") {
                            if (!pressed_ManOp) {
                                cMainWindow.sendBmsBitSignal(id, 1)
                                pressed_ManOp = true
                                block_multiple_presses = true
                            } else if (!block_multiple_presses) {
                                bit.pressed = true
                                pressed_ManOp = false
                            }
                        } else {
                            bit.pressed = true
                            cMainWindow.sendBmsBitSignal(id, 1)
                        }
                    }
                } else {
                    if (text === "ManOp")
                        block_multiple_presses = false
                    if (bit.pressed && (text !== "ManOp" || !pressed_ManOp)) {
                        bit.pressed = false
                        cMainWindow.sendBmsBitSignal(id, 0)
                    }
                }
            }
        } else if (val === 1) {
            bit.pressed_outside = true
        }
        if (val === 0)
            bit.pressed_outside = false
    }

    function is_none_bms_key_events_open(key) {
        if (key === Qt.Key_A)
            return !block_A_none_bms_key_events
        if (key === Qt.Key_Left)
            return !block_Left_none_bms_key_events
        if (key === Qt.Key_Right)
            return !block_Right_none_bms_key_events
        return true
    }

    function setNokAckPopupOpened(arg) {
        nokAckPopUpOpened = arg
    }

    Keys.onPressed: (event) => {
        switch (event.key) {
        case Qt.Key_A:
            pressed_A = true
            guiSendBmsBitSignal(_BMS_BTN_A, 1)
            buttonBar.setPressed(false, true, false)
            break
        case Qt.Key_Left:
            pressed_L = true
            guiSendBmsBitSignal(_BMS_BTN_LEFT, 1)
            buttonBar.setPressed(true, false, false)
            break
        case Qt.Key_Right:
            pressed_R = true
            guiSendBmsBitSignal(_BMS_BTN_RIGHT, 1)
            buttonBar.setPressed(false, false, true)
            break
        default:
            serviceAidKey(event.key)
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A && pressed_A) || (event.key === Qt.Key_Left && pressed_L)
                || (event.key === Qt.Key_Right && pressed_R)) {
            if (event.key === Qt.Key_A) {
                guiSendBmsBitSignal(_BMS_BTN_A, 0)
                pressed_A = false
            } else if (event.key === Qt.Key_Left) {
                guiSendBmsBitSignal(_BMS_BTN_LEFT, 0)
                pressed_L = false
            } else {
                guiSendBmsBitSignal(_BMS_BTN_RIGHT, 0)
                pressed_R = false
            }
            buttonBar.setPressed(false, false, false)
            if (bmsKeyMode && pressed_ManOp)
                drawManOpPressed()
        }
    }

    // ---- results and identification codes

    function setAcCacheValues(prgnr, prgname, result, torque, dTorque, angle, dAngle, tgs, dTgs, cycle, qcode, row, torqueUnit) {
        if (cycle === "-")
            return
        ac_prgnr = prgnr
        ac_prgname = prgname
        ac_result = result
        ac_torque = torque
        ac_dTorque = dTorque
        ac_angle = angle
        ac_dAngle = dAngle
        ac_tgs = tgs
        ac_dTgs = dTgs
        ac_cycle = cycle
        ac_qcode = qcode
        ac_row = row
        ac_torqueUnit = torqueUnit
    }

    function setResults(arg) {
        var finished = arg.cycle !== "-"
        var cycle = arg.cycle
        if (!finished) {
            ongoingTightening = true
            cycle = id_code
        } else {
            ongoingTightening = false
        }
        curridcode = cycle
        if (finished)
            setAcCacheValues(arg.prg_nr, arg.prg_name, arg.result, arg.torque, arg.dTorque, arg.angle, arg.dAngle,
                             arg.tgs, arg.dTgs, cycle, arg.qcode, arg.row, arg.torqueUnit)
        if (state === 'actualValues' && screenHas('setValues'))
            screen.setValues(arg.prg_nr, arg.prg_name, arg.result, arg.torque, arg.dTorque, arg.angle, arg.dAngle,
                             arg.tgs, arg.dTgs, cycle, arg.qcode, arg.row, arg.torqueUnit)
        else if (state === 'idcodeviewer' && screenHas('setList'))
            screen.setList(cycle)
    }

    function resetResult() {
        ongoingTightening = true
        setResults({ prg_nr: "-", prg_name: "-", result: "-", torque: "-", dTorque: "-", angle: "-", dAngle: "-",
                     tgs: "-", dTgs: "-", cycle: "-", qcode: "-", row: "-", torqueUnit: "Nm" })
        genericListShowArrows = 0
    }

    function newIdcode(arg) {
        try {
            id_code = arg
            curridcode = arg
            if (state === 'actualValues') {
                if (ongoingTightening) {
                    firstInit = false
                    if (screenHas('setCycle'))
                        screen.setCycle(arg)
                }
            } else if (state === 'idcodeviewer' && screenHas('setList')) {
                screen.setList(arg)
            }
        } catch (e) {
            cMainWindow.logToSys("JS Exception in newIdcode:" + e)
        }
    }

    function updatePrgnr(prgnr) {
        try {
            prgnumber = prgnr
            header.setPrgName(prgnr)
            if (state === 'actualValues' && screenHas('setCurrentPrgNr'))
                screen.setCurrentPrgNr(prgnr)
        } catch (e) {
            cMainWindow.logToSys("JS Exception in updatePrgnr: " + e)
        }
    }

    function displayscanicon(button) {
        try {
            scanBtn = button
            scan = true
            if (state === 'actualValues' && screenHas('setButtonBarBtns'))
                screen.setButtonBarBtns()
        } catch (e) {
            cMainWindow.logToSys("JS Exception in displayscanicon:" + e)
        }
    }

    function hidescanicon() {
        try {
            scanBtn = 0
            scan = false
            if (state === 'actualValues' && screenHas('setButtonBarBtns'))
                screen.setButtonBarBtns()
        } catch (e) {
            cMainWindow.logToSys("JS Exception in hidescanicon:" + e)
        }
    }

    // ---- tool state in the header

    function setReady(rdy) {
        header.readyFlag = Boolean(rdy)
        header.updateLEDState()
    }

    function setSysFault(fault) {
        header.sysfaultFlag = Boolean(fault)
        header.updateLEDState()
    }

    function setEnable(en) {
        header.enableFlag = Boolean(en)
        header.updateLEDState()
    }

    function batteryPower(power) {
        header.setBatteyCapacity(Number(power) / 100)
    }

    function updateKeyPos(kypos, fnr) {
        try {
            if (kypos < 0 && !bmsKeyMode) {
                enableBmsKeyFunction(true, fnr)
                if (pressed_ManOp)
                    drawManOpPressed()
            } else if (kypos >= 0 && bmsKeyMode) {
                enableBmsKeyFunction(false, fnr)
                buttonBar.setPressed(false, false, false)
            }
        } catch (e) {
            cMainWindow.logToSys("JS Exception in updateKeyPos: " + e)
        }
    }

    function updateOperationMode(mode, prg, job) {
        opMode = mode
        prgallow = prg
        joballow = job
        if (state === 'mainmenu' && screenHas('updateLayout')) {
            screen.updateLayout()
            checkBmsKeyModus()
        }
    }

    function checkAllowedModes(name, active) {
        var modes = {}
        for (var key in modesAllowed)
            modes[key] = modesAllowed[key]
        modes[name] = Boolean(active)
        modesAllowed = modes
    }

    function setFccTestMode(active) {
        header.setFccTestMode(active)
    }

    // ---- WLAN

    function wifiSignal(value) {
        wifiSignalParam = value
        header.setWifiSignal(value)
    }

    function infoRssiLevel(value) {
        rssiLevel = value
    }

    function wifiConn(value) {
        wifiConnection = value
        ssid = cMainWindow.getSSID()
        bssid = cMainWindow.getBSSID()
        header.setWifiConnection(value)
    }

    function setSSID(ssid_param) {
        ssid = ssid_param
    }

    function setBSSID(bssid_param) {
        bssid = bssid_param
    }

    function wlanInterface(active) {
        header.setWlanDisconnected(active)
    }

    function reloadWlan() {
        if (state === 'wlan' && screenHas('updateValues'))
            screen.updateValues()
    }

    function reloadInfo() {
        if (state !== 'info')
            return
        if (screenHas('setValues'))
            screen.setValues()
        if (screenHas('changeBssidTimer'))
            screen.changeBssidTimer(true)
    }

    function setWlanRestarted(pWlanRestarted) {
        wlanRestarted = pWlanRestarted
    }

    function restartWlanProcessSuccess() {
        wlanRestarted = false
    }

    function restartWlanProcessFailed(exitCode) {
        showWlanError(qsTr("Restart WLAN Error\n\nRestart WLAN already in progress.\nWait until finished"))
    }

    function restartWlanProcessFailedUnspecific(exitCode) {
        showWlanError(qsTr("Restart WLAN Error\n\nWLAN could not restart.\nExit-Code is: ") + exitCode)
    }

    function getWlanRestarted() {
        return wlanRestarted
    }

    // ---- result-protocol services

    // 1: a service is disconnected, 2: none is but one is connected, 0: neither.
    function reportResConnStatus(values) {
        var disconnected = 0
        var connected = 0
        if (values) {
            for (var name in values) {
                if (values[name] === 0)
                    ++disconnected
                else if (values[name] === 1)
                    ++connected
            }
        }
        cMainWindow.sendResConnStatus(disconnected > 0 ? 1 : (connected > 0 ? 2 : 0))
    }

    function resServiceConChanged(map) {
        try {
            reportResConnStatus(map.values)
            if (cfg.global.showdataconnectionstatus === true) {
                header.setSrvStateValues(map.values)
                if (state === 'diagnosis' && screenHas('updateData'))
                    screen.updateData()
            }
        } catch (e) {
            cMainWindow.syslogError("error in resServiceConChanged " + e.message)
        }
    }

    function resSerDiagDataChanged(name) {
        try {
            if (state === 'resservices' && name === serviceName && screenHas('setValues'))
                screen.setValues()
            else if (state === 'diagnosis' && screenHas('updateData'))
                screen.updateData()
        } catch (e) {
            cMainWindow.syslogError("error in resSerDiagDataChanged " + e.message)
        }
    }

    function readSrvsFile() {
        try {
            var data = JSON.parse(cMainWindow.readSrvsFile(serviceName)).data
            return Array.isArray(data) ? data : []
        } catch (e) {
            cMainWindow.syslogError("Error parsing service file: " + serviceName)
            return []
        }
    }

    // ---- test view, jobs, popups

    function setTestMode(test) {
        state = test ? 'testview' : 'actualValues'
    }

    function setTestViewText(field, color, bgColor, size, text) {
        try {
            if (state === 'testview' && screenHas('setText'))
                screen.setText(field, color, bgColor, size, text)
        } catch (e) {
            cMainWindow.logToSys("JS Exception in setTestViewText:" + e)
        }
    }

    function setTestViewProgress(progress) {
        try {
            if (state === 'testview' && screenHas('setProgress'))
                screen.setProgress(progress)
        } catch (e) {
            cMainWindow.logToSys("JS Exception in setTestViewProgress:" + e)
        }
    }

    function updateJobView() {
        if (state === 'jobselect' && screenHas('updateJobList'))
            screen.updateJobList()
    }


    // ---- popups and the job display

    // Parameter texts of the tool's job and scanner scripts, looked up by qsTrRewrite.
    readonly property var popupParameterKeys: [
        QT_TR_NOOP("{{{Prg: {0} received"), QT_TR_NOOP("{{{Prg: {0} + IDCode: {1} received"),
        QT_TR_NOOP("{{{Job: {0} received"), QT_TR_NOOP("{{{Job: {0} + IDCode: {1} received"),
        QT_TR_NOOP("{{{IDCode: {0} received"), QT_TR_NOOP("{{{Scan Failed"),
        QT_TR_NOOP("{{{Scanner initialization failed"), QT_TR_NOOP("{{{ID input failed"),
        QT_TR_NOOP("{{{Code not found in assignment table"), QT_TR_NOOP("{{{Scanner not active"),
        QT_TR_NOOP("{{{Barcode not supported"), QT_TR_NOOP("{{{Barcode not active in Job"),
        QT_TR_NOOP("Sys Fault")
    ]

    // "{{{Prg: [[[5]]] received" is looked up as "{{{Prg: {0} received" and filled with 5. Other
    // texts are translated whole, or left as they are when whole is false.
    function qsTrRewrite(text, whole) {
        var source = (text === undefined || text === null) ? '' : String(text)
        if (source.indexOf("{{{") !== 0)
            return whole === false ? source : qsTr(source)
        var values = []
        var key = source.replace(/\[\[\[([\s\S]*?)\]\]\]/g, function (match, value) {
            values.push(value)
            return "{" + (values.length - 1) + "}"
        })
        var translated = qsTr(key)
        // a key without translation is shown without its marker
        if (translated.indexOf("{{{") === 0)
            translated = translated.substring(3)
        return translated.format.apply(translated, values)
    }

    function showPopupScreen() {
        if (state !== 'popupgui')
            gotoState('popupgui')
        return screenHas('popupString')
    }

    // The last popup is closed: back to the screen before it.
    function leavePopupScreen() {
        gotoPrevState()
        returnItemFocus()
        if (state !== 'popupgui') {
            buttonBar.setPressed(false, false, false)
            checkBmsKeyModus()
        }
    }

    function getPopupState() {
        if (state === 'popupgui' && screen !== null && screen !== undefined)
            return screen.state
        return 'hidden'
    }

    function popupString(header, text, timer, waitForAck, code, fclass) {
        if (showPopupScreen())
            screen.popupString(header, text, timer, waitForAck, code, fclass, cfg)
    }

    function closepopupString(quittedCode) {
        if (PopupStack.currentStackElIsBattery())
            return
        // with nothing stacked there is nothing to close, and no reason to leave the screen
        if (quittedCode !== 403 && (state === 'popupgui' || PopupStack.getStackLength() > 0)) {
            showPopupScreen()
            PopupStack.closeNonSysFaults(quittedCode)
        }
        checkBmsKeyModus()
    }

    function removeSysfaultFromStack(fcode) {
        return PopupStack.removeAll(fcode)
    }

    function batteryStatus(status) {
        // 4 (new battery) and unknown values open nothing
        if (status !== 0 && status !== 1 && status !== 2 && status !== 3 && status !== 5)
            return
        if (quietStartBattery(status))
            return
        if (showPopupScreen())
            screen.setBatteryStatus(status)
    }

    // True while the host hands the battery's status over at start-up (the actual values are
    // fresh then): a good battery with no popup to close or give back leaves what a pass
    // through the popup screen would, without building that screen and the start screen once
    // more before the first frame.
    property bool startingUp: false

    function quietStartBattery(status) {
        if (!startingUp || status !== 3 || state !== 'actualValues' || bmsKeyMode
                || PopupStack.getStackLength() > 0 || PopupStack.isBatteryFlagCleared())
            return false
        setJobPopupFocus(false)
        PopupStack.checkStack()
        return true
    }

    function batteryCountDown(count) {
        if (state !== 'popupgui') {
            gotoState('popupgui')
            checkBmsKeyModus()
        }
        if (screenHas('setCounter'))
            screen.setCounter(count)
    }

    function checkIfNokAckPopupToShow(prgnr) {
        if (cfg.global.shownokackpopup !== true)
            return
        cMainWindow.disableScrewdriver()
        shownokackpopup()
    }

    function shownokackpopup() {
        if (!showPopupScreen())
            return
        setNokAckPopupOpened(true)
        screen.nokackPopup(QT_TR_NOOP('NOK Result'), QT_TR_NOOP('Press OK to acknowledge'))
    }

    // Without NOK acknowledgement in the configuration, a waiting one goes and the tool is ready.
    function dropNokAcknowledgements() {
        if (cfg.global.shownokackpopup === true)
            return
        if (getPopupState() === 'nokackresult') {
            setNokAckPopupOpened(false)
            cMainWindow.setGuiReady()
            closepopupString(0)
        } else if (PopupStack.removeNokAckPopups() > 0) {
            setNokAckPopupOpened(false)
            cMainWindow.setGuiReady()
        }
    }

    function showWlanError(text) {
        wlanRestarted = false
        if (!showPopupScreen())
            return
        // a new error replaces the one before it
        var top = PopupStack.getCurrentStackElement()
        if (top !== null && !PopupStack.isBattery(top) && top.header === "WLAN" && top.code === '')
            PopupStack.popVals()
        screen.popupString("WLAN", text, 0, 0, '', '', cfg)
    }

    function jobDisplayMsg(header, text) {
        jobPopup.popupString(header, text)
        if (jobPopup.state === 'info')
            checkBmsKeyModus()
    }

    function closejobdisplaymsg(quittedCode) {
        if (jobPopup.state === 'info') {
            jobPopup.close()
            checkBmsKeyModus()
        } else {
            // closed by the tool while a popup hides it: it must not come back
            jobPopup.active = false
        }
    }

    function openJobDisplayPopup() {
        jobPopup.reopenPopup()
        if (jobPopup.state === 'info')
            checkBmsKeyModus()
    }

    function setJobPopupFocus(focus) {
        if (!focus && jobPopup.state === 'info')
            jobPopup.hide()
    }

    // Service aids of an attached keyboard.
    function serviceAidKey(key) {
        switch (key) {
        case Qt.Key_L: batteryStatus(2); break
        case Qt.Key_M: batteryStatus(1); break
        case Qt.Key_E: batteryStatus(0); break
        case Qt.Key_I: batteryStatus(3); break
        case Qt.Key_N: batteryStatus(5); break
        case Qt.Key_T: popupString("header", "Lorem ipsum"); break
        case Qt.Key_O: state = 'warning'; break
        }
    }

    // Wrappers of the popup stack.
    function stackDebug(name) {
        cMainWindow.syslogDebug(name + " stack length: " + PopupStack.getStackLength())
    }
    function pushVals(h, t, ti, w, c, fc, poptype) { PopupStack.pushVals(h, t, ti, w, c, fc, poptype); stackDebug("pushVals") }
    function popVals() { var el = PopupStack.popVals(); stackDebug("popVals"); return el }
    function checkStack(closeCurrent) { stackDebug("checkStack"); PopupStack.checkStack(closeCurrent) }
    function removeAll(fcode) { var el = PopupStack.removeAll(fcode); stackDebug("removeAll"); return el }
    function removeBatteryPopups() { var r = PopupStack.removeBatteryPopups(); stackDebug("removeBatteryPopups"); return r }
    function removeBatteryElsFromStack() { PopupStack.removeBatteryElsFromStack(); stackDebug("removeBatteryElsFromStack") }
    function pushBatteryStatus(status) { PopupStack.pushBatteryStatus(status); stackDebug("pushBatteryStatus") }
    function getCurrentStackElement() { return PopupStack.getCurrentStackElement() }
    function currentStackElIsBattery() { return PopupStack.currentStackElIsBattery() }
    function closeNonSysFaults(quittedCode) { stackDebug("closeNonSysFaults"); PopupStack.closeNonSysFaults(quittedCode) }
    function removeNokAckPopups(mystack) { var n = PopupStack.removeNokAckPopups(mystack); stackDebug("removeNokAckPopups"); return n }
    function getStackLength() { return PopupStack.getStackLength() }

    width: 240
    height: 320
    color: "black"
    clip: true

    Component.onCompleted: {
        grabber.setView(cMainWindow)
        PopupStack.attach(mainwindow, cMainWindow)
        loadCfg()
        var first
        if (cfg.global.firstsetup === true)
            first = cfg.wizard ? cfg.wizard.start : undefined
        else if (cfg.global.laserwarning === true)
            first = 'warning'
        else
            first = cfg.global.startview
        // A start view that names no screen would leave the display empty.
        if (typeof first !== 'string' || !knownState(first))
            first = 'actualValues'
        state = first
        lastState = first
    }

    Item {
        id: bodyContainer
        objectName: "bodyContainer"
        z: 0

        Loader {
            id: body
            objectName: "body"
            focus: true
            // A new screen shows the key-bit texts too while the mode is on.
            onLoaded: mainwindow.checkBmsKeyModus()
        }
    }

    ScreenGrabber {
        id: grabber
        objectName: "grabber"
        x: 0
        y: 30
        width: 240
        height: 320
        visible: false
        z: 0
    }

    JobPopup {
        id: jobPopup
        buildParts: mainwindow.firstFrameShown
        z: 50
        fontFamily: mainwindow.defaultFont
    }

    Header {
        id: header
        buildParts: mainwindow.firstFrameShown
        z: 20
        y: -30
        fontFamily: mainwindow.defaultFont
        wifiSignalParam: mainwindow.wifiSignalParam
        opMode: mainwindow.opMode
        showConnectionStatus: mainwindow.cfg.global !== undefined && mainwindow.cfg.global.showdataconnectionstatus === true

        states: [
            State { name: "Visible"; PropertyChanges { target: header; y: 0 } },
            State { name: "Invisible"; PropertyChanges { target: header; y: -30 } }
        ]
        transitions: Transition {
            NumberAnimation { properties: "y"; duration: 500; easing.type: Easing.InOutQuad }
        }
    }

    ButtonBar {
        id: buttonBar
        buildParts: mainwindow.firstFrameShown
        z: 20
        y: 320
        fontFamily: mainwindow.defaultFont

        states: [
            State { name: "Visible"; PropertyChanges { target: buttonBar; y: 290 } },
            State { name: "Invisible"; PropertyChanges { target: buttonBar; y: 320 } }
        ]
        transitions: Transition {
            NumberAnimation { properties: "y"; duration: 500; easing.type: Easing.InOutQuad }
        }
    }

    states: [
        State {
            name: "actualValues"
            PropertyChanges { target: body; source: "ActualValues.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "idcodeviewer"
            PropertyChanges { target: body; source: "IdCode.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "operationmode"
            PropertyChanges { target: body; source: "OperationMode.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "idcodeassign"
            PropertyChanges { target: body; source: "IdCodeAssign.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "language"
            PropertyChanges { target: body; source: "Language.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "setdate"
            PropertyChanges { target: body; source: "SetDate.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "settime"
            PropertyChanges { target: body; source: "SetTime.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "setdatetime"
            PropertyChanges { target: body; source: "SetDateTime.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "testview"
            PropertyChanges { target: body; source: "TestView.qml" }
            PropertyChanges { target: header; state: "Invisible" }
            PropertyChanges { target: buttonBar; state: "Invisible" }
        },
        State {
            name: "themeselect"
            PropertyChanges { target: body; source: "ThemeSelect.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "game"
            PropertyChanges { target: body; source: "QTetris.qml" }
            PropertyChanges { target: header; state: "Invisible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "mainmenu"
            PropertyChanges { target: body; source: "MainMenu.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "info"
            PropertyChanges { target: body; source: "Info.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "warning"
            PropertyChanges { target: body; source: "Warning.qml" }
            PropertyChanges { target: header; state: "Invisible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "program"
            PropertyChanges { target: body; source: "Program.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "prgselect"
            PropertyChanges { target: body; source: "PrgSelect.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "jobselect"
            PropertyChanges { target: body; source: "JobSelect.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "job"
            PropertyChanges { target: body; source: "JobAbort.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "exchange"
            PropertyChanges { target: body; source: "Exchange.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "picviewer"
            PropertyChanges { target: body; source: "PictureViewer.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "diagnosis"
            PropertyChanges { target: body; source: "Diagnosis.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "resservices"
            PropertyChanges { target: body; source: "ResServices.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "popupgui"
            PropertyChanges { target: body; source: "Popup.qml"; focus: true }
            PropertyChanges { target: header; state: "Invisible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "leave"
            PropertyChanges { target: body; source: "Leave.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        },
        State {
            name: "wlan"
            PropertyChanges { target: body; source: "Wlan.qml" }
            PropertyChanges { target: header; state: "Visible" }
            PropertyChanges { target: buttonBar; state: "Visible" }
        }
    ]
}
