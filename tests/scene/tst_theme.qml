import QtQuick
import QtTest

SceneTestCase {
    name: "Theme"

    function test_switchTheme() {
        startScene()
        scene.gotoState('setdatetime')
        var image = grab("theme_blue_setdatetime.png")
        verify(isWhite(image, 5, 40), "white title strip")
        compare([image.red(230, 200), image.green(230, 200), image.blue(230, 200)], [0xec, 0xec, 0xec])
        verify(countPixels(image, 0, 30, 240, 82, function (im, x, y) { return im.red(x, y) < 40 }) > 50,
               "black title text")

        scene.setTheme('black')
        compare(part("header").theme, 'black')
        compare(part("buttonBar").theme, 'black')
        image = grab("theme_black_setdatetime.png")
        compare([image.red(5, 40), image.green(5, 40), image.blue(5, 40)], [0, 0, 0])
        compare([image.red(230, 200), image.green(230, 200), image.blue(230, 200)], [0x58, 0x58, 0x58])
        verify(countPixels(image, 0, 30, 240, 82, isWhite) > 50, "white title text")
        verify(countPixels(image, 0, 290, 240, 320, isWhite) > 20, "bar texts on the black bar")

        // a screen created later takes the theme of the scene
        scene.gotoState('leave')
        compare(scene.screen.textColor, '#ffffff')
        compare(scene.screen.bodyColor, '#585858')
    }
}
