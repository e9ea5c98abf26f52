pragma ComponentBehavior: Bound

import QtQuick

// A list whose rows are coloured by connection state: entries {name, barename, connected,
// bgColor, bgColor_not_selected}. No background image, no highlight: the current row is
// marked by its arrow.
Item {
    id: root
    objectName: "genericConnectedList"

    property var model: ListModel {}
    property string textCenter: 'OK'
    property string textMenu: 'Menu'
    property color textColor: '#000000'
    property color unSelTextColor: '#606060'
    property color scrollBarColor: '#cdcdcd'
    property color scrollCursorColor: '#234461'
    property bool ready: false
    property string selectKey: ''
    property string selectValue: ''
    property bool runFunc: false

    property int minIdx: 0
    property int maxIdx: 0
    property real step: 0
    property alias cursorY: cursor.y
    property alias cursorHeight: cursor.height
    property alias scrollBarVisible: scrollBar.visible

    property alias currentIndex: list.currentIndex
    property alias count: list.count
    property alias listView: list

    readonly property int rowHeight: 52
    readonly property int visibleRows: 4

    signal barUpdated()

    x: 0
    y: 52
    width: 240
    height: 208

    ListView {
        id: list
        objectName: "listView"
        anchors.fill: parent
        clip: true
        interactive: false
        model: root.model
        delegate: Rectangle {
            id: row
            required property string name
            required property color bgColor
            required property color bgColor_not_selected
            width: 240
            height: root.rowHeight
            color: row.bgColor
            Text {
                x: 10
                y: 12
                width: 222
                textFormat: Text.StyledText
                fontSizeMode: Text.HorizontalFit
                minimumPointSize: 16
                elide: Text.ElideRight
                // the arrow keeps its place on every row, so the names stay aligned
                text: row.ListView.isCurrentItem
                      ? "\u25B6 " + root._escape(row.name)
                      : "<font color=\"" + row.bgColor_not_selected + "\">\u25B6</font> " + root._escape(row.name)
                font.family: mainwindow.defaultFont
                font.pointSize: mainwindow.basicPointSize
                font.letterSpacing: 0.5
                // every row in the text colour; only the arrow tells the current row
                color: root.textColor
            }
            Text {
                x: 0
                y: 40
                width: 240
                textFormat: Text.PlainText
                text: "_".repeat(Math.floor(width / underscore.advanceWidth))
                font: underscore.font
                color: 'DarkGray'
            }
        }
    }

    TextMetrics {
        id: underscore
        font.pixelSize: 10
        text: "_"
    }

    Rectangle {
        id: scrollBar
        objectName: "scrollBar"
        x: 232
        y: 0
        z: 5
        width: 8
        height: 208
        color: root.scrollBarColor
        visible: false

        Rectangle {
            id: cursor
            objectName: "scrollCursor"
            x: 0
            y: 0
            width: 8
            height: 208
            color: root.scrollCursorColor
        }
    }

    Connections {
        target: root.model
        function onCountChanged() {
            const n = root.model.count
            if (n === 0)
                list.currentIndex = -1
            else if (list.currentIndex < 0 || list.currentIndex >= n)
                list.currentIndex = 0
        }
    }

    function _escape(text) {
        return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
    }

    function entryCount() {
        return root.model ? root.model.count : 0
    }

    function _positionView() {
        if (entryCount() > visibleRows)
            list.positionViewAtIndex(minIdx, ListView.Beginning)
        else
            list.positionViewAtBeginning()
    }

    function reset() {
        const n = entryCount()
        minIdx = 0
        cursor.y = 0
        if (n > visibleRows) {
            scrollBar.visible = true
            cursor.height = 208 * visibleRows / n
            step = (208 - cursor.height) / (n - visibleRows)
            maxIdx = visibleRows - 1
        } else {
            scrollBar.visible = false
            cursor.height = 208
            step = 0
            maxIdx = Math.max(0, n - 1)
        }
        _positionView()
    }

    function down() {
        const n = entryCount()
        const i = list.currentIndex
        if (i === maxIdx && maxIdx < n - 1) {
            cursor.y += step
            minIdx += 1
            maxIdx += 1
        }
        if (i < n - 1)
            list.currentIndex = i + 1
        _positionView()
        updateBar()
    }

    function up() {
        const i = list.currentIndex
        if (i === minIdx && minIdx > 0) {
            cursor.y -= step
            minIdx -= 1
            maxIdx -= 1
        }
        if (i > 0)
            list.currentIndex = i - 1
        _positionView()
        updateBar()
    }

    function setBar(showArrows, left, middle, right) {
        mainwindow.genericListShowArrows = showArrows
        mainwindow.trySetButtons(left, middle, right)
        barUpdated()
    }

    function updateBar(listMode) {
        const n = entryCount()
        const i = list.currentIndex
        const middle = listMode !== undefined ? textMenu : textCenter
        if (i === -1 && n === 0)
            setBar(0, '', textCenter, '')
        else if (i === 0)
            setBar(1, '', middle, '@down')
        else if (i === n - 1)
            setBar(2, '@up', middle, '')
        else if (i === 1 || i === n - 2)
            setBar(3, '@up', middle, '@down')
    }

    function manipulateArrows(val) {
        if (val === 1)
            setBar(1, '', textMenu, '@down')
        else if (val === 2)
            setBar(2, '@up', textMenu, '')
        else if (val === 3)
            setBar(3, '@up', textMenu, '@down')
        else
            setBar(val, '', textMenu, '')
    }

    function getValue() {
        if (list.currentIndex < 0 || list.currentIndex >= entryCount())
            return undefined
        return root.model.get(list.currentIndex)
    }

    function getIdx() {
        return entryCount() === 0 ? -1 : list.currentIndex
    }

    function getCurrentIndex() {
        const entry = getValue()
        if (!entry)
            return { index: -1, name: "" }
        return { index: list.currentIndex, name: entry.name }
    }

    function setCurrentIndex(currentIndex) {
        cursor.y = 0
        if (currentIndex < 0)
            return
        reset()
        if (entryCount() === 0)
            return
        list.currentIndex = 0
        const n = Math.min(currentIndex, entryCount())
        for (let k = 0; k < n; ++k)
            down()
    }

    function select(key, value) {
        if (!ready) {
            selectKey = key
            selectValue = String(value)
            runFunc = true
            return
        }
        const n = entryCount()
        const wanted = String(value)
        for (let k = 0; k < n; ++k) {
            const entry = getValue()
            if (entry && String(entry[key]) === wanted)
                break
            down()
        }
    }

    function setTheme(value) {
        if (value === 'black') {
            scrollBarColor = '#515151'
            scrollCursorColor = '#ffffff'
            textColor = '#ffffff'
            unSelTextColor = '#E8E8E8'
        } else {
            scrollBarColor = '#cdcdcd'
            scrollCursorColor = '#234461'
            textColor = '#000000'
            unSelTextColor = '#606060'
        }
    }

    // Unlike the plain list, the connected list keeps its scroll bar as the screen set it.
    Component.onCompleted: {
        setTheme(mainwindow.theme)
        ready = true
        if (runFunc) {
            runFunc = false
            select(selectKey, selectValue)
        }
    }
}
