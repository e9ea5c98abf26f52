import QtQuick
import QtTest

// The list components: scroll bar arithmetic, arrows, selection by key and the direct
// selections, alone (ListHarness) and on the real selection screens.
SceneTestCase {
    id: tc
    name: "Lists"

    property var harness: null

    Component {
        id: harnessComponent
        ListHarness {}
    }

    function makeHarness() {
        harness = harnessComponent.createObject(tc)
        verify(harness !== null)
        return harness
    }

    function cleanup() {
        stopScene()
        if (harness) {
            harness.destroy()
            harness = null
        }
    }

    function fill(list, n) {
        list.model.clear()
        for (var i = 0; i < n; ++i)
            list.model.append({ name: "Entry " + i, slot: String(i), barename: "e" + i, connected: true,
                                bgColor: '#66ff33', bgColor_not_selected: '#66ff33', itmEnabled: true })
    }

    function programs(slots) {
        return slots.map(function (s) { return { slot: String(s), name: "Prg" + s, unit: "1" } })
    }

    function jobs(slots) {
        return slots.map(function (s) { return { slot: s, name: "Job" + s } })
    }

    // Holds a key down for n presses (one if not given) and lets it go: each press, like an
    // auto-repeat, comes once the selection screen's timer has opened the latch again.
    function press(key, n) {
        for (var i = 0; i < (n || 1); ++i) {
            tryCompare(scene, "changeView", false)
            keyPress(key)
        }
        keyRelease(key)
    }

    // Four entries fit without a scroll bar; six scroll with a cursor a third smaller that
    // moves only when the window does. select() walks at most once through the list.
    function test_scrollBar() {
        var list = makeHarness().plainList
        fill(list, 4)
        list.reset()
        verify(!list.scrollBarVisible)
        for (var i = 0; i < 5; ++i)
            list.down()
        compare(list.getIdx(), 3)

        fill(list, 6)
        list.reset()
        verify(list.scrollBarVisible)
        fuzzyCompare(list.cursorHeight, 138.67, 0.01)
        // [move, current entry, cursor y, first entry of the window] after each move
        var walk = [["down", 1, 0, 0], ["down", 2, 0, 0], ["down", 3, 0, 0], ["down", 4, 34.67, 1],
                    ["down", 5, 69.33, 2], ["down", 5, 69.33, 2], ["up", 4, 69.33, 2], ["up", 3, 69.33, 2],
                    ["up", 2, 69.33, 2], ["up", 1, 34.67, 1], ["up", 0, 0, 0], ["up", 0, 0, 0]]
        for (i = 0; i < walk.length; ++i) {
            list[walk[i][0]]()
            compare(list.getIdx(), walk[i][1], "move " + i)
            fuzzyCompare(list.cursorY, walk[i][2], 0.01)
            compare(list.minIdx, walk[i][3], "move " + i)
        }

        list.select('slot', 4)
        compare(list.getValue().name, "Entry 4")
        list.select('slot', 'nothing')
        compare(list.getIdx(), 5, "walks at most once through the list")
    }

    function test_arrows_data() {
        return [
            { tag: "empty", n: 0, moves: 0, arrows: 0, bar: ['', 'OK', ''] },
            { tag: "one entry", n: 1, moves: 0, arrows: 1, bar: ['', 'OK', '@down'] },
            { tag: "middle of three", n: 3, moves: 1, arrows: 3, bar: ['@up', 'OK', '@down'] },
            { tag: "last of three", n: 3, moves: 2, arrows: 2, bar: ['@up', 'OK', ''] },
            { tag: "third of six", n: 6, moves: 2, arrows: 3, bar: ['@up', 'OK', '@down'] }
        ]
    }

    function test_arrows(data) {
        var h = makeHarness()
        var list = h.plainList
        fill(list, data.n)
        list.reset()
        for (var i = 0; i < data.moves; ++i)
            list.down()
        list.updateBar()
        compare(h.genericListShowArrows, data.arrows)
        compare(h.bar, data.bar)
        if (data.n > 0) {
            list.updateBar(true)
            compare(h.bar[1], 'Menu', "code-list mode")
        }
    }

    // The connected list: arrows on every row, names aligned behind the arrow, and
    // setCurrentIndex from the top.
    function test_connectedList() {
        var h = makeHarness()
        var list = h.connectedList
        h.plainList.visible = false
        list.visible = true
        list.model.clear()
        var colours = [['#66ff33', '#66ff33'], ['#ff0000', '#ff0000'], ['#d1d1d1', '#717171'],
                       ['#66ff33', '#66ff33'], ['#ff0000', '#ff0000'], ['#66ff33', '#66ff33']]
        for (var i = 0; i < 6; ++i)
            list.model.append({ name: "Service " + i, barename: "s" + i, connected: i % 2 === 0,
                                bgColor: colours[i][0], bgColor_not_selected: colours[i][1] })
        compare(list.getCurrentIndex().index, 0)
        list.setCurrentIndex(4)
        compare(list.getCurrentIndex().name, "Service 4")
        compare(list.minIdx, 1)
        fuzzyCompare(list.cursorY, 34.67, 0.01)
        verify(list.scrollBarVisible)
        compare(h.bar, ['@up', 'OK', '@down'], "one before the last")
        list.down()
        compare(h.bar, ['@up', 'OK', ''], "the last")
        list.up()
        compare(h.bar, ['@up', 'OK', '@down'])
        h.bar = ['x', 'x', 'x']
        list.up()
        compare(list.getIdx(), 3)
        compare(h.bar, ['x', 'x', 'x'], "the bar stays on the rows in between")

        wait(50)
        var image = grabImage(h)
        image.save(grabDir + "/connectedlist.png")
        // entries 2..5 are visible now, each row filled with its entry's colour
        verify(Qt.colorEqual(image.pixel(225, 52 + 5), '#d1d1d1'), "row of entry 2")
        verify(Qt.colorEqual(image.pixel(225, 52 + 52 + 5), '#66ff33'), "row of entry 3")
        verify(isRed(image, 225, 52 + 104 + 5), "red row of a disconnected service")
        verify(countPixels(image, 0, 52 + 40, 230, 52 + 52, function (im, x, y) {
            return Math.abs(im.red(x, y) - 0xa9) < 12 && Math.abs(im.green(x, y) - 0xa9) < 12
                    && Math.abs(im.blue(x, y) - 0xa9) < 12
        }) > 100, "separator line below the row")
        // every row's text in the theme's text colour, the current one and the others alike
        for (i = 2; i < 6; ++i)
            compare(list.listView.itemAtIndex(i).children[0].color, Qt.color('#000000'), "row " + i)
        list.setTheme('black')
        for (i = 2; i < 4; ++i)
            compare(list.listView.itemAtIndex(i).children[0].color, Qt.color('#ffffff'), "row " + i)

        list.setCurrentIndex(-1)
        compare(list.cursorY, 0)
        list.model.clear()
        compare([list.getCurrentIndex().index, list.getCurrentIndex().name], [-1, ""])
    }

    // Direct selection of the program loaded in the tool, and of the job chosen last.
    function test_directSelect_data() {
        return [
            { tag: "program 7 -> 12", slots: [99, 1, 5, 12], loaded: 7, name: "12: Prg12" },
            { tag: "program 99 -> first", slots: [99, 1, 5, 12], loaded: 99, name: "99: Prg99" },
            { tag: "program 0 -> 1", slots: [99, 1, 5, 12], loaded: 0, name: "1: Prg1" },
            { tag: "program none above -> first", slots: [99, 1, 5, 12], loaded: 13, name: "99: Prg99" },
            { tag: "no program loaded", slots: [3, 4], loaded: -88, name: "3: Prg3" },
            { tag: "program exact", slots: [1, 5, 12], loaded: 5, name: "5: Prg5" },
            { tag: "job 4 -> 8", job: true, slots: [1, 3, 8], loaded: 4, name: "8: Job8" },
            { tag: "job 9 -> first", job: true, slots: [1, 3, 8], loaded: 9, name: "1: Job1" },
            { tag: "job 3 -> 3", job: true, slots: [1, 3, 8], loaded: 3, name: "3: Job3" },
            { tag: "job 99 is an ordinary job", job: true, slots: [5, 99], loaded: 99, name: "99: Job99" }
        ]
    }

    function test_directSelect(data) {
        startScene()
        if (data.job) {
            cMainWindow.jobList = jobs(data.slots)
            scene.selectedJob = data.loaded
        } else {
            cMainWindow.prgList = programs(data.slots)
            cMainWindow.prgNumber = data.loaded
        }
        scene.gotoState(data.job ? 'jobselect' : 'prgselect')
        var list = part(data.job ? "jobList" : "prgList")
        compare(list.model.count, data.slots.length)
        compare(list.getValue().name, data.name)
    }

    // Near the end of a long list the window stops at the last four entries.
    function test_programDirectSelectNearEnd() {
        startScene()
        cMainWindow.prgList = programs([1, 2, 3, 4, 5, 6, 7, 8])
        cMainWindow.prgNumber = 8
        scene.gotoState('prgselect')
        settle()
        var list = part("prgList")
        compare([list.getIdx(), list.minIdx, list.maxIdx], [7, 4, 7])
        fuzzyCompare(list.cursorY, 208 - list.cursorHeight, 0.01)
        wait(50)
        var image = grab("prgselect-near-end.png")
        // the highlighted entry is the bottom row; the scroll cursor sits at the bottom
        verify(Qt.colorEqual(image.pixel(236, 30 + 52 + 200), '#234461'), "scroll cursor at the bottom")
        verify(Qt.colorEqual(image.pixel(236, 30 + 52 + 5), '#cdcdcd'), "scroll bar above it")
        verify(!Qt.colorEqual(image.pixel(225, 30 + 52 + 156 + 4), image.pixel(225, 30 + 52 + 4)),
               "the highlight marks the bottom row only")
        verify(Qt.colorEqual(image.pixel(225, 30 + 52 + 52 + 4), image.pixel(225, 30 + 52 + 4)))
        compare(callsTo("prgselected").length, 0)

        keyPress(Qt.Key_Right)
        keyRelease(Qt.Key_Right)
        compare(list.getIdx(), 7)
        // a held key walks on through the programs, either way
        press(Qt.Key_Left, 4)
        compare([list.getIdx(), list.minIdx], [3, 3])
        press(Qt.Key_Right, 2)
        compare(list.getIdx(), 5)
    }

    // The middle key reports the entry and goes back to the menu once; the job list is read
    // again when the job files change while it is shown.
    function test_selectConfirm_data() {
        return [
            { tag: "program", screen: 'prgselect', moves: 0, report: "prgselected", reported: 5 },
            { tag: "job", screen: 'jobselect', moves: 1, report: "jobselected", reported: 3 }
        ]
    }

    function test_selectConfirm(data) {
        startScene()
        cMainWindow.prgList = programs([99, 1, 5, 12])
        cMainWindow.prgNumber = 5
        cMainWindow.jobList = jobs([1, 3, 8])
        scene.gotoState('mainmenu')
        scene.gotoState(data.screen)
        settle()
        if (data.moves)
            press(Qt.Key_Right, data.moves)
        verify(part("iconLeft").visible && part("iconRight").visible, "both arrows on an entry in the middle")
        wait(50)
        compare(barDrawn(grab(data.screen + ".png")), [true, true, true])
        tryCompare(scene, "changeView", false)
        keyPress(Qt.Key_A)
        compare(callsTo(data.report).map(function (c) { return c.args[0] }), [data.reported])
        compare(scene.state, 'mainmenu')
        keyRelease(Qt.Key_A)
        compare(scene.changeView, false)
        if (data.tag !== "job")
            return
        compare(scene.selectedJob, 3)
        scene.gotoState('jobselect')
        cMainWindow.jobList = jobs([2, 3, 7, 9])
        scene.updateJobView()
        compare(part("jobList").model.count, 4)
        compare(part("jobList").getValue().name, "3: Job3")
    }

    // One entry: the down arrow and nothing to move; no entry: nothing to report.
    function test_shortLists() {
        startScene()
        cMainWindow.prgList = programs([4])
        cMainWindow.prgNumber = 4
        scene.gotoState('prgselect')
        settle()
        verify(part("iconRight").visible && !part("iconLeft").visible, "the down arrow")
        press(Qt.Key_Right, 2)
        compare(part("prgList").getIdx(), 0, "the right key does nothing")
        compare(scene.state, 'prgselect')

        startScene()
        scene.gotoState('mainmenu')
        scene.gotoState('prgselect')
        compare(part("prgList").getIdx(), -1)
        compare(scene.genericListShowArrows, 0)
        press(Qt.Key_Right)
        press(Qt.Key_A)
        compare(callsTo("prgselected").length, 0, "nothing to report")
        compare(scene.state, 'mainmenu')
    }

    // The ID code viewer cuts the code at the list font and acts on every press.
    function test_idCodeViewer() {
        startScene()
        var code = "SERIAL-0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZ"
        scene.newIdcode(code)
        scene.gotoState('idcodeviewer')
        settle()
        var list = part("pieceList")
        checkPieces(list, 23, 3, code)
        wait(50)
        compare(barDrawn(grab("idcodeviewer.png")), [false, true, true], "the down arrow, none up")

        // no latch: every press moves
        keyPress(Qt.Key_Right)
        keyPress(Qt.Key_Right)
        compare(list.getIdx(), 2)
        keyRelease(Qt.Key_Right)

        // a new code while shown
        scene.newIdcode("SHORT")
        compare(rowTexts(list), ["SHORT"])

        keyPress(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        // the held key does not act on the menu
        keyPress(Qt.Key_A)
        compare(scene.state, 'mainmenu')
        keyRelease(Qt.Key_A)
    }
}
