import QtQuick
import "format.js" as Format

// Configuration export to and import from the memory card: choose, wait for the host's
// end signal, show the outcome. The operation goes on in the host when the screen is left.
GUIView {
    id: root
    objectName: "exchange"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Exchange")
    focus: true

    property alias list: exchangeList
    property string resultText: ''
    property color resultColor: textColor

    // Reasons the scripts give, shown translated; any other is a "System error".
    readonly property var exportReasons: [
        QT_TR_NOOP("Exporter not found"), QT_TR_NOOP("Password required"), QT_TR_NOOP("No empty password"),
        QT_TR_NOOP("Export file name required"), QT_TR_NOOP("Empty export file name given"), QT_TR_NOOP("No SD card")
    ]
    readonly property var importReasons: [
        QT_TR_NOOP("Importer not found"), QT_TR_NOOP("Password required"), QT_TR_NOOP("No empty password"),
        QT_TR_NOOP("Import file name required"), QT_TR_NOOP("Empty import file name given"), QT_TR_NOOP("No SD card"),
        QT_TR_NOOP("SD card not mounted"), QT_TR_NOOP("Configuration file not found"),
        QT_TR_NOOP("Wrong configuration version")
    ]
    readonly property string archiveCountReason: QT_TR_NOOP("No or more than one *.zkcfg file found")
    readonly property string systemError: QT_TR_NOOP("System error")

    GenericList {
        id: exchangeList
        objectName: "exchangeList"
        textCenter: qsTr("Select")
    }

    Text {
        id: waitText
        objectName: "waitText"
        y: (root.height - height) / 2
        width: 240
        height: 106
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
        // translations are never markup; the result joins its escaped lines with <br>
        textFormat: Text.PlainText
        fontSizeMode: Text.Fit
        minimumPixelSize: 14
        elide: Text.ElideRight
        font.family: mainwindow.defaultFont
        font.pixelSize: 25
        color: root.textColor
        visible: false
    }

    function reasonOf(msg, known) {
        const text = String(msg).trim()
        if (known.indexOf(text) >= 0)
            return text
        if (known === importReasons && String(msg).indexOf(archiveCountReason) >= 0)
            return archiveCountReason
        return systemError
    }

    function showResult(text, failed) {
        resultText = text
        resultColor = failed ? '#ff0000' : textColor
        state = 'opfinished'
    }

    function exportDone(exitCode, msg) {
        if (exitCode === 0)
            showResult(Format.escaped(qsTr("Export finished")), false)
        else
            showResult(Format.escaped(qsTr("Export failed")) + "<br>" + Format.escaped(qsTr(reasonOf(msg, exportReasons))), true)
    }

    function importDone(exitCode, msg) {
        if (exitCode === 0)
            showResult(Format.escaped(qsTr("Import finished")) + "<br>" + Format.escaped(qsTr("Rebooting")), false)
        else
            showResult(Format.escaped(qsTr("Import failed")) + "<br>" + Format.escaped(qsTr(reasonOf(msg, importReasons))), true)
    }

    Connections {
        target: cMainWindow
        function onExportFinished(exitCode, msg) { root.exportDone(exitCode, msg) }
        function onImportFinished(exitCode, msg) { root.importDone(exitCode, msg) }
    }

    function setTheme(value) {
        guiView_setTheme(value)
        exchangeList.setTheme(value)
    }

    onStateChanged: {
        if (state === 'import' || state === 'export') {
            mainwindow.trySetButtons('', '', '')
            const run = state === 'import' ? cMainWindow.importConfiguration : cMainWindow.exportConfiguration
            // A host without the operation would leave the screen waiting for good.
            if (typeof run !== 'function') {
                if (state === 'import')
                    importDone(-1, "")
                else
                    exportDone(-1, "")
            } else if (state === 'import') {
                cMainWindow.importConfiguration()
            } else {
                cMainWindow.exportConfiguration()
            }
        } else if (state === 'opfinished') {
            mainwindow.trySetButtons('', qsTr("OK"), '')
        }
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
        // Left and right walk the list; outside the choice they would only put the
        // list's arrows on a bar that has no list to go with them.
        if (key === Qt.Key_Left || key === Qt.Key_Right) {
            mainwindow.changeView = true
            if (state === 'select') {
                if (key === Qt.Key_Left)
                    exchangeList.up()
                else
                    exchangeList.down()
            }
            return
        }
        if (state === 'select') {
            const entry = exchangeList.getValue()
            if (!entry)
                return
            mainwindow.changeView = true
            if (entry.target.charAt(0) === '@')
                mainwindow.gotoState(entry.target.substring(1))
            else
                state = entry.target
        } else if (state === 'opfinished') {
            mainwindow.changeView = true
            mainwindow.gotoState('mainmenu')
        }
    }

    Keys.onReleased: (event) => {
        if ((event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right) && !event.isAutoRepeat)
            mainwindow.changeView = false
    }

    state: 'select'
    states: [
        State { name: 'select' },
        State {
            name: 'import'
            PropertyChanges { target: exchangeList; visible: false }
            PropertyChanges { target: waitText; visible: true; text: qsTr("Importing Configuration") }
        },
        State {
            name: 'export'
            PropertyChanges { target: exchangeList; visible: false }
            PropertyChanges { target: waitText; visible: true; text: qsTr("Exporting Configuration") }
        },
        State {
            name: 'opfinished'
            PropertyChanges { target: exchangeList; visible: false }
            PropertyChanges {
                target: waitText
                visible: true
                textFormat: Text.StyledText
                text: root.resultText
                color: root.resultColor
            }
        }
    ]

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        exchangeList.model.append({ name: qsTr("Import"), target: 'import' })
        exchangeList.model.append({ name: qsTr("Export"), target: 'export' })
        if (mainwindow.lastState !== "")
            exchangeList.model.append({ name: qsTr("Back"), target: '@' + mainwindow.lastState })
        exchangeList.updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
