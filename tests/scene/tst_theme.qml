import QtQuick
import QtTest

SceneTestCase {
    id: tc
    name: "Theme"

    function test_frameColoursBeforeTheme() {
        var component = Qt.createComponent("qrc:/qml/GUIView.qml")
        var frame = component.createObject(tc)
        compare(frame.guiView_get_text_color(), '#000000')
        compare(frame.guiView_get_bg_color_not_selected(), '#d1d1d1')
        compare(frame.guiView_get_bg_color_disabled_not_selected(), '#999999')
        compare(frame.guiView_get_bg_color_disabled_selected(), '#d1d1d1')
        compare(frame.guiView_get_bg_color_connected_selected(), '#66ff33')
        compare(frame.okStatusDisplayColor, '#66ff33')
        compare(frame.nokStatusDisplayColor, '#ff0000')
        frame.guiView_setTheme('blue')
        compare(frame.guiView_get_bg_color_disabled_not_selected(), '#717171')
        compare(frame.guiView_get_deactivated_service_icon(), "/pics/LED_Off2.png")
        frame.guiView_setTheme('black')
        compare(frame.guiView_get_text_color(), '#ffffff')
        compare(frame.guiView_get_body_color(), '#585858')
        compare(frame.guiView_get_bg_color_not_selected(), '#000000')
        compare(frame.guiView_get_bg_color_disabled_selected(), '#000000')
        compare(frame.guiView_get_bg_color_disabled_not_selected(), '#000000')
        compare(frame.guiView_get_bg_color_not_connected_not_selected(), '#ff0000')
        compare(frame.guiView_get_deactivated_service_icon(), "/pics/LED_Off2_light.png")
        frame.destroy()
    }

    function test_switchTheme() {
        startScene()
        scene.gotoState('setdatetime')
        var image = grab("theme_blue_setdatetime.png")
        verify(isWhite(image, 5, 40), "white title strip")
        compare([image.red(230, 200), image.green(230, 200), image.blue(230, 200)], [0xec, 0xec, 0xec])
        verify(countPixels(image, 0, 30, 240, 82, function (im, x, y) { return im.red(x, y) < 40 }) > 50,
               "black title text")

        scene.setTheme('black')
        compare(scene.theme, 'black')
        compare(part("header").theme, 'black')
        compare(part("buttonBar").theme, 'black')
        image = grab("theme_black_setdatetime.png")
        compare([image.red(5, 40), image.green(5, 40), image.blue(5, 40)], [0, 0, 0])
        compare([image.red(230, 200), image.green(230, 200), image.blue(230, 200)], [0x58, 0x58, 0x58])
        verify(countPixels(image, 0, 30, 240, 82, isWhite) > 50, "white title text")

        // a screen created later takes the theme of the scene
        scene.gotoState('leave')
        compare(scene.screen.textColor, '#ffffff')
        compare(scene.screen.bodyColor, '#585858')
    }
}
