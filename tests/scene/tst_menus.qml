import QtQuick
import QtTest

// The main menu and the action screens on the real scene.
SceneTestCase {
    name: "Menus"

    function menuConfig(entries) {
        var cfg = deployedConfig()
        cfg.view.MainMenu.entries = entries
        return cfg
    }

    function isGrey(image, x, y) {
        return Math.abs(image.red(x, y) - 0x99) < 20 && Math.abs(image.green(x, y) - 0x99) < 20
                && Math.abs(image.blue(x, y) - 0x99) < 20
    }

    function isDark(image, x, y) {
        return image.red(x, y) < 70 && image.green(x, y) < 70 && image.blue(x, y) < 70
    }

    function rowPixels(image, row, test) {
        var top = 30 + 52 + 52 * row
        return countPixels(image, 10, top + 8, 200, top + 44, test)
    }

    // Program selection not allowed; the test view, an inactive entry and entries naming no
    // screen left out, the latter logged once.
    function test_menuEntries() {
        startScene(menuConfig([{ state: 'prgselect' }, { state: 'testview' },
                               { state: 'info', active: false }, { state: 'nosuchscreen' }, { state: '' }]))
        cMainWindow.prgSelect = 0
        scene.gotoState('mainmenu')
        settle()
        var list = part("menuList")
        compare(rowTexts(list), ["Program selection", "Back"])
        scene.updateOperationMode(0, 0, 0)
        compare(loggedErrors().filter(function (e) { return e.indexOf("nosuchscreen") >= 0 }).length, 1)
        wait(50)
        var image = grab("mainmenu-disabled.png")
        verify(rowPixels(image, 0, isGrey) > 30, "grey program entry")
        compare(rowPixels(image, 0, isDark), 0, "no normal text in the grey entry")
        verify(rowPixels(image, 1, isDark) > 30, "Back in the normal colour")

        // the grey entry does nothing
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        // Back returns to where the menu was opened from, also after a popup came and went
        scene.popupString("Info", "Message", 0, 0, "", "")
        keyClick(Qt.Key_A)
        list = part("menuList")
        keyClick(Qt.Key_Right)
        compare(list.getValue().name, "Back")
        keyClick(Qt.Key_A)
        compare(scene.state, 'actualValues')
    }

    function test_menuEnabledEntries() {
        startScene(menuConfig([{ state: 'prgselect', active: true }, { state: 'jobselect' },
                               { state: 'info' }, { state: 'operationmode' }, { state: 'language' }]))
        cMainWindow.prgSelect = 1
        cMainWindow.jobSelect = 0
        scene.gotoState('mainmenu')
        var list = part("menuList")
        compare(rowTexts(list), ["Program selection", "Job Select", "System information", "OperationMode",
                                 "Language selection", "Back"])
        compare(list.model.get(0).itmEnabled, true)
        compare(list.model.get(1).itmEnabled, false)
        verify(list.scrollBarVisible, "six entries")

        // the operation mode changes what is allowed: the menu is rebuilt
        scene.updateOperationMode(2, 0, 1)
        list = part("menuList")
        compare(list.model.get(0).itmEnabled, false)
        compare(list.model.get(1).itmEnabled, true)
        compare(list.getIdx(), 0)

        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_A)
        compare(scene.state, 'jobselect')
    }

    // One move per press on the menu, however long the key is held; a key that is sent as a
    // bit only sets the latch.
    function test_menuOneMovePerPress() {
        startScene(menuConfig([{ state: 'info' }, { state: 'language' }, { state: 'wlan' }, { state: 'leave' }]))
        scene.gotoState('mainmenu')
        var list = part("menuList")
        scene.block_Right_none_bms_key_events = true
        keyPress(Qt.Key_Right)
        compare(list.getIdx(), 0)
        verify(scene.changeView)
        keyRelease(Qt.Key_Right)
        scene.block_Right_none_bms_key_events = false
        keyPress(Qt.Key_Right)
        wait(50)
        keyPress(Qt.Key_Right)
        wait(50)
        keyPress(Qt.Key_Right)
        compare(list.getIdx(), 1)
        keyRelease(Qt.Key_Right)
        keyPress(Qt.Key_Right)
        keyRelease(Qt.Key_Right)
        compare(list.getIdx(), 2)
        keyClick(Qt.Key_Left)
        compare(list.getIdx(), 1)
    }

    // Without manual operation allowed both modes are grey and do nothing; automatic mode with
    // manual operation allowed: "Manual" offered, "Automatic" grey.
    function test_operationMode() {
        startScene()
        scene.gotoState('operationmode')
        wait(50)
        var image = grab("operationmode-none.png")
        verify(rowPixels(image, 0, isGrey) > 30 && rowPixels(image, 0, isDark) === 0, "Automatic grey")
        verify(rowPixels(image, 1, isGrey) > 30 && rowPixels(image, 1, isDark) === 0, "Manual grey")
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_A)
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_A)
        compare(callsTo("setOperationMode").length, 0)

        startScene()
        scene.checkAllowedModes('showmanop', true)
        scene.updateOperationMode(0, 1, 1)
        scene.gotoState('mainmenu')
        scene.gotoState('operationmode')
        settle()
        var list = part("modeList")
        compare(rowTexts(list), ["Automatic", "Manual", "Back"])
        compare(list.getValue().name, "Back", "Back selected at first")
        wait(50)
        image = grab("operationmode-auto.png")
        verify(rowPixels(image, 0, isGrey) > 30, "Automatic grey")
        compare(rowPixels(image, 0, isDark), 0, "no normal text in Automatic")
        verify(rowPixels(image, 1, isDark) > 30, "Manual normal")

        keyClick(Qt.Key_Left)
        compare(list.getValue().name, "Manual")
        keyClick(Qt.Key_A)
        compare(callsTo("setOperationMode").length, 1)
        compare(callsTo("setOperationMode")[0].args, [2, 0, 1])
        compare(scene.state, 'operationmode', "the screen stays")

        // the host confirms manual operation: the colours follow at once
        scene.updateOperationMode(2, 1, 1)
        wait(50)
        image = grab("operationmode-manual.png")
        verify(rowPixels(image, 0, isDark) > 30, "Automatic offered")
        verify(rowPixels(image, 1, isGrey) > 30 && rowPixels(image, 1, isDark) === 0, "Manual grey")
        keyClick(Qt.Key_A)
        compare(callsTo("setOperationMode").length, 1, "Manual is no longer offered")
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_A)
        compare(callsTo("setOperationMode")[1].args, [2, 0, 0])

        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
    }

    // The action screens: an action and Back, Back selected at first; Back leaves to the menu
    // (not to where the screen was opened from), the action acts and leaves, or does nothing.
    function test_actionScreen_data() {
        return [
            { tag: "job", rows: ["Abort", "Back"], theme: 'blue', aborts: true },
            { tag: "idcodeassign", rows: ["Scanner", "Back"], theme: 'black', aborts: false }
        ]
    }

    function test_actionScreen(data) {
        startScene(deployedConfig({ theme: data.theme }))
        scene.gotoState(data.tag)
        settle()
        var list = part("actionList")
        compare(rowTexts(list), data.rows)
        compare(list.getValue().name, "Back")
        wait(50)
        var image = grab(data.tag + "-" + data.theme + ".png")
        // rows at 82 (the action), 134 (Back) and 186 (empty)
        verify(!Qt.colorEqual(image.pixel(225, 138), image.pixel(225, 190)), "Back highlighted")
        verify(Qt.colorEqual(image.pixel(225, 86), image.pixel(225, 190)), "the action not")
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        compare(callsTo("jobabort").length, 0)

        scene.gotoState(data.tag)
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_A)
        compare(callsTo("jobabort").length, data.aborts ? 1 : 0)
        compare(scene.state, data.aborts ? 'mainmenu' : data.tag)
    }
}
