import QtQuick

// Frame of the game: its title, its bar and the left key back to the menu.
// The screen's own content is not here yet.
GUIView {
    id: root
    objectName: "game"

    function updateBar() {
        mainwindow.trySetButtons('@back', '', '')
    }

    function setTheme(value) {
        guiView_setTheme(value)
    }

    headerText: qsTr("Game")
    fontFamily: mainwindow.defaultFont
    focus: true

    Component.onCompleted: {
        guiView_setTheme(mainwindow.theme)
        updateBar()
        mainwindow.checkBmsKeyModus()
    }

    // The game's keys act on every press, without the latch.
    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Left)
            mainwindow.gotoState('mainmenu')
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }
}
