import QtQuick

// One block of the game: a dark square with the block's colour inside. In the state
// "blink" it flashes before its row is removed.
Rectangle {
    id: block

    property color blockColor: "cyan"

    width: 16
    height: 16
    radius: 2
    color: Qt.darker(blockColor, 1.5)

    Rectangle {
        anchors.centerIn: parent
        width: parent.width * 0.6
        height: parent.height * 0.6
        color: block.blockColor
    }

    Timer {
        interval: 100
        repeat: true
        running: block.state === "blink"
        onTriggered: block.opacity = block.opacity > 0.5 ? 0 : 1
    }

    states: State { name: "blink" }
}
