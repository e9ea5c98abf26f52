pragma ComponentBehavior: Bound

import QtQuick

// The list that most screens are built on: four rows of 52 px, walked with up()/down(),
// a scroll bar for more than four entries, and the button bar arrows that go with the
// current entry.
Item {
    id: root
    objectName: "genericList"

    property var model: ListModel {}
    property string textCenter: 'OK'
    property string textMenu: 'Menu'
    property color textColor: '#000000'
    property color unSelTextColor: '#606060'
    property string highlightImg: 'image://pics/list_header_blue.png'
    property string backgroundImg: 'image://pics/actual_bg_blue.png'
    property color scrollBarColor: '#cdcdcd'
    property color scrollCursorColor: '#234461'
    property bool ready: false
    property string selectKey: ''
    property string selectValue: ''
    property bool runFunc: false
    // false: the screen keeps its own bar texts while the list is walked
    property bool ownsBar: true

    // visible window of entries and the scroll cursor
    property int minIdx: 0
    property int maxIdx: 0
    property real step: 0
    property alias cursorY: cursor.y
    property alias cursorHeight: cursor.height
    property alias scrollBarVisible: scrollBar.visible

    property alias currentIndex: list.currentIndex
    property alias count: list.count
    property alias listView: list
    property alias delegate: list.delegate

    readonly property int rowHeight: 52
    readonly property int visibleRows: 4

    // Emitted after the list has set the bar; the actual-values screen rebuilds its own bar.
    signal barUpdated()

    // direct selections asked for before completion run once the list is complete
    property var _pending: null

    x: 0
    y: 52
    width: 240
    height: 208

    Image {
        id: background
        objectName: "listBackground"
        anchors.fill: parent
        source: root.backgroundImg
    }

    // The highlight follows the current row at once; it lies between the background and the
    // rows, so the rows' texts are drawn over it.
    Image {
        id: highlight
        objectName: "listHighlight"
        x: 0
        y: list.currentItem ? list.currentItem.y - list.contentY : 0
        width: 240
        height: 54
        source: root.highlightImg
        visible: list.currentItem !== null && root.entryCount() > 0
    }

    ListView {
        id: list
        objectName: "listView"
        anchors.fill: parent
        clip: true
        interactive: false
        model: root.model
        delegate: defaultDelegate
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

    // 0 default rows, 1 menu rows (entries with itmEnabled false in the disabled colour),
    // 2 plain rows
    property int delegateMode: 0

    Component {
        id: defaultDelegate
        Item {
            id: row
            required property string name
            required property var model
            readonly property bool disabled: root.delegateMode === 1 && row.model.itmEnabled === false
            width: 240
            height: root.rowHeight
            Text {
                x: 10
                width: 222
                anchors.verticalCenter: parent.verticalCenter
                textFormat: Text.PlainText
                // a name wider than its row shrinks to a legible size, then loses its end
                fontSizeMode: Text.HorizontalFit
                minimumPointSize: 16
                elide: Text.ElideRight
                text: qsTr(row.name)
                font.family: mainwindow.defaultFont
                font.pointSize: mainwindow.basicPointSize
                font.letterSpacing: 0.5
                wrapMode: Text.NoWrap
                color: row.disabled ? mainwindow.disable_color
                                    : (row.ListView.isCurrentItem ? root.textColor : root.unSelTextColor)
            }
        }
    }

    Connections {
        target: root.model
        // Keeps the current index valid while screens empty and refill the model.
        function onCountChanged() {
            const n = root.model.count
            if (n === 0)
                list.currentIndex = -1
            else if (list.currentIndex < 0 || list.currentIndex >= n)
                list.currentIndex = 0
        }
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
        // The window always starts at the top again, so a rebuilt list keeps its cursor
        // and its window in step.
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
        if (n === 0)
            list.currentIndex = -1
        else if (list.currentIndex < 0 || list.currentIndex >= n)
            list.currentIndex = 0
        if (list.currentIndex > maxIdx)
            list.currentIndex = maxIdx
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
        if (!ownsBar)
            return
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
        else if (i === 1 || i <= n - 2)
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

    // Moves cursor, window and current entry straight to index after a reset.
    function _jumpTo(index) {
        const n = entryCount()
        if (n === 0) {
            updateBar()
            return
        }
        // the window never runs past the end of the list
        const shift = n > visibleRows ? Math.min(index, n - visibleRows) : 0
        cursor.y += step * shift
        minIdx += shift
        maxIdx += shift
        list.currentIndex = index
        _positionView()
        updateBar()
    }

    function directSelect(key, value) {
        if (!ready) {
            _pending = { kind: 'prg', key: key, value: value }
            return
        }
        reset()
        const prgs = cMainWindow.getPrgList()
        let index = 0
        if (prgs.length > 0 && String(prgs[0].slot) === "99" && Number(value) === 99) {
            index = 0
        } else {
            for (let k = 0; k < prgs.length; ++k) {
                const slot = String(prgs[k].slot)
                if (slot !== "99" && Number(slot) >= Number(value)) {
                    index = k
                    break
                }
            }
        }
        _jumpTo(Math.min(index, Math.max(0, entryCount() - 1)))
    }

    function directJobSelect(key, value, joblist) {
        if (!ready) {
            _pending = { kind: 'job', key: key, value: value, joblist: joblist }
            return
        }
        reset()
        let index = 0
        const jobs = joblist || []
        for (let k = 0; k < jobs.length; ++k) {
            if (Number(jobs[k].slot) >= Number(value)) {
                index = k
                break
            }
        }
        _jumpTo(Math.min(index, Math.max(0, entryCount() - 1)))
    }

    function setDelegate1() {
        delegateMode = 1
    }

    function delegateSwitch(val) {
        delegateMode = val ? 2 : 0
    }

    function setTheme(value) {
        if (value === 'black') {
            backgroundImg = 'image://pics/actual_bg_black.png'
            scrollBarColor = '#515151'
            scrollCursorColor = '#ffffff'
            textColor = '#ffffff'
            unSelTextColor = '#E8E8E8'
            highlightImg = 'image://pics/list_header_black.png'
        } else {
            backgroundImg = 'image://pics/actual_bg_blue.png'
            scrollBarColor = '#cdcdcd'
            scrollCursorColor = '#234461'
            textColor = '#000000'
            unSelTextColor = '#282828'
            highlightImg = 'image://pics/list_header_blue.png'
        }
    }

    Component.onCompleted: {
        reset()
        setTheme(mainwindow.theme)
        ready = true
        if (runFunc) {
            runFunc = false
            select(selectKey, selectValue)
        }
        if (_pending) {
            const p = _pending
            _pending = null
            if (p.kind === 'prg')
                directSelect(p.key, p.value)
            else
                directJobSelect(p.key, p.value, p.joblist)
        }
    }
}
