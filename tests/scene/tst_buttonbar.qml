import QtQuick
import QtTest

SceneTestCase {
    id: tc
    name: "ButtonBar"

    property var bar: null

    function init() {
        if (!scene) {
            startScene()
            // a frame keeps its hands off the bar after its creation
            scene.gotoState('info')
        }
        bar = part("buttonBar")
        scene.bmsKeyMode = false
        bar.setButtonsFont(false)
    }

    function cleanup() {
    }

    function cleanupTestCase() {
        stopScene()
    }

    function test_iconAndText() {
        bar.setButtons('@up', 'Menu', '')
        var iconLeft = part("iconLeft")
        verify(iconLeft.visible)
        compare(iconLeft.source, "qrc:/pics/icon_up.png")
        verify(!part("textLeft").visible)
        compare(part("textMiddle").text, "Menu")
        verify(part("textMiddle").visible)
        verify(!part("iconMiddle").visible)
        verify(!part("iconRight").visible)
        compare(part("textRight").text, "")
        compare([bar.btnLeftStr, bar.btnMiddleStr, bar.btnRightStr], ['@up', 'Menu', ''])
        tryCompare(iconLeft, "status", Image.Ready)

        var image = grab("bar_up_menu.png")
        verify(countPixels(image, 0, 290, 65, 320, isWhite) > 20, "up icon drawn")
        verify(countPixels(image, 65, 290, 175, 320, isWhite) > 20, "Menu drawn")
        compare(countPixels(image, 175, 290, 240, 320, isWhite), 0, "nothing on the right")
    }

    function test_scanIcons() {
        bar.setButtons('', '@scan', '')
        verify(!part("iconLeft").visible)
        compare(part("iconMiddle").source, "qrc:/pics/icon_scan_middle.png")
        verify(part("iconMiddle").visible)
        verify(!part("textMiddle").visible)
        var image = grab("bar_scan_middle.png")
        verify(countPixels(image, 105, 290, 170, 320, isWhite) > 20, "scan icon drawn")
        compare(countPixels(image, 0, 290, 100, 320, isWhite), 0)

        bar.setButtons('@scan', 'Menu', '@scan')
        compare(part("iconLeft").source, "qrc:/pics/icon_scan_left.png")
        compare(part("iconRight").source, "qrc:/pics/icon_scan_right.png")
        bar.setButtons('@back', '', '@down')
        compare(part("iconLeft").source, "qrc:/pics/icon_back.png")
        compare(part("iconRight").source, "qrc:/pics/icon_down.png")
        verify(!part("textMiddle").visible || part("textMiddle").text === "")
    }

    function test_withoutState() {
        bar.setButtons('', 'OK', '')
        scene.setButtonBarState('@up', 'Next', '@down')
        compare(part("textMiddle").text, "Next")
        verify(part("iconLeft").visible)
        compare([bar.btnLeftStr, bar.btnMiddleStr, bar.btnRightStr], ['', 'OK', ''], "not recorded")
    }

    function test_pressedOpacity() {
        bar.setButtons('@up', 'Menu', '@down')
        bar.setPressed(false, true, false)
        compare(part("textMiddle").opacity, 0.5)
        compare(part("iconLeft").opacity, 1)
        var image = grab("bar_middle_pressed.png")
        compare(countPixels(image, 65, 290, 175, 320, isWhite), 0, "a pressed text is dimmed")
        bar.setPressed(true, false, true)
        compare(part("iconLeft").opacity, 0.5)
        compare(part("iconRight").opacity, 0.5)
        compare(part("textMiddle").opacity, 1)
        bar.setPressed(false, false, false)
    }

    function test_keyBitFontSize() {
        bar.setButtons('L1', 'ManOp', 'n.a')
        compare(part("textMiddle").font.pixelSize, 20)
        var normal = part("textMiddle").contentHeight
        bar.setButtonsFont(true)
        compare(part("textLeft").font.pixelSize, 15)
        compare(part("textMiddle").font.pixelSize, 15)
        compare(part("textRight").font.pixelSize, 15)
        verify(part("textMiddle").contentHeight < normal)
        grab("bar_keybit_font.png")
        bar.setButtonsFont(false)
        compare(part("textRight").font.pixelSize, 20)
    }

    function test_trySetButtons() {
        scene.trySetButtons('@up', 'Select', '@down')
        compare([bar.btnLeftStr, bar.btnMiddleStr, bar.btnRightStr], ['@up', 'Select', '@down'])
        scene.bmsKeyMode = true
        scene.trySetButtons('', 'Back', '')
        compare(part("textMiddle").text, "Select", "in key-bit mode the bar stays")
        compare([scene.btnLeftStr, scene.btnMiddleStr, scene.btnRightStr], ['', 'Back', ''])
        scene.bmsKeyMode = false
    }

    function test_saveAndRestore() {
        bar.setButtons('@up', 'Select', '')
        scene.saveButtons()
        compare([scene.btnLeftStr, scene.btnMiddleStr, scene.btnRightStr, scene.barState],
                ['@up', 'Select', '', 'Visible'])
        bar.setButtons('A', 'B', 'C')
        scene.restoreButtons()
        compare([bar.btnLeftStr, bar.btnMiddleStr, bar.btnRightStr], ['@up', 'Select', ''])
        verify(part("iconLeft").visible)
        compare(bar.state, 'Visible')
    }

    function test_preSetBtns_data() {
        return [
            { tag: "none", arrows: 0, left: '', right: '' },
            { tag: "down", arrows: 1, left: '', right: '@down' },
            { tag: "up", arrows: 2, left: '@up', right: '' },
            { tag: "both", arrows: 3, left: '@up', right: '@down' }
        ]
    }

    function test_preSetBtns(data) {
        scene.genericListShowArrows = data.arrows
        compare(scene.preSetBtns('Menu'), { leftButton: data.left, middleButton: 'Menu', rightButton: data.right })
    }

    function test_themeImages() {
        scene.setTheme('black')
        compare(part("buttonBarBackground").source, "qrc:/pics/buttonbar_black.png")
        compare(part("headerBackground").source, "qrc:/pics/header_black.png")
        scene.setTheme('blue')
        compare(part("buttonBarBackground").source, "qrc:/pics/buttonbar_blue.png")
        compare(part("headerBackground").source, "qrc:/pics/header_blue.png")
    }
}
