import QtQuick

// A row text that also carries its entry's slot, so that its colour can depend on the entry.
Text {
    id: root
    objectName: "slotText"

    property var curr_slot: ''

    font.family: mainwindow.defaultFont
    font.pointSize: mainwindow.basicPointSize
    font.letterSpacing: 0.5
    textFormat: Text.PlainText
    wrapMode: Text.NoWrap
    maximumLineCount: 1
    // a name wider than its row shrinks to a legible size, then loses its end
    fontSizeMode: Text.HorizontalFit
    minimumPointSize: 16
    elide: Text.ElideRight
}
