import QtQuick
import QtTest

SceneTestCase {
    name: "Navigation"

    function test_startsOnConfiguredView_data() {
        return [
            { tag: "start view", cfg: deployedConfig(), expected: 'actualValues' },
            { tag: "laser warning", cfg: deployedConfig({ laserwarning: true }), expected: 'warning' },
            { tag: "first setup before the warning", cfg: deployedConfig({ firstsetup: true, laserwarning: true }),
              expected: 'language' },
            { tag: "other start view", cfg: deployedConfig({ startview: 'info' }), expected: 'info' },
            { tag: "unknown start view", cfg: deployedConfig({ startview: 'nosuchscreen' }), expected: 'actualValues' }
        ]
    }

    function test_startsOnConfiguredView(data) {
        startScene(data.cfg)
        compare(scene.state, data.expected)
        compare(scene.lastState, data.expected)
        compare(scene.stateBuffer.length, 0, "the first state is not in the history")
    }

    // actualValues -> mainmenu -> prgselect -> back, and what three entries hold.
    function test_history() {
        startScene()
        scene.gotoState('mainmenu')
        compare(scene.lastState, 'actualValues')
        compare(scene.stateBuffer, ['mainmenu'])
        scene.gotoState('prgselect')
        compare(scene.lastState, 'mainmenu')
        compare(scene.stateBuffer, ['prgselect', 'mainmenu'])

        scene.gotoStatePrevMenu()
        compare(scene.state, 'mainmenu')
        compare(scene.stateBuffer, ['mainmenu', 'prgselect', 'mainmenu'])

        scene.gotoState('info')
        compare(scene.stateBuffer, ['info', 'mainmenu', 'prgselect'], "at most three, the oldest dropped")
        // The walk starts at the oldest entry.
        scene.gotoStatePrevMenu()
        compare(scene.state, 'prgselect')
        compare(scene.stateBuffer, ['prgselect', 'info', 'mainmenu'])
    }

    // Without another state the walk stays; the previous state, popups, a state without a
    // screen and the test mode (without header and bar) leave the history alone.
    function test_historyLeftAlone() {
        startScene()
        scene.gotoState('info')
        scene.gotoStatePrevMenu()
        compare(scene.state, 'info')
        compare(scene.stateBuffer, ['info', 'info'])

        startScene()
        scene.gotoState('info')
        scene.gotoState('leave')
        compare(scene.lastState, 'info')
        scene.gotoPrevState()
        compare(scene.state, 'info')
        compare(scene.stateBuffer, ['leave', 'info'])

        startScene()
        scene.gotoState('mainmenu')
        scene.gotoState('prgselect')
        for (var i = 0; i < 2; ++i) {
            scene.popupString("Info", "Message", 0, 0, "", "")
            keyClick(Qt.Key_A)
        }
        compare([scene.state, scene.lastState], ['prgselect', 'mainmenu'])
        compare(scene.stateBuffer, ['prgselect', 'mainmenu'])
        scene.gotoState('nosuchscreen')
        scene.gotoState('')
        compare(scene.state, 'prgselect')
        verify(scene.screen !== null)
        scene.gotoStatePrevMenu()
        compare(scene.state, 'mainmenu')
        compare(scene.getPopupState(), 'hidden', "no popup outside the popup screen")

        startScene()
        scene.gotoState('info')
        scene.setTestMode(true)
        compare(scene.state, 'testview')
        compare(scene.lastState, 'actualValues')
        compare(scene.stateBuffer, ['info'])
        settle()
        compare(part("header").state, "Invisible")
        compare(part("buttonBar").state, "Invisible")
        scene.setTestMode(false)
        compare(scene.state, 'actualValues')
        compare(scene.stateBuffer, ['info'])
    }

    // The states whose header, bar or frame no other case looks at (the test view has its own,
    // the program editor its title and keys): each loads its screen under the header and above
    // the bar (the game and the warning without the header). Titles and middle keys only where
    // code sets them, not the ones the screens' QML states as they are.
    function test_screens_data() {
        return [
            { tag: "language", named: true }, { tag: "themeselect", named: true }, { tag: "info", named: true },
            { tag: "exchange", named: true }, { tag: "diagnosis", named: true }, { tag: "leave", named: true },
            { tag: "wlan", named: true }, { tag: "picviewer", named: true, middle: "Back" },
            { tag: "setdate", named: true, middle: "Next" }, { tag: "settime", named: true, middle: "Next" },
            { tag: "setdatetime", named: true, title: "Date", middle: "Next" },
            { tag: "resservices", named: true, service: "XML", title: "XML", middle: "Back" },
            { tag: "game", header: "Invisible" }, { tag: "warning", header: "Invisible" }, { tag: "program" }
        ]
    }

    function test_screens(data) {
        startScene()
        if (data.service !== undefined)
            scene.serviceName = data.service
        scene.gotoState(data.tag)
        compare(scene.state, data.tag)
        compare(part("header").state, data.header === undefined ? "Visible" : data.header)
        compare(part("buttonBar").state, "Visible")
        if (!data.named)
            return
        verify(scene.screen !== null, "screen loaded")
        compare(scene.screen.objectName, data.tag)
        if (data.title !== undefined)
            compare(findChild(scene.screen, "guiViewTitleText").text, data.title)
        if (data.middle !== undefined)
            compare(part("buttonBar").btnMiddleStr, data.middle)
    }

    // Where each screen leaves to, and by which key.
    function test_screenGraph_data() {
        var wizard = deployedConfig({ firstsetup: true })
        var laser = deployedConfig({ laserwarning: true, startview: 'nosuchscreen' })
        var wizardToNowhere = deployedConfig({ firstsetup: true })
        wizardToNowhere.wizard.transitions.setdatetime = 'nosuchscreen'
        return [
            { tag: "service details to the service list", path: ['mainmenu', 'diagnosis', 'resservices'],
              key: Qt.Key_A, expected: 'diagnosis' },
            { tag: "date on to time", path: ['mainmenu', 'setdate'], key: Qt.Key_A, clicks: 4, expected: 'settime' },
            { tag: "time on to the menu", path: ['mainmenu', 'setdate', 'settime'], key: Qt.Key_A, clicks: 3,
              expected: 'mainmenu' },
            { tag: "date and time to the menu", path: ['mainmenu', 'setdatetime'], key: Qt.Key_A, clicks: 7,
              expected: 'mainmenu' },
            { tag: "date and time on in the wizard", cfg: wizard, path: ['setdatetime'], key: Qt.Key_A, clicks: 7,
              expected: 'actualValues' },
            { tag: "date and time in a wizard to no screen", cfg: wizardToNowhere, path: ['setdatetime'],
              key: Qt.Key_A, clicks: 7, expected: 'mainmenu' },
            { tag: "game left to the menu", path: ['mainmenu', 'game'], key: Qt.Key_Left, expected: 'mainmenu' },
            { tag: "popup back to the screen before", path: ['info', 'popupgui'], key: Qt.Key_A, expected: 'info' },
            { tag: "warning to an unknown start view", cfg: laser, path: [], key: Qt.Key_A, expected: 'actualValues' }
        ]
    }

    function test_screenGraph(data) {
        startScene(data.cfg)
        for (var i = 0; i < data.path.length; ++i)
            scene.gotoState(data.path[i])
        for (var k = 0; k < (data.clicks === undefined ? 1 : data.clicks); ++k)
            keyClick(data.key)
        compare(scene.state, data.expected)
        verify(scene.screen !== null, "a screen is shown")
    }

    // One press, one action: a held key does not act again, its release frees the latch.
    function test_latch() {
        startScene()
        scene.gotoState('info')
        scene.changeView = true          // a key still held from the screen before
        keyPress(Qt.Key_A)
        compare(scene.state, 'info', "the held key does not act on the new screen")
        keyRelease(Qt.Key_A)

        keyPress(Qt.Key_A)
        compare(scene.state, 'mainmenu', "the release freed the latch")
        scene.state = 'leave'
        keyPress(Qt.Key_A)
        compare(scene.state, 'leave', "latched until the release")
        keyRelease(Qt.Key_A)
        compare(scene.changeView, false)
    }

    // The root draws a pressed key; a press that replaced the screen ends with the screen.
    function test_pressedKeysOnRoot() {
        startScene()
        scene.gotoState('info')
        var bar = part("buttonBar")
        keyPress(Qt.Key_Left)
        compare(bar.alphaLeft, 0.5)
        compare(findChild(bar, "textLeft").opacity, 0.5)
        keyRelease(Qt.Key_Left)
        compare(bar.alphaLeft, 1)
        keyPress(Qt.Key_Right)
        compare(bar.alphaRight, 0.5)
        keyRelease(Qt.Key_Right)
        compare(bar.alphaRight, 1)

        keyPress(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        compare(bar.alphaMiddle, 1)
        keyRelease(Qt.Key_A)
        compare(bar.alphaMiddle, 1)
    }

    // The service key O opens the laser warning outside the history; the warning leaves to the
    // start view. A blocked focus keeps the keys from the screen.
    function test_serviceKeyAndFocusBlock() {
        startScene()
        scene.gotoState('info')
        keyClick(Qt.Key_O)
        compare(scene.state, 'warning')
        compare(scene.lastState, 'actualValues')
        compare(scene.stateBuffer, ['info'])
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')

        scene.gotoState('info')
        scene.blockItemFocus()
        keyClick(Qt.Key_A)
        compare(scene.state, 'info', "the screen gets no keys")
        scene.returnItemFocus()
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
    }

    // Every screen with the tool's data at its longest, in German, in English and in a
    // hostile language whose every text starts with a picture tag: nothing is drawn beyond
    // its place or the display, and translations and peers' texts are shown as plain text
    // (as markup the tag would read a FIFO and block the scene).
    function test_textsOnEveryScreen_data() {
        return [
            { tag: "German", language: 'de', mark: "" },
            { tag: "English, black", language: 'en', theme: 'black', mark: "" },
            { tag: "hostile", language: 'hostile', mark: sceneLanguages.hostileMark }
        ]
    }

    function test_textsOnEveryScreen(data) {
        var mark = data.mark
        var name = mark + "Verschraubung Zylinderkopf M10 Stufe zwei mit Nachziehen"
        var cfg = deployedConfig({ language: data.language, theme: data.theme === undefined ? 'blue' : data.theme })
        startScene(JSON.stringify(cfg))
        // a menu of every state: each shows its display name, none its raw state name
        var states = []
        for (var n = 0; n < scene.states.length; ++n)
            states.push(scene.states[n].name)
        cfg.view.MainMenu.entries = states.map(function (st) { return { state: st } })
        cMainWindow.cfg = JSON.stringify(cfg)
        scene.loadCfg()
        compare(scene.cfg.view.MainMenu.entries.filter(function (e) { return e.name === e.state }), [])
        cMainWindow.prgList = [{ slot: "255", name: name, unit: "1" }, { slot: "3", name: "M6", unit: "1" }]
        cMainWindow.prgNumber = 255
        cMainWindow.jobList = [{ slot: 200, name: name }]
        cMainWindow.services = [mark + "OpenProtocolServiceWithALongName", "XML"]
        cMainWindow.srvFiles = { "XML": JSON.stringify({ data: [{ key: mark + "Connection", val: name }] }) }
        cMainWindow.languages = [{ langCode: "de", name: mark + "Deutsch (Deutschland, Schweiz)", countryCode: "de", filename: "de" }]
        cMainWindow.ssidValue = mark + "Werkhalle-3-Montagelinie-Nord-5GHz"
        cMainWindow.infoValues = { "time": "2024-03-05 09:07:33", "ip": "192.168.100.200", "lanip": "10.100.200.250",
                                   "version": mark + "V2.13.4-rc7+build.20240305", "temperature": "41.6",
                                   "code": mark + "0123456789ABCDEF0123", "avgloadtorque": "123.456" }
        scene.updatePrgnr(255)
        scene.newIdcode(mark + "4711-0815-ABCDEFGHIJKLMNOPQRSTUVWXYZ")
        var bad = []
        var marked = 0
        for (var i = 0; i < states.length; ++i) {
            var st = states[i]
            if (st === 'popupgui')
                continue
            scene.serviceName = "XML"
            scene.gotoState(st)
            if (st === 'game')
                scene.screen.showNumbers(12, 12345, 30)
            if (st === 'testview')
                scene.setTestViewText(1, '#000000', '#ffffff', 16, mark + "Prüfung")
            grab()
            bad = bad.concat(textsThatDoNotFit(scene).map(function (t) { return st + ": " + t }))
            if (mark !== "")
                marked += checkPlain(st)
        }
        // popups and the job display with peers' texts, the battery popups with their own
        scene.gotoState('actualValues')
        scene.jobDisplayMsg(mark + "{{{Job: [[[12]]] received", mark + name)
        grab()
        bad = bad.concat(textsThatDoNotFit(scene).map(function (t) { return "job display: " + t }))
        var popups = [function () { scene.popupString(mark + "Sys Fault", mark + name, 0, 0, 1234, 3) },
                      function () { scene.popupString(mark + "{{{Prg: [[[" + name + "]]] received", mark, 5, 0, "", "") },
                      function () { scene.batteryStatus(5) }, function () { scene.batteryStatus(2) },
                      function () { scene.batteryStatus(0) }]
        for (var k = 0; k < popups.length; ++k) {
            popups[k]()
            grab()
            bad = bad.concat(textsThatDoNotFit(scene).map(function (t) { return "popup " + k + ": " + t }))
            if (mark !== "")
                marked += checkPlain("popup " + k)
        }
        compare(bad, [])
        if (mark !== "")
            verify(marked > 40, "hostile texts shown: " + marked)
        verify(!sceneLanguages.fifoOpened, "no text was read as markup")
    }

    // Every shown text that carries the picture tag is plain text; returns how many there are.
    function checkPlain(where) {
        var texts = shownTexts(scene).filter(function (t) { return t.text.indexOf("<img") >= 0 })
        for (var i = 0; i < texts.length; ++i)
            compare(texts[i].textFormat, Text.PlainText, where + ": " + (texts[i].objectName || texts[i].text))
        return texts.length
    }
}
