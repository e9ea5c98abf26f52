.pragma library

// The stack of popups waiting for the operator. The last element is the top, the popup on
// display. An element is a message {header, text, timer, waitForAck, code, fclass, popupType}
// or a battery element: the battery status number alone. Battery warnings stay on top of
// everything; a NOK acknowledgement goes under a fault that is on display; there is at most
// one NOK acknowledgement; the stack never holds more than MAX_STACK_SIZE elements.

var MAX_STACK_SIZE = 15
var popupTypeAny = 1
var popupTypeNokAck = 2

var stack = []
// The top element is the popup being shown and was put there since the last close.
var newPopup = false
// The element last taken from the stack for display, or null.
var selectedObj = null

// The low-battery popup took the battery's ready flag away and nobody gave it back yet.
var batteryFlagCleared = false

var root = null
var host = null

// The scene's root hands itself and the host over once it is complete; the stack starts empty.
function attach(mainwindow, hostWindow) {
    root = mainwindow
    host = hostWindow
    stack = []
    newPopup = false
    selectedObj = null
    batteryFlagCleared = false
    host.syslogDebug("creating PopupStack")
}

function setBatteryFlagCleared(cleared) {
    batteryFlagCleared = cleared
}

function isBatteryFlagCleared() {
    return batteryFlagCleared
}

function isBattery(el) {
    return typeof el === 'number'
}

function isFault(el) {
    return el !== null && el !== undefined && !isBattery(el) && Number(el.fclass) > 0
}

function hasValue(v) {
    return v !== undefined && v !== null && v !== ''
}

function top() {
    return stack.length > 0 ? stack[stack.length - 1] : null
}

function trim() {
    var was = stack.length
    if (was <= MAX_STACK_SIZE)
        return
    stack.splice(0, was - MAX_STACK_SIZE)
    host.syslogError("Stack has grown to more than " + MAX_STACK_SIZE + " elements. Was: " + was)
}

function pushVals(h, t, ti, w, c, fc, poptype) {
    var msg = { header: h, text: t, timer: ti, waitForAck: w, code: c, fclass: fc,
                popupType: poptype === popupTypeNokAck ? popupTypeNokAck : popupTypeAny }
    var battery = null
    if (isBattery(top()))
        battery = stack.pop()
    if (msg.popupType === popupTypeNokAck && stack.length > 0)
        removeNokAckPopups(stack)
    if (msg.popupType === popupTypeNokAck && isFault(top()))
        stack.splice(stack.length - 1, 0, msg)
    else
        stack.push(msg)
    if (battery !== null)
        stack.push(battery)
    trim()
    newPopup = true
}

function pushBatteryStatus(status) {
    stack.push(status)
    trim()
    newPopup = true
}

function popVals() {
    return stack.pop()
}

function getCurrentStackElement() {
    return top()
}

function currentStackElIsBattery() {
    return isBattery(top())
}

function getStackLength() {
    return stack.length
}

// Removes every message whose code is fcode; answers the last one removed, or null.
function removeAll(fcode) {
    var removed = null
    stack = stack.filter(function (el) {
        if (!isBattery(el) && el.code === fcode) {
            removed = el
            return false
        }
        return true
    })
    return removed
}

function removeBatteryElsFromStack() {
    stack = stack.filter(function (el) { return !isBattery(el) })
}

// Battery good again or acknowledged: 0 when the popup on display is a battery popup (close
// it), 1 when a message is on display (leave it). Every battery element goes.
function removeBatteryPopups() {
    if (stack.length === 0) {
        newPopup = false
        return (selectedObj !== null && !isBattery(selectedObj)) ? 1 : 0
    }
    var showingBattery = newPopup ? isBattery(top()) : isBattery(selectedObj)
    if (showingBattery)
        newPopup = false
    removeBatteryElsFromStack()
    return showingBattery ? 0 : 1
}

// Removes the NOK acknowledgements from mystack (the stack when omitted), in place.
function removeNokAckPopups(mystack) {
    var list = mystack === undefined ? stack : mystack
    var n = 0
    for (var i = list.length - 1; i >= 0; --i) {
        if (!isBattery(list[i]) && list[i].popupType === popupTypeNokAck) {
            list.splice(i, 1)
            ++n
        }
    }
    return n
}

// A close from the host: plain messages and battery elements go, and so do the messages of
// quittedCode; then the next popup is shown, or the popup screen is left.
function closeNonSysFaults(quittedCode) {
    stack = stack.filter(function (el) {
        return !isBattery(el) && (hasValue(el.code) || hasValue(el.fclass)) && el.code !== quittedCode
    })
    newPopup = false
    checkStack(false)
}

// Shows the next popup; closeCurrent (default true) first removes the one on display.
function checkStack(closeCurrent) {
    if (closeCurrent === undefined)
        closeCurrent = true
    if (closeCurrent && newPopup) {
        stack.pop()
        newPopup = false
    }
    if (stack.length === 0) {
        selectedObj = null
        newPopup = false
        root.leavePopupScreen()
        return
    }
    var el = stack.pop()
    if (isBattery(el)) {
        stack.push(el)
        newPopup = true
        selectedObj = el
        root.screen.setBatteryStatus2(el)
        return
    }
    // Back from the stack: again the top, and a countdown of 2 seconds instead of its first.
    var back = { header: el.header, text: el.text, timer: el.timer > 1 ? 2 : 0, waitForAck: el.waitForAck,
                 code: el.code, fclass: el.fclass, popupType: el.popupType }
    stack.push(back)
    newPopup = true
    selectedObj = back
    root.screen.popupString2(back.header, back.text, back.timer, back.waitForAck, back.code, back.fclass,
                             root.cfg, back.popupType)
}
