pragma ComponentBehavior: Bound

import QtQuick

// A wheel of numbers: five shown, the current one large in the middle. Either all numbers
// of a range (setNumbers), or - continuous - seven numbers around the current one that are
// rewritten as the wheel turns, so a range of any size is walked (setContinous).
Rectangle {
    id: root
    objectName: "numberWheel"

    property int minValue: 0
    property int maxValue: 0
    property bool continous: false
    property string theme: 'blue'
    property color textColor: '#000000'
    property var model: ListModel {}
    property alias currentIndex: path.currentIndex
    readonly property bool large: width > 59

    width: 59
    height: 194
    color: theme === 'black' ? '#000000' : '#ececec'

    Image {
        anchors.fill: parent
        source: 'image://pics/wheel_' + (root.theme === 'black' ? 'black' : 'blue') + (root.large ? '_large' : '') + '.png'
    }

    PathView {
        id: path
        objectName: "wheelPath"
        x: (root.width - width) / 2
        y: (root.height - height) / 2
        width: root.large ? 128 : 50
        height: 154
        interactive: false
        model: root.model
        pathItemCount: 5
        preferredHighlightBegin: 0.5
        preferredHighlightEnd: 0.5
        highlightRangeMode: PathView.StrictlyEnforceRange
        highlightMoveDuration: 100
        clip: true
        path: Path {
            startX: path.width / 2
            startY: 0
            PathLine { x: path.width / 2; y: path.height }
        }
        delegate: Text {
            id: number
            required property int num
            required property int index
            width: path.width
            height: number.PathView.isCurrentItem ? 40 : 28
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            textFormat: Text.PlainText
            text: String(number.num)
            font.family: mainwindow.defaultFont
            font.pixelSize: number.PathView.isCurrentItem ? 35 : 23
            color: root.textColor
        }
    }

    function wrap(value) {
        const span = maxValue - minValue + 1
        return minValue + ((((value - minValue) % span) + span) % span)
    }

    function setNumbers(min, max, value) {
        continous = false
        minValue = min
        maxValue = max
        model.clear()
        let index = 0
        for (let n = min; n <= max; ++n) {
            if (value !== undefined && value !== 0 && n === value)
                index = n - min
            model.append({ num: n })
        }
        path.highlightMoveDuration = 0
        path.currentIndex = index
        path.highlightMoveDuration = 100
    }

    function setContinous(min, max, value) {
        continous = true
        minValue = min
        maxValue = max
        model.clear()
        for (let k = -3; k <= 3; ++k)
            model.append({ num: wrap(value + k) })
        path.highlightMoveDuration = 0
        path.currentIndex = 3
        path.highlightMoveDuration = 100
    }

    function next() {
        const n = model.count
        if (n === 0)
            return
        if (continous)
            model.setProperty((path.currentIndex + 4) % n, 'num', wrap(getValue() + 4))
        path.currentIndex = (path.currentIndex + 1) % n
    }

    function previous() {
        const n = model.count
        if (n === 0)
            return
        if (continous)
            model.setProperty((path.currentIndex - 4 + 2 * n) % n, 'num', wrap(getValue() - 4))
        path.currentIndex = (path.currentIndex - 1 + n) % n
    }

    function getValue() {
        const i = path.currentIndex
        return i >= 0 && i < model.count ? model.get(i).num : minValue
    }

    function setValue(value) {
        for (let i = 0; i < model.count; ++i) {
            if (model.get(i).num === value) {
                path.currentIndex = i
                return
            }
        }
    }

    function setTheme(value) {
        theme = value
        textColor = value === 'black' ? '#ffffff' : '#000000'
    }
}
