import QtQuick

// Date and time of the tool's clock: a wheel slides to the part being edited (day, month,
// year, then hour and minute); each part has a summary step whose middle key goes on, and
// the time summary hands the text to the host, which sets the clock.
GUIView {
    id: root
    objectName: "setdatetime"

    headerText: qsTr("Set Date")
    fontFamily: mainwindow.defaultFont
    focus: true

    property int day: 1
    property int month: 1
    property int year: 2000
    property int hour: 0
    property int minute: 0
    property string datetimestr: '2000.01.01-00:00'
    property alias wheel: wheel

    function two(n) {
        return n < 10 ? '0' + n : String(n)
    }

    function updateText() {
        const dateShown = state === 'day' || state === 'month' || state === 'year' || state === 'showdate'
        line.text = dateShown ? two(day) + '/' + two(month) + '/' + year : two(hour) + ':' + two(minute)
        line.x = dateShown ? 32 : 75
        datetimestr = year + '.' + month + '.' + day + '-' + hour + ':' + minute
    }

    function updateBar() {
        if (state === 'showdate' || state === 'showtime')
            mainwindow.trySetButtons('@back', qsTr("OK"), '')
        else
            mainwindow.trySetButtons('@up', qsTr("Next"), '@down')
    }

    function setTheme(value) {
        guiView_setTheme(value)
        wheel.setTheme(value)
    }

    // Enters a step; the wheel takes the step's range and value.
    function enter(step) {
        state = step
        if (step === 'day') {
            headerText = qsTr("Date")
            wheel.setNumbers(1, 31, day)
        } else if (step === 'month') {
            wheel.setNumbers(1, 12, month)
        } else if (step === 'year') {
            wheel.setNumbers(0, 99, year - 2000)
        } else if (step === 'hour') {
            headerText = qsTr("Time")
            wheel.setNumbers(0, 23, hour)
        } else if (step === 'minute') {
            wheel.setNumbers(0, 59, minute)
        }
        updateText()
        updateBar()
        mainwindow.checkBmsKeyModus()
    }

    function store() {
        const v = wheel.getValue()
        if (state === 'day')
            day = v
        else if (state === 'month')
            month = v
        else if (state === 'year')
            year = 2000 + v
        else if (state === 'hour')
            hour = v
        else if (state === 'minute')
            minute = v
        updateText()
    }

    function middle() {
        const order = { 'day': 'month', 'month': 'year', 'year': 'showdate', 'showdate': 'hour',
                        'hour': 'minute', 'minute': 'showtime' }
        if (state === 'showtime') {
            cMainWindow.setDateTime(datetimestr)
            const cfg = mainwindow.cfg
            // a transition to a state without a screen goes to the menu instead
            if (cfg.global.firstsetup === true && cfg.wizard && cfg.wizard.transitions
                    && cfg.wizard.transitions.setdatetime && mainwindow.knownState(cfg.wizard.transitions.setdatetime))
                mainwindow.gotoState(cfg.wizard.transitions.setdatetime)
            else
                mainwindow.gotoState('mainmenu')
            return
        }
        if (state !== 'showdate')
            store()
        enter(order[state])
    }

    Text {
        id: line
        objectName: "dateTimeText"
        z: 1
        x: 32
        y: 52 + (208 - height) / 2
        textFormat: Text.PlainText
        font.family: mainwindow.defaultFont
        font.pixelSize: 35
        color: root.textColor
    }

    NumberWheel {
        id: wheel
        objectName: "dateTimeWheel"
        z: 2
        x: 4
        y: 52 + 7
        Behavior on x {
            NumberAnimation { duration: 200; easing.type: Easing.InOutQuad }
        }
    }

    states: [
        State { name: "day"; PropertyChanges { wheel.x: 4 } },
        State { name: "month"; PropertyChanges { wheel.x: 68 } },
        State { name: "year"; PropertyChanges { wheel.x: 168 } },
        State { name: "showdate"; PropertyChanges { wheel.x: 265 } },
        State { name: "hour"; PropertyChanges { wheel.x: 54 } },
        State { name: "minute"; PropertyChanges { wheel.x: 121 } },
        State { name: "showtime"; PropertyChanges { wheel.x: 265 } }
    ]

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_A) {
            middle()
        } else if (key === Qt.Key_Left) {
            if (state === 'showdate')
                enter('day')
            else if (state === 'showtime')
                enter('hour')
            else
                wheel.previous()
        } else {
            wheel.next()
        }
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        const now = new Date()
        day = now.getDate()
        month = now.getMonth() + 1
        year = now.getFullYear()
        hour = now.getHours()
        minute = now.getMinutes()
        setTheme(mainwindow.theme)
        enter('day')
    }
}
