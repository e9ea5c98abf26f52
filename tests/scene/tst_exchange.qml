import QtQuick
import QtTest

// The exchange screen on the real scene.
SceneTestCase {
    name: "Exchange"

    function isTextColour(image, x, y, dark) {
        var v = dark ? 255 : 0
        return Math.abs(image.red(x, y) - v) < 60 && Math.abs(image.green(x, y) - v) < 60
                && Math.abs(image.blue(x, y) - v) < 60
    }

    // The reason the scripts give, shown after "... failed" in red; a success in the text colour.
    function test_outcome_data() {
        return [
            { tag: "export finished", op: 'export', code: 0, msg: "", text: "Export finished", red: false },
            { tag: "export, no card", op: 'export', code: 1, msg: "  No SD card \n", text: "Export failed<br>No SD card", red: true },
            { tag: "export, unknown reason", op: 'export', code: 6, msg: "SD card not writable",
              text: "Export failed<br>System error", red: true },
            { tag: "export, an import reason", op: 'export', code: 6, msg: "SD card not mounted",
              text: "Export failed<br>System error", red: true },
            { tag: "import finished", op: 'import', code: 0, msg: "imported", text: "Import finished<br>Rebooting", red: false },
            { tag: "import, not mounted", op: 'import', code: 3, msg: "SD card not mounted",
              text: "Import failed<br>SD card not mounted", red: true, theme: 'black' },
            { tag: "import, archives", op: 'import', code: 7, msg: "No or more than one *.zkcfg file found in /mnt/mmc/x",
              text: "Import failed<br>No or more than one *.zkcfg file found", red: true },
            { tag: "import, script missing", op: 'import', code: 127, msg: "Importer not found",
              text: "Import failed<br>Importer not found", red: true },
            { tag: "import, empty reason", op: 'import', code: 126, msg: "", text: "Import failed<br>System error", red: true }
        ]
    }

    function test_outcome(data) {
        var theme = data.theme === undefined ? 'blue' : data.theme
        startScene(deployedConfig({ theme: theme }))
        scene.gotoState('mainmenu')
        scene.gotoState('exchange')
        var screen = scene.screen
        compare(screen.state, 'select')
        compare(barStrings(), ['', "Select", '@down'])
        if (data.op === 'export')
            keyClick(Qt.Key_Right)
        keyClick(Qt.Key_A)
        compare(screen.state, data.op)
        compare(callsTo(data.op + "Configuration").length, 1)
        compare(findChild(screen, "waitText").text, data.op === 'export' ? "Exporting Configuration" : "Importing Configuration")
        compare(barStrings(), ['', '', ''])
        keyClick(Qt.Key_A)
        keyClick(Qt.Key_Right)
        compare(screen.state, data.op, "the keys wait with the screen")
        compare(barStrings(), ['', '', ''])

        if (data.op === 'export')
            cMainWindow.exportFinished(data.code, data.msg)
        else
            cMainWindow.importFinished(data.code, data.msg)
        compare(screen.state, 'opfinished')
        compare(screen.resultText, data.text)
        compare(barStrings(), ['', "OK", ''])
        var wait = findChild(screen, "waitText")
        compare(wait.color, Qt.color(data.red ? '#ff0000' : (theme === 'black' ? '#ffffff' : '#000000')))
        var image = grab("exchange-" + data.tag.replace(/[ ,]+/g, "-") + ".png")
        var red = countPixels(image, 0, 30 + wait.y, 240, 30 + wait.y + wait.height, isRed)
        verify(data.red ? red > 40 : red === 0, "red text: " + red)
        keyClick(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        compare(callsTo("exportConfiguration").length + callsTo("importConfiguration").length, 1)
    }

    function test_backToWhereItWasOpened() {
        startScene(deployedConfig({ theme: 'black' }))
        scene.gotoState('info')
        scene.gotoState('exchange')
        // a popup that came and went does not make the screen its own way back
        scene.popupString("Info", "Message", 0, 0, "", "")
        keyClick(Qt.Key_A)
        var list = scene.screen.list
        compare(list.count, 3)
        keyClick(Qt.Key_Right)
        keyClick(Qt.Key_Right)
        compare(barStrings(), ['@up', "Select", ''])
        compare(barDrawn(grab("exchange-select-black.png")), [true, true, false])
        keyClick(Qt.Key_A)
        compare(scene.state, 'info')
        compare(callsTo("exportConfiguration").length + callsTo("importConfiguration").length, 0)
    }
}
