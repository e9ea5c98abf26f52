pragma ComponentBehavior: Bound

import QtQuick

// The display language: one row per language file with its flag and its own name.
GUIView {
    id: root
    objectName: "language"

    headerText: qsTr("Language")
    fontFamily: mainwindow.defaultFont
    focus: true

    property alias list: langList

    GenericList {
        id: langList
        objectName: "languageList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: langRow
            required property string name
            required property string icon
            width: 240
            height: 52
            Row {
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                Item {
                    width: 45
                    height: 31
                    anchors.verticalCenter: parent.verticalCenter
                    Image {
                        anchors.centerIn: parent
                        width: 31
                        height: 22
                        source: langRow.icon
                    }
                }
                Text {
                    width: 169
                    fontSizeMode: Text.HorizontalFit
                    minimumPointSize: 16
                    elide: Text.ElideRight
                    anchors.verticalCenter: parent.verticalCenter
                    textFormat: Text.PlainText
                    text: langRow.name
                    font.family: mainwindow.defaultFont
                    font.pointSize: mainwindow.basicPointSize
                    font.letterSpacing: 0.5
                    color: langRow.ListView.isCurrentItem ? langList.textColor : langList.unSelTextColor
                }
            }
        }
    }

    function updateBar() {
        langList.updateBar()
    }

    function setTheme(value) {
        guiView_setTheme(value)
        langList.setTheme(value)
    }

    Keys.onPressed: (event) => {
        const key = event.key
        if (key !== Qt.Key_A && key !== Qt.Key_Left && key !== Qt.Key_Right)
            return
        if (!mainwindow.is_none_bms_key_events_open(key)) {
            mainwindow.changeView = true
            return
        }
        if (key === Qt.Key_A) {
            const entry = langList.getValue()
            if (entry && entry.filename !== mainwindow.cfg.global.language) {
                const cfg = JSON.parse(JSON.stringify(mainwindow.cfg))
                cfg.global.language = entry.filename
                mainwindow.saveCfg(cfg)
                cMainWindow.guiCfgFileChanged()
                cMainWindow.setLanguage(entry.filename)
            }
            if (!mainwindow.changeView) {
                mainwindow.changeView = true
                mainwindow.gotoState('mainmenu')
            }
            return
        }
        if (mainwindow.changeView)
            return
        mainwindow.changeView = true
        if (key === Qt.Key_Left)
            langList.up()
        else
            langList.down()
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A || event.key === Qt.Key_Left || event.key === Qt.Key_Right)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        const langs = typeof cMainWindow.getLanguages === 'function' ? cMainWindow.getLanguages() : []
        for (let i = 0; langs && i < langs.length; ++i) {
            const l = langs[i]
            langList.model.append({ code: String(l.langCode), name: String(l.name),
                                    icon: "qrc:/flags/" + l.countryCode, countryCode: String(l.countryCode),
                                    filename: String(l.filename) })
        }
        langList.reset()
        langList.select('filename', mainwindow.cfg.global.language)
        langList.updateBar()
        mainwindow.checkBmsKeyModus()
    }
}
