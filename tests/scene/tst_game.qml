import QtQuick
import QtTest

// The block game on the real scene, with a seeded piece sequence: what a player notices.
SceneTestCase {
    name: "Game"

    function test_playOneRound() {
        startScene()
        scene.gotoState('game')
        var game = scene.screen
        compare(barStrings(), ['@back', "Start", ''])
        var image = grab("game-title-blue.png")
        verify(countPixels(image, 3, 50, 160, 100, function (im, x, y) {
            return im.red(x, y) < 0x40 && im.green(x, y) > 0x30 && im.green(x, y) < 0x58 && im.blue(x, y) > 0x50 && im.blue(x, y) < 0x70
        }) > 100, "the dark blue title")

        // a seed whose first piece is an I; the same seed gives the same pieces
        var seed = 1
        for (; seed < 200; ++seed) {
            game.setSeed(seed)
            keyClick(Qt.Key_A)
            compare(game.state, "Game")
            if (game.currentKind() === 'I')
                break
            game.state = "Title"
        }
        var first = [game.currentKind(), game.nextKind()]
        game.state = "Title"
        game.setSeed(seed)
        keyClick(Qt.Key_A)
        compare([game.currentKind(), game.nextKind()], first)
        compare(barStrings(), ['@back', '@repeati', '@right'])
        verify(game.fallTimer.running)
        game.fallTimer.stop()

        // the piece falls a row per tick
        var piece = game.currentPiece()
        var y = piece.y
        game.tick()
        compare(piece.y, y + 16)
        scene.setTheme('black')
        image = grab("game-play-black.png")
        verify(image.red(80, 280) > 200 && image.green(80, 280) > 200, "the well is light in play")

        // a vertical I into the gap of a full row clears it; the rows above move down
        for (var c = 0; c < 9; ++c)
            game.putBlock(c, 17, "green")
        game.putBlock(0, 16, "red")
        keyClick(Qt.Key_A)
        for (var i = 0; i < 8; ++i)
            keyClick(Qt.Key_Right)
        for (i = 0; i < 30 && game.currentPiece() === piece; ++i)
            game.tick()
        compare(game.score(), 1)
        compare(findChild(game, "linesLabel").text, "Lines: 29")
        tryVerify(function () { return game.currentPiece() !== null }, 1500)
        compare(game.cellColor(0, 17), "#ff0000", "the row above moved down")
        compare(game.cellColor(9, 17), "#00ffff", "the rest of the I stays")

        // a well filled to the top ends the game; the title comes back and resets the well
        game.fallTimer.stop()
        for (var r = 1; r <= 3; ++r)
            for (c = 1; c < 10; ++c)
                game.putBlock(c, r, "green")
        game.tick()
        compare(game.state, "GameOver")
        verify(findChild(game, "gameOverText").visible)
        keyClick(Qt.Key_Left)
        compare(scene.state, 'game', "keys do nothing after the game is over")
        image = grab("game-over.png")
        verify(countPixels(image, 1, 95, 159, 130, isWhite) > 100, "the game-over text, light on black")
        tryCompare(game, "state", "Title", 5000)
        compare(game.cellColor(1, 1), "", "the title resets the well")
        keyClick(Qt.Key_Left)
        compare(scene.state, 'mainmenu')
    }
}
