import QtQuick
import "QTetris.js" as Game

// The block game: a well of 10 x 18 cells, a preview of the next piece, level, score and
// the rows still to clear in this level. Title -> Game -> GameOver -> Title, and
// Game -> ChangeLevel -> Game after 30 rows.
Rectangle {
    id: screen
    objectName: "game"

    property alias well: well
    property alias fallTimer: fallTimer
    property alias removeTimer: removeTimer
    property alias pieceComponent: pieceComponent
    property alias blockComponent: blockComponent
    property string textColor: '#000000'

    // ---- for the root and for tests

    function setTheme(value) {
        color = value === 'black' ? '#000000' : '#ffffff'
        textColor = value === 'black' ? '#ffffff' : '#000000'
    }

    function setSeed(seed) { Game.setSeed(seed) }
    function tick() { Game.tick() }
    function removeFullRows() { Game.removeFullRows() }
    function level() { return Game.level }
    function score() { return Game.score }
    function lines() { return Game.lines }
    function currentKind() { return Game.current === null ? "" : Game.kinds[Game.current.kind].name }
    function nextKind() { return Game.next === null ? "" : Game.kinds[Game.next.kind].name }
    function currentPiece() { return Game.current === null ? null : Game.current.item }
    function currentRotation() { return Game.current === null ? -1 : Game.current.rot }
    function cellColor(col, row) { return Game.cellColor(col, row) }
    function setLines(value) { Game.lines = value }
    // Puts a block into the well, as a placed piece would.
    function putBlock(col, row, colour) {
        Game.board[row * Game.COLS + col] = blockComponent.createObject(well, { x: col * Game.CELL, y: row * Game.CELL, blockColor: colour })
    }

    function showNumbers(levelValue, scoreValue, linesValue) {
        levelLabel.text = qsTr("Level: ") + levelValue
        scoreLabel.text = qsTr("Score: ") + scoreValue
        linesLabel.text = qsTr("Lines: ") + linesValue
    }

    width: 240
    height: 290
    color: '#ffffff'
    focus: true

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        Game.init(screen)
        mainwindow.trySetButtons('@back', qsTr("Start"), '')
        state = "Title"
        mainwindow.checkBmsKeyModus()
    }

    onStateChanged: {
        if (state === "Title") {
            Game.reset()
            Game.level = 0
            Game.score = 0
            mainwindow.trySetButtons('@back', qsTr("Start"), '')
        } else if (state === "Game") {
            Game.start()
            mainwindow.trySetButtons('@back', '@repeati', '@right')
        } else if (state === "GameOver") {
            stateTimer.restart()
        } else if (state === "ChangeLevel") {
            Game.reset()
            levelText.text = qsTr("Level ") + Game.level
            stateTimer.restart()
        }
    }

    // Each press acts: no latch, no blocked-key check.
    Keys.onPressed: (event) => {
        if (state === "Title") {
            if (event.key === Qt.Key_A)
                state = "Game"
            else if (event.key === Qt.Key_Left)
                mainwindow.gotoState('mainmenu')
        } else if (state === "Game") {
            if (event.key === Qt.Key_A)
                Game.rotate()
            else if (event.key === Qt.Key_Left)
                Game.move(-1)
            else if (event.key === Qt.Key_Right)
                Game.move(1)
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }

    Timer {
        id: fallTimer
        objectName: "fallTimer"
        interval: 400
        repeat: true
        onTriggered: Game.tick()
    }

    Timer {
        id: removeTimer
        objectName: "removeTimer"
        interval: 1000
        onTriggered: Game.removeFullRows()
    }

    // GameOver -> Title, ChangeLevel -> Game
    Timer {
        id: stateTimer
        interval: 4000
        onTriggered: {
            if (screen.state === "GameOver")
                screen.state = "Title"
            else if (screen.state === "ChangeLevel")
                screen.state = "Game"
        }
    }

    Component {
        id: blockComponent
        Block {}
    }

    // A falling piece: the script puts its blocks in as in rotation d0; the item turns
    // clockwise with each rotation.
    Component {
        id: pieceComponent
        Item {
            property int size: 3
            property int turns: 0
            width: size * 16
            height: size * 16
            rotation: turns * 90
            Behavior on rotation { NumberAnimation { duration: 100 } }
        }
    }

    Rectangle {
        id: well
        objectName: "well"
        width: 161
        height: 289
        color: '#ececec'
        border.width: 2
        border.color: "black"
        opacity: 0.3
    }

    Rectangle {
        id: preview
        objectName: "preview"
        x: 167
        y: 4
        width: 68
        height: 68
        radius: 12
        color: '#ececec'
        border.width: 2
        border.color: "black"
    }

    // Level, score and lines beside the well: a long word or a large number shrinks to a
    // legible size, then loses letters of the word, never the number's last digits.
    Text {
        id: levelLabel
        objectName: "levelLabel"
        x: 166
        y: 90
        textFormat: Text.PlainText
        width: 72
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 11
        elide: Text.ElideMiddle
        font.family: mainwindow.defaultFont
        font.pixelSize: 16
        color: screen.textColor
        text: qsTr("Level: 0")
    }

    Text {
        id: scoreLabel
        objectName: "scoreLabel"
        x: 166
        y: 120
        textFormat: Text.PlainText
        width: 72
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 11
        elide: Text.ElideMiddle
        font.family: mainwindow.defaultFont
        font.pixelSize: 16
        color: screen.textColor
        text: qsTr("Score: 0")
    }

    Text {
        id: linesLabel
        objectName: "linesLabel"
        x: 166
        y: 150
        textFormat: Text.PlainText
        width: 72
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 11
        elide: Text.ElideMiddle
        font.family: mainwindow.defaultFont
        font.pixelSize: 16
        color: screen.textColor
        text: qsTr("Lines: 0")
    }

    Text {
        id: title
        objectName: "gameTitle"
        x: 3
        y: 50
        visible: false
        textFormat: Text.PlainText
        font.family: mainwindow.defaultFont
        font.pixelSize: 40
        font.bold: true
        color: '#234461'
        text: "GAME"
    }

    Text {
        id: hint
        x: 0
        y: 300
        visible: false
        textFormat: Text.PlainText
        font.family: mainwindow.defaultFont
        font.pixelSize: 15
        font.bold: true
        color: screen.textColor
        text: " back       Start"
    }

    Text {
        id: gameOverText
        objectName: "gameOverText"
        x: 1
        y: 100
        visible: false
        textFormat: Text.PlainText
        width: 158
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideRight
        font.family: mainwindow.defaultFont
        font.pixelSize: 23
        font.bold: true
        color: screen.textColor
        text: qsTr("Game Over!")
    }

    Text {
        id: levelText
        objectName: "levelText"
        x: 20
        y: 100
        visible: false
        textFormat: Text.PlainText
        width: 139
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 14
        elide: Text.ElideRight
        font.family: mainwindow.defaultFont
        font.pixelSize: 30
        font.bold: true
        color: "green"
        text: qsTr("Level ") + "0"
    }

    states: [
        State {
            name: "Title"
            PropertyChanges { target: title; visible: true }
            PropertyChanges { target: hint; visible: true }
            PropertyChanges { target: well; opacity: 0.3 }
        },
        State {
            name: "Game"
            PropertyChanges { target: well; opacity: 1.0 }
        },
        State {
            name: "GameOver"
            PropertyChanges { target: gameOverText; visible: true }
            PropertyChanges { target: well; opacity: 0.2 }
        },
        State {
            name: "ChangeLevel"
            PropertyChanges { target: levelText; visible: true }
            PropertyChanges { target: well; opacity: 0.3 }
        }
    ]
}
