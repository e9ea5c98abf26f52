import QtQuick

// Pictures stored on the tool, one at a time, on black.
Rectangle {
    id: root
    objectName: "picviewer"

    property var pictures: []
    property int current: 0
    property alias message: messageText.text

    x: 0
    y: 30
    width: 240
    height: 260
    color: '#000000'
    focus: true

    Image {
        id: picture
        objectName: "picture"
        width: 240
        height: 260
        fillMode: Image.PreserveAspectFit
        // A picture from the card may be huge: read and decode it off the GUI thread, at
        // display size.
        asynchronous: true
        // Not kept in the scene's picture cache once the screen is left: a card picture is
        // read again when shown again.
        cache: false
        sourceSize.width: 240
        sourceSize.height: 260
        onStatusChanged: {
            if (status === Image.Error) {
                visible = false
                messageText.text = qsTr("Picture not found")
                messageText.visible = true
            }
        }
    }

    Text {
        id: messageText
        objectName: "pictureMessage"
        anchors.centerIn: parent
        width: 232
        horizontalAlignment: Text.AlignHCenter
        visible: false
        textFormat: Text.PlainText
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 12
        elide: Text.ElideRight
        font.family: mainwindow.defaultFont
        font.pixelSize: 20
        color: '#ffffff'
    }

    function show(index) {
        current = index
        messageText.visible = false
        picture.visible = true
        // Names on the card may hold spaces, "#", "?" or non-ASCII letters: the whole path is
        // encoded as one part.
        picture.source = "image://cardpics/" + encodeURIComponent(String(pictures[index]))
    }

    function updateBar() {
        if (pictures.length > 1)
            mainwindow.trySetButtons('@up', qsTr("Back"), '@down')
        else
            mainwindow.trySetButtons('', qsTr("Back"), '')
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_A)
            mainwindow.gotoState('mainmenu')
        else if (pictures.length > 0 && key === Qt.Key_Left)
            show((current - 1 + pictures.length) % pictures.length)
        else if (pictures.length > 0)
            show((current + 1) % pictures.length)
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        // The host offers the pictures once the memory card can be read.
        const list = typeof cMainWindow.getPictures === 'function' ? cMainWindow.getPictures() : []
        pictures = list ? list : []
        if (pictures.length > 0) {
            show(0)
        } else {
            picture.visible = false
            messageText.text = qsTr("No pictures found!")
            messageText.visible = true
        }
        updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
