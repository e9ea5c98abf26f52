import QtQuick
import QtTest

// The program editor on the real scene.
SceneTestCase {
    name: "Program"

    // Slot, speed, target and value, then the summary; confirming writes the program.
    function test_programEditor() {
        startScene()
        cMainWindow.prgList = [{ slot: "3", name: "Tight", unit: "0" }, { slot: "5", name: "M6", unit: "1" }]
        scene.gotoState('mainmenu')
        scene.gotoState('program')
        var screen = scene.screen
        compare(findChild(screen, "guiViewTitleText").text, "Program select")
        compare(screen.list.getValue().name, "3: Tight")
        compare(barStrings(), ['@up', 'Next', '@down'])
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Left)
        compare(barStrings(), ['@up', 'Next', '@down'], "the bar stays until the summary")
        keyClick(Qt.Key_A)

        compare(screen.state, 'speed')
        compare(findChild(screen, "guiViewTitleText").text, "Speed")
        compare(findChild(screen, "unitText").text, "rpm")
        compare(screen.valueInput.getValue(), 100)
        for (var i = 0; i < 200; ++i)
            keyClick(Qt.Key_Right)
        compare(screen.valueInput.getValue(), 300)
        keyClick(Qt.Key_A)

        compare(screen.state, 'target')
        compare(screen.list.count, 3)
        compare(screen.list.getValue().name, "Torque")
        keyClick(Qt.Key_A)
        compare(screen.state, 'torque')
        compare(findChild(screen, "unitText").text, "Nm")
        compare(screen.valueInput.getValue(), 10)
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_A)

        compare(screen.state, 'summary')
        compare(findChild(screen, "guiViewTitleText").text, "Summary")
        compare(findChild(screen, "summaryText").text, "Slot: 3\nSpeed: 300 rpm\nTorque: 12 Nm")
        compare(barStrings(), ['@back', "Confirm", ''])
        scene.setTheme('black')
        var image = grab("program-summary-black.png")
        verify(countPixels(image, 5, 85, 230, 180, isWhite) > 100, "the summary, light on the black theme's grey")
        compare([image.red(230, 200), image.green(230, 200), image.blue(230, 200)], [0x58, 0x58, 0x58])
        compare(barDrawn(image), [true, true, false])
        compare(callsTo("writeProgram").length, 0)
        keyClick(Qt.Key_A)
        compare(callsTo("writeProgram").length, 1)
        compare(callsTo("writeProgram")[0].args, [3, 300, 'torque', 12])
        compare(scene.state, 'mainmenu')
    }

    // The wheels wrap around their ranges; left on the summary leaves without writing.
    function test_wheels_data() {
        return [
            { tag: "torque below 0, German", target: 0, start: 10, key: Qt.Key_Left, presses: 11, value: 50, unit: "Nm",
              language: 'de' },
            { tag: "torque above 50", target: 0, start: 10, key: Qt.Key_Right, presses: 41, value: 0, unit: "Nm" },
            { tag: "angle, German", target: 1, start: 360, key: Qt.Key_Left, presses: 361, value: 2000, unit: "˚",
              language: 'de' },
            { tag: "time", target: 2, start: 5, key: Qt.Key_Right, presses: 116, value: 0, unit: "s" }
        ]
    }

    function test_wheels(data) {
        startScene(deployedConfig({ language: data.language === undefined ? 'en' : data.language }))
        cMainWindow.prgList = [{ slot: "7", name: "P7", unit: "1" }]
        scene.gotoState('program')
        var screen = scene.screen
        keyClick(Qt.Key_A)
        keyClick(Qt.Key_Left)
        compare(screen.valueInput.getValue(), 99)
        keyClick(Qt.Key_A)
        for (var i = 0; i < data.target; ++i)
            keyClick(Qt.Key_Right)
        keyClick(Qt.Key_A)
        compare(screen.valueInput.getValue(), data.start)
        compare(findChild(screen, "unitText").text, data.unit)
        for (i = 0; i < data.presses; ++i)
            keyClick(data.key)
        compare(screen.valueInput.getValue(), data.value)
        keyClick(Qt.Key_A)
        verify(findChild(screen, "summaryText").text.indexOf(": " + data.value + " " + data.unit) > 0)
        compare(textsThatDoNotFit(scene), [], "the summary fits")
        keyClick(Qt.Key_Left)
        compare(scene.state, 'mainmenu')
        compare(callsTo("writeProgram").length, 0)
    }
}
