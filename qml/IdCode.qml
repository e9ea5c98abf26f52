import QtQuick

// The identification code of the result on display, cut into pieces that fit the rows.
GUIView {
    id: root
    objectName: "idCode"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("ID Code")
    focus: true

    property alias list: pieceList

    GenericList {
        id: pieceList
        objectName: "pieceList"
        textCenter: qsTr("Back")
    }

    FontMetrics {
        id: pieceMetrics
        font.family: mainwindow.defaultFont
        font.pointSize: mainwindow.basicPointSize
        font.letterSpacing: 0.5
    }

    function setTheme(value) {
        guiView_setTheme(value)
        pieceList.setTheme(value)
    }

    function splitPieces(text) {
        const pieces = []
        let rest = text
        while (rest.length > 0) {
            let n = 1
            while (n < rest.length && pieceMetrics.advanceWidth(rest.slice(0, n)) < 215)
                ++n
            pieces.push(rest.slice(0, n))
            rest = rest.slice(n)
        }
        return pieces
    }

    function setList(strValue) {
        const text = (strValue === undefined || strValue === null) ? '' : String(strValue).trim()
        const pieces = splitPieces(text)
        pieceList.model.clear()
        for (let k = 0; k < pieces.length; ++k)
            pieceList.model.append({ name: pieces[k] })
        pieceList.reset()
        pieceList.updateBar()
    }

    // Every press acts; there is no latch on this screen.
    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_Left) {
            pieceList.up()
        } else if (key === Qt.Key_Right) {
            pieceList.down()
        } else {
            // the menu must not act on the repeats of this held key
            mainwindow.changeView = true
            mainwindow.gotoState('mainmenu')
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        setList(mainwindow.curridcode)
    }
}
