import QtQuick

// Frame of the test view: its title only. The test view has no keys; the host ends it.
GUIView {
    id: root
    objectName: "testview"

    function setTheme(value) {
        guiView_setTheme(value)
    }

    headerText: qsTr("Test")
    fontFamily: mainwindow.defaultFont
    focus: true

    Component.onCompleted: {
        guiView_setTheme(mainwindow.theme)
    }
}
