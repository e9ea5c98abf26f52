import QtQuick
import QtTest

// The block game on the real scene, with a seeded piece sequence.
SceneTestCase {
    id: tc
    name: "Game"

    property var game: null

    // Opens the game and starts a round whose first piece is an I; the fall timer is
    // stopped so that the test moves the piece itself.
    function startWithI() {
        startScene()
        scene.gotoState('game')
        game = scene.screen
        compare(game.state, "Title")
        for (var seed = 1; seed < 200; ++seed) {
            game.setSeed(seed)
            keyClick(Qt.Key_A)
            compare(game.state, "Game")
            if (game.currentKind() === 'I') {
                game.fallTimer.stop()
                return
            }
            game.state = "Title"
        }
        fail("no seed starts with an I")
    }

    // Ticks until the current piece is placed.
    function dropPiece() {
        var piece = game.currentPiece()
        for (var i = 0; i < 30 && game.currentPiece() === piece; ++i)
            game.tick()
        verify(game.currentPiece() !== piece, "the piece was placed")
    }

    function fillRows(firstRow, lastRow, gapColumn) {
        for (var r = firstRow; r <= lastRow; ++r)
            for (var c = 0; c < 10; ++c)
                if (c !== gapColumn)
                    game.putBlock(c, r, "green")
    }

    function test_titleAndStart() {
        startScene()
        scene.gotoState('game')
        game = scene.screen
        compare(barStrings(), ['@back', "Start", ''])
        compare(findChild(game, "well").opacity, 0.3)
        grab("game-title-blue.png")
        keyClick(Qt.Key_Right)
        compare(game.state, "Title", "right does nothing on the title")
        game.setSeed(3)
        keyClick(Qt.Key_A)
        compare(game.state, "Game")
        compare(barStrings(), ['@back', '@repeati', '@right'])
        compare(game.fallTimer.interval, 400)
        verify(game.fallTimer.running)
        compare(findChild(game, "linesLabel").text, "Lines: 30")
        verify(game.currentKind() !== "" && game.nextKind() !== "")

        // the same seed gives the same pieces
        var first = [game.currentKind(), game.nextKind()]
        game.state = "Title"
        game.setSeed(3)
        keyClick(Qt.Key_A)
        compare([game.currentKind(), game.nextKind()], first)

        // the piece falls a row per tick
        game.fallTimer.stop()
        var y = game.currentPiece().y
        game.tick()
        compare(game.currentPiece().y, y + 16)
        scene.setTheme('black')
        var image = grab("game-play-black.png")
        verify(image.red(80, 280) > 200 && image.green(80, 280) > 200, "the well is light in play")
    }

    function test_rotationAtWalls() {
        startWithI()
        var piece = game.currentPiece()
        keyClick(Qt.Key_A)
        compare(game.currentRotation(), 1, "vertical")
        for (var i = 0; i < 8; ++i)
            keyClick(Qt.Key_Left)
        compare(piece.x, -32, "column 2 of the piece at the left wall")
        keyClick(Qt.Key_A)
        compare(game.currentRotation(), 1, "lying flat would leave the well")
        for (i = 0; i < 12; ++i)
            keyClick(Qt.Key_Right)
        compare(piece.x, 112, "at the right wall")
        keyClick(Qt.Key_A)
        compare(game.currentRotation(), 1)
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_Left)
        keyClick(Qt.Key_A)
        compare(game.currentRotation(), 2, "room to turn away from the wall")
        tryCompare(piece, "rotation", 180)
    }

    // A vertical I into the gap of n prepared rows removes n rows at once.
    function test_rowRemoval_data() {
        return [
            { tag: "no row", rows: 0, score: 0 },
            { tag: "one row", rows: 1, score: 1 },
            { tag: "two rows", rows: 2, score: 3 },
            { tag: "three rows", rows: 3, score: 5 },
            { tag: "four rows", rows: 4, score: 10 }
        ]
    }

    function test_rowRemoval(data) {
        startWithI()
        fillRows(18 - data.rows, 17, 9)
        game.putBlock(0, 13, "red")      // above the prepared rows; moves down with them
        keyClick(Qt.Key_A)
        for (var i = 0; i < 8; ++i)
            keyClick(Qt.Key_Right)
        dropPiece()
        compare(game.score(), data.score)
        compare(game.lines(), 30 - data.rows)
        compare(findChild(game, "scoreLabel").text, "Score: " + data.score)
        compare(findChild(game, "linesLabel").text, "Lines: " + (30 - data.rows))
        if (data.rows === 0) {
            verify(game.currentPiece() !== null, "the next piece comes at once")
            compare(game.cellColor(9, 14), "#00ffff")
            return
        }
        compare(game.currentPiece(), null, "no piece while the rows blink")
        verify(!game.fallTimer.running)
        verify(game.removeTimer.running)
        tryVerify(function () { return game.currentPiece() !== null }, 1500)
        compare(game.cellColor(0, 13 + data.rows), "#ff0000", "the rows above moved down")
        compare(game.cellColor(0, 17), data.rows === 4 ? "#ff0000" : "")
        compare(game.cellColor(9, 17), data.rows === 4 ? "" : "#00ffff", "the rest of the I stays")
        verify(game.fallTimer.running)
    }

    function test_levelChange() {
        startWithI()
        game.setLines(1)
        fillRows(17, 17, 9)
        keyClick(Qt.Key_A)
        for (var i = 0; i < 8; ++i)
            keyClick(Qt.Key_Right)
        dropPiece()
        tryCompare(game, "state", "ChangeLevel", 1500)
        compare(game.level(), 1)
        compare(findChild(game, "levelText").text, "Level 1")
        verify(findChild(game, "levelText").visible)
        compare(game.cellColor(9, 17), "", "the well is emptied")
        grab("game-level.png")
        tryCompare(game, "state", "Game", 5000)
        compare(game.score(), 1, "the score is kept")
        compare(findChild(game, "linesLabel").text, "Lines: 30")
        compare(findChild(game, "levelLabel").text, "Level: 1")
        compare(game.fallTimer.interval, 350)
    }

    function test_gameOver() {
        startWithI()
        fillRows(1, 3, 0)
        game.tick()
        compare(game.state, "GameOver")
        verify(findChild(game, "gameOverText").visible)
        verify(!game.fallTimer.running)
        keyClick(Qt.Key_Left)
        compare(scene.state, 'game', "keys do nothing after the game is over")
        grab("game-over.png")
        tryCompare(game, "state", "Title", 5000)
        compare(game.cellColor(1, 1), "", "the title resets the well")
        keyClick(Qt.Key_Left)
        compare(scene.state, 'mainmenu')
    }
}
