import QtQuick

// A scene root with one translated text bound the way the screens bind theirs.
Item {
    width: 240
    height: 320
    property string menu: qsTr("Menu")
}
