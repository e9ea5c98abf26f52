import QtQuick
import QtTest

// The popup stack with the call sequences the tool produces, the popup screen's keys and
// bar, the job display and the laser warning.
SceneTestCase {
    name: "Popups"

    function popup() {
        compare(scene.state, 'popupgui')
        return scene.screen
    }

    function body() {
        return findChild(scene.screen, "popupBody").text
    }

    function header() {
        return findChild(scene.screen, "popupHeader").text
    }

    function tick(times) {
        var timer = findChild(scene.screen, "popupCountdown")
        for (var i = 0; i < times; ++i)
            timer.triggered()
    }

    // what the system service's "sysfault" makes of a fault
    function fault(code, fclass, text) {
        scene.popupString("Sys Fault", text, 0, 0, code, fclass)
    }

    function test_faultDuringLowBattery() {
        startScene()
        scene.batteryStatus(5)
        compare(popup().state, 'lowbattery')
        compare(callsTo("akkuNotReady").length, 1)
        compare(barStrings(), ['', "OK", ''])
        fault(17, 1, "Motor temperature")
        compare(popup().state, 'lowbattery', "the battery warning stays in front")
        compare(scene.getStackLength(), 2)
        scene.closepopupString(-1)
        compare(popup().state, 'lowbattery', "a host's close waits behind the battery warning")

        keyClick(Qt.Key_A)
        compare(callsTo("setAkkuReady").length, 1)
        compare(popup().state, 'info')
        compare(header(), "Sys Fault")
        compare(body(), "Code: 17\nClass: 1\n\nMotor temperature")
        compare(scene.getStackLength(), 1)
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')
        compare(scene.getStackLength(), 0)
        compare(callsTo("setGuiReady").length, 0)
    }

    // One NOK acknowledgement at a time, waiting behind a fault; a configuration without NOK
    // acknowledgement drops a shown one and one waiting behind a fault, and opens none.
    function test_nokAcknowledgement() {
        var cfg = deployedConfig({ shownokackpopup: true })
        function configure(nokAck) {
            cfg.global.shownokackpopup = nokAck
            cMainWindow.cfg = JSON.stringify(cfg)
            scene.loadCfg()
        }
        startScene(cfg)
        scene.checkIfNokAckPopupToShow(5)
        scene.checkIfNokAckPopupToShow(5)
        compare(callsTo("disableScrewdriver").length, 2)
        compare(popup().state, 'nokackresult')
        compare([header(), body()], ["NOK Result", "Press OK to acknowledge"])
        compare(scene.getStackLength(), 1, "one NOK acknowledgement at a time")
        keyClick(Qt.Key_A)
        compare(callsTo("setGuiReady").length, 1)
        compare(callsTo("addActivityEntryNokAck").length, 1)
        compare(scene.nokAckPopUpOpened, false)
        compare(scene.state, 'actualValues')

        cMainWindow.calls = []
        scene.gotoState('info')
        fault(42, 1, "Angle sensor")
        scene.checkIfNokAckPopupToShow(5)
        compare(popup().state, 'info', "the fault stays on display")
        compare(scene.getCurrentStackElement().code, 42)
        keyClick(Qt.Key_A)
        compare(callsTo("setGuiReady").length, 0, "closing the fault does not make the tool ready")
        compare(popup().state, 'nokackresult')
        keyClick(Qt.Key_A)
        compare(callsTo("setGuiReady").length, 1)
        compare(scene.state, 'info')

        cMainWindow.calls = []
        scene.gotoState('actualValues')
        scene.checkIfNokAckPopupToShow(5)
        configure(false)
        compare(callsTo("setGuiReady").length, 1)
        compare(scene.state, 'actualValues')
        configure(true)
        fault(9, 1, "Fault")
        scene.checkIfNokAckPopupToShow(5)
        configure(false)
        compare(callsTo("setGuiReady").length, 2)
        compare(scene.getStackLength(), 1)
        compare(popup().state, 'info')

        keyClick(Qt.Key_A)
        cMainWindow.calls = []
        scene.checkIfNokAckPopupToShow(5)
        compare(scene.state, 'actualValues')
        compare(callsTo("disableScrewdriver").length, 0)
    }

    function test_sixteenthPopup() {
        startScene()
        for (var i = 1; i <= 16; ++i)
            scene.popupString("Message", "number " + i, 0, 0, "", "")
        compare(scene.getStackLength(), 15)
        compare(loggedErrors(), ["Stack has grown to more than 15 elements. Was: 16"])
        for (i = 16; i >= 2; --i) {
            compare(body(), "number " + i)
            keyClick(Qt.Key_A)
        }
        compare(scene.state, 'actualValues', "the oldest was dropped")
    }

    function test_countdownPushedBackUnderNewerPopup() {
        startScene()
        scene.popupString("Wait", "Cooling down", 10, 0, "", "")
        compare(barStrings(), ['', "10s", ''])
        keyClick(Qt.Key_A)
        compare(body(), "Cooling down", "no close before the countdown ends")
        tick(1)
        compare(barStrings(), ['', "9s", ''])

        scene.popupString("Info", "Newer", 0, 0, "", "")
        compare(barStrings(), ['', "OK", ''])
        keyClick(Qt.Key_A)
        compare(body(), "Cooling down")
        compare(barStrings(), ['', "2s", ''], "back from the stack with 2 seconds")
        keyClick(Qt.Key_A)
        compare(body(), "Cooling down")
        tick(2)
        compare(barStrings(), ['', "OK", ''])
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')
    }

    function test_acknowledgeConfiguration() {
        startScene(deployedConfig({ acknowledge: true }))
        fault(17, 3, "Overcurrent")
        compare(barStrings(), ["Ack", "OK", ''])
        keyClick(Qt.Key_Left)
        compare(callsTo("sendAck").length, 1)
        compare(body(), "Code: 17\nClass: 3\n\nOvercurrent", "Ack leaves the popup to the host")
        // a countdown message over the fault acknowledges nothing when its countdown ends
        scene.popupString("Wait", "Cooling down", 2, 0, "", "")
        tick(2)
        compare(barStrings(), ['', "OK", ''])
        keyClick(Qt.Key_Left)
        compare(callsTo("sendAck").length, 1)
        keyClick(Qt.Key_A)
        compare(barStrings(), ["Ack", "OK", ''], "the fault's own popup offers Ack again")
        fault(18, 1, "Undervoltage")
        compare(barStrings(), ['', "OK", ''])
        keyClick(Qt.Key_Left)
        compare(callsTo("sendAck").length, 1)
        scene.popupString("Note", "plain", 0, 0, "", "")
        compare(barStrings(), ['', "OK", ''], "a plain message never offers Ack")

        // closes from the host: -1 takes plain messages, a code its fault, 403 nothing
        scene.closepopupString(403)
        compare(scene.getStackLength(), 3)
        scene.closepopupString(-1)
        compare(scene.getStackLength(), 2)
        compare(body(), "Code: 18\nClass: 1\n\nUndervoltage")
        scene.closepopupString(18)
        compare(body(), "Code: 17\nClass: 3\n\nOvercurrent")
        compare(scene.removeSysfaultFromStack(17).code, 17)
        compare(scene.removeSysfaultFromStack(17), null)
    }

    function test_batteryStates() {
        startScene()
        scene.gotoState('info')
        scene.batteryStatus(4)
        scene.batteryStatus(6)
        scene.batteryStatus(-1)
        compare(scene.state, 'info')
        scene.batteryStatus(3)
        compare(scene.state, 'info', "good battery without a warning: straight back")

        // the usual road: low, too low, then critical; only the last shows the counter
        scene.batteryStatus(5)
        scene.batteryStatus(2)
        compare(popup().state, 'too_lowbattery')
        verify(!findChild(scene.screen, "popupCounter").visible)
        scene.batteryStatus(1)
        compare(popup().state, 'exhaustivedischarge')
        compare(barStrings(), ['', '', ''])
        verify(findChild(scene.screen, "popupCounter").visible)
        compare(findChild(scene.screen, "popupCounter").text, "20s")
        scene.batteryCountDown(3)
        compare(findChild(scene.screen, "popupCounter").text, "3s")
        keyClick(Qt.Key_A)
        compare(popup().state, 'exhaustivedischarge', "cannot be closed")
        scene.batteryCountDown(0)
        compare(body(), "Game Over!")
        scene.batteryStatus(5)
        scene.batteryStatus(0)
        compare(popup().state, 'nobattery')
        compare(scene.getStackLength(), 1, "one battery element")
        scene.batteryStatus(3)
        compare(scene.state, 'info')
        compare(callsTo("setAkkuReady").length, 1, "a good battery gives the flag back")

        // a message on display stays when the battery is good again
        scene.popupString("Info", "Message", 0, 0, "", "")
        scene.batteryStatus(3)
        compare(popup().state, 'info')
        compare(body(), "Message")
    }

    function test_keyHeldWhenPopupAppears() {
        startScene(deployedConfig({ acknowledge: true }))
        scene.gotoState('info')
        keyPress(Qt.Key_Left)
        fault(17, 3, "Overcurrent")
        keyRelease(Qt.Key_Left)
        compare(callsTo("sendAck").length, 0, "a left key held before the fault does not acknowledge it")
        scene.closepopupString(17)
        keyPress(Qt.Key_A)
        scene.popupString("Info", "Message", 0, 0, "", "")
        keyRelease(Qt.Key_A)
        keyPress(Qt.Key_A)
        scene.popupString("Info", "Second", 0, 0, "", "")
        keyRelease(Qt.Key_A)
        compare(body(), "Second", "a release whose press came before the popup closes nothing")
        keyClick(Qt.Key_A)
        compare(body(), "Message")
    }

    function test_parameterTexts() {
        startScene()
        compare(scene.qsTrRewrite("{{{Prg: [[[5]]] + IDCode: [[[AB{1}]]] received"), "Prg: 5 + IDCode: AB{1} received")
        compare(scene.qsTrRewrite("{{{Scan Failed"), "Scan Failed")
        compare(scene.qsTrRewrite("<b>x</b>", false), "<b>x</b>")
        scene.restartWlanProcessFailedUnspecific(7)
        compare([header(), body()], ["WLAN", "Restart WLAN Error\n\nWLAN could not restart.\nExit-Code is: 7"])
        scene.restartWlanProcessFailed(1)
        compare(scene.getStackLength(), 1, "a new WLAN error replaces the one before")
        compare(body(), "Restart WLAN Error\n\nRestart WLAN already in progress.\nWait until finished")
    }

    function test_jobDisplay() {
        startScene()
        var job = part("jobPopup")
        scene.jobDisplayMsg("{{{Job: [[[3]]] received", "Door left")
        compare(job.state, 'info')
        compare(findChild(job, "jobPopupHeader").text, "Job: 3 received")
        compare(job.focus, true)

        fault(17, 1, "Fault")
        compare(job.state, 'hidden')
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')
        tryCompare(job, "state", 'info')
        compare(findChild(job, "jobPopupBody").text, "Door left")
        keyClick(Qt.Key_Right)
        compare(job.state, 'info', "the right key is not the scan key")
        keyClick(Qt.Key_A)
        compare(job.state, 'hidden')
        compare(scene.state, 'actualValues', "the release that closes it does not open the menu")

        // closed by the tool while a popup covers it: it stays closed
        scene.jobDisplayMsg("Job", "Second")
        scene.popupString("Info", "Message", 0, 0, "", "")
        scene.closejobdisplaymsg(-1)
        keyClick(Qt.Key_A)
        wait(100)
        compare(job.state, 'hidden')
    }

    function test_laserWarning() {
        var cfg = deployedConfig({ laserwarning: true })
        cfg.view.warning.forceread = true
        startScene(cfg)
        compare(scene.state, 'warning')
        compare(barStrings(), ['', '', '@down'])
        var image = grab("warning.png")
        compare([image.red(100, 5), image.green(100, 5), image.blue(100, 5)], [255, 255, 0])
        verify(isWhite(image, 5, 285))
        // the wording from the language files is long
        findChild(scene.screen, "warningText").text = new Array(40).join("Laser radiation, do not stare into the beam. ")
        keyClick(Qt.Key_A)
        compare(scene.state, 'warning', "not before the text is read")
        keyClick(Qt.Key_Right)
        compare(scene.screen.textRead, false)
        for (var i = 0; i < 200 && !scene.screen.textRead; ++i)
            keyClick(Qt.Key_Right)
        compare(barStrings(), ['@up', "OK", ''])
        keyClick(Qt.Key_Left)
        compare(barStrings(), ['@up', "OK", '@down'])
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')
    }

    // What the operator sees, in both themes.
    function test_grabs_data() {
        return [ { tag: "blue", text: "white" }, { tag: "black", text: "black" } ]
    }

    function test_grabs(data) {
        startScene(deployedConfig({ theme: data.tag, acknowledge: true }))
        fault(17, 3, "Overcurrent in the motor")
        var image = grab("popup-fault-" + data.tag + ".png")
        var textPixels = data.tag === 'blue' ? isWhite : function (im, x, y) { return im.red(x, y) < 60 && im.green(x, y) < 60 }
        verify(countPixels(image, 20, 20, 220, 60, textPixels) > 100, "header text")
        verify(countPixels(image, 12, 80, 228, 270, textPixels) > 300, "body text")
        verify(countPixels(image, 0, 290, 60, 320, isWhite) > 20, "Ack on the left key")

        scene.batteryStatus(5)
        scene.batteryStatus(0)
        image = grab("popup-nobattery-" + data.tag + ".png")
        // inside the battery's outline, which has red parts of its own
        verify(countPixels(image, 90, 208, 160, 238, isRed) > 40, "red counter")

        scene.batteryStatus(3)
        scene.closepopupString(17)
        scene.jobDisplayMsg("Job 3", "Screw 2 of 8")
        image = grab("jobdisplay-" + data.tag + ".png")
        var jobText = data.tag === 'blue' ? function (im, x, y) { return im.red(x, y) < 60 && im.green(x, y) < 60 } : isWhite
        verify(countPixels(image, 20, 95, 220, 130, jobText) > 50, "job header in the theme's text colour")
        verify(countPixels(image, 20, 170, 220, 205, jobText) > 50, "job text in the theme's text colour")
    }
}
