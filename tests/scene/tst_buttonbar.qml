import QtQuick
import QtTest

SceneTestCase {
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

    // '@' names an icon, anything else is a text; what the operator sees on each key.
    function test_iconAndText() {
        bar.setButtons('@up', 'Menu', '')
        var iconLeft = part("iconLeft")
        verify(iconLeft.visible && !part("textLeft").visible)
        verify(part("textMiddle").visible && !part("iconMiddle").visible)
        verify(!part("iconRight").visible)
        compare(barStrings(), ['@up', 'Menu', ''])
        tryCompare(iconLeft, "status", Image.Ready)
        var image = grab("bar_up_menu.png")
        verify(countPixels(image, 0, 290, 65, 320, isWhite) > 20, "up icon drawn")
        verify(countPixels(image, 65, 290, 175, 320, isWhite) > 20, "Menu drawn")
        compare(countPixels(image, 175, 290, 240, 320, isWhite), 0, "nothing on the right")

        bar.setButtons('', '@scan', '')
        verify(!part("iconLeft").visible)
        compare(part("iconMiddle").source, "image://pics/icon_scan_middle.png")
        verify(part("iconMiddle").visible && !part("textMiddle").visible)
        image = grab("bar_scan_middle.png")
        verify(countPixels(image, 105, 290, 170, 320, isWhite) > 20, "scan icon drawn")
        compare(countPixels(image, 0, 290, 100, 320, isWhite), 0)
        bar.setButtons('@scan', 'Menu', '@scan')
        compare(part("iconLeft").source, "image://pics/icon_scan_left.png")
        compare(part("iconRight").source, "image://pics/icon_scan_right.png")

        // the root's own setter draws without recording the strings
        bar.setButtons('', 'OK', '')
        scene.setButtonBarState('@up', 'Next', '@down')
        compare(part("textMiddle").text, "Next")
        verify(part("iconLeft").visible)
        compare(barStrings(), ['', 'OK', ''], "not recorded")
    }

    function test_pressedOpacity() {
        bar.setButtons('@up', 'Menu', '@down')
        bar.setPressed(false, true, false)
        compare(part("textMiddle").opacity, 0.5)
        compare(part("iconLeft").opacity, 1)
        var image = grab("bar_middle_pressed.png")
        compare(countPixels(image, 65, 290, 175, 320, isWhite), 0, "a pressed text is dimmed")
        bar.setPressed(true, false, true)
        compare([part("iconLeft").opacity, part("textMiddle").opacity, part("iconRight").opacity], [0.5, 1, 0.5])
        bar.setPressed(false, false, false)
    }

    // Key texts in the normal and the key-bit font; long PLC names shrink and are elided
    // within their own part of the bar, never over the next key's text.
    function test_keyBitFontSize() {
        bar.setButtons('L1', 'ManOp', 'n.a')
        compare(part("textMiddle").font.pixelSize, 20)
        var normal = part("textMiddle").contentHeight
        bar.setButtonsFont(true)
        compare([part("textLeft").font.pixelSize, part("textMiddle").font.pixelSize, part("textRight").font.pixelSize],
                [15, 15, 15])
        verify(part("textMiddle").contentHeight < normal)

        var name = "Werkst\u00fcckfreigabe Station 12 links"
        for (var small = 0; small < 2; ++small) {
            bar.setButtonsFont(small === 1)
            bar.setButtons(name, name, name)
            compare(barDrawn(grab("bar_long_names_" + small + ".png")), [true, true, true])
            compare(textsThatDoNotFit(bar), [])
            var spans = ["textLeft", "textMiddle", "textRight"].map(function (n) {
                verify(part(n).truncated, n + " elided")
                verify(part(n).fontInfo.pixelSize >= 12, n + " legible")
                return drawnSpan(part(n))
            })
            verify(spans[0][1] <= spans[1][0] && spans[1][1] <= spans[2][0], JSON.stringify(spans))
        }
    }

    // In key-bit mode the bar keeps the key texts; the screen's wish is kept for later.
    function test_keyBitModeAndRestore() {
        scene.trySetButtons('@up', 'Select', '@down')
        compare(barStrings(), ['@up', 'Select', '@down'])
        scene.bmsKeyMode = true
        scene.trySetButtons('', 'Back', '')
        compare(part("textMiddle").text, "Select", "in key-bit mode the bar stays")
        compare([scene.btnLeftStr, scene.btnMiddleStr, scene.btnRightStr], ['', 'Back', ''])
        scene.bmsKeyMode = false

        bar.setButtons('@up', 'Select', '')
        scene.saveButtons()
        bar.setButtons('A', 'B', 'C')
        scene.restoreButtons()
        compare(barStrings(), ['@up', 'Select', ''])
        verify(part("iconLeft").visible)
        compare(bar.state, 'Visible')
    }
}
