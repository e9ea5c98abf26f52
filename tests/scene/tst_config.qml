import QtQuick
import QtTest
import "qrc:/qml/json2.js" as Json2

SceneTestCase {
    id: tc
    name: "Configuration"

    function test_defaultConfiguration_data() {
        var noMenu = deployedConfig()
        delete noMenu.view.MainMenu
        noMenu.global.theme = 'black'
        var noEntries = deployedConfig()
        noEntries.view.MainMenu = { items: [] }
        return [
            { tag: "unreadable", text: "{ \"global\": " },
            { tag: "empty", text: "" },
            { tag: "not an object", text: "42" },
            { tag: "no main menu", text: JSON.stringify(noMenu) },
            { tag: "no entries", text: JSON.stringify(noEntries) }
        ]
    }

    function test_defaultConfiguration(data) {
        startScene(data.text)
        compare(loggedErrors(), ["error parsing configuration. using default one"])
        compare(scene.cfg, {
            global: { language: 'en', theme: 'blue', font: "Tavik Sans Medium", startview: 'actualValues',
                      firstsetup: false, xmlservice: false, openprotocolservice: false },
            view: {}
        })
        compare(scene.state, 'actualValues')
        compare(callsTo("setLanguage").map(function (c) { return c.args[0] }), ['en'])
        compare(part("header").theme, 'blue')
        compare(part("prgLabel").font.family, "Tavik Sans Medium")
        // no connection states are shown with the default, and the menu holds only Back
        compare(part("srvIcon").state, "DISABLED")
        scene.gotoState('mainmenu')
        var menu = part("menuList")
        compare(menu.model.count, 1)
        compare(menu.model.get(0).name, "Back")
    }

    // A deployed file: its language, theme and font; a file without "global" takes the defaults
    // without an error; a reload re-themes the screen on display.
    function test_deployedConfiguration() {
        var cfg = deployedConfig({ theme: 'black', language: 'de' })
        startScene(cfg)
        compare(loggedErrors(), [])
        compare(callsTo("setLanguage").map(function (c) { return c.args[0] }), ['de'])
        compare(scene.cfg.view.MainMenu.entries[0].name, "Program selection")
        compare(part("buttonBar").theme, 'black')
        compare(scene.defaultFont, "Tavik Sans")

        startScene({ view: { MainMenu: { entries: [] } } })
        compare(loggedErrors(), [])
        compare(scene.theme, 'blue')
        compare(scene.defaultFont, "Tavik Sans")
        compare(scene.state, 'actualValues')

        scene.gotoState('info')
        var frame = scene.screen
        compare(frame.textColor, '#000000')
        cMainWindow.cfg = JSON.stringify(cfg)
        scene.loadCfg()
        compare(scene.theme, 'black')
        compare(frame.textColor, '#ffffff', "the screen on display follows")

        // every screen's title follows the configured font, as its rows do
        cfg.global.font = "Tavik Sans Medium"
        startScene(cfg)
        var titled = 0
        for (var i = 0; i < scene.states.length; ++i) {
            scene.gotoState(scene.states[i].name)
            var title = scene.screen === null ? null : findChild(scene.screen, "guiViewTitleText")
            if (title === null || title.text === "")
                continue
            compare(title.font.family, "Tavik Sans Medium", scene.state)
            ++titled
        }
        verify(titled >= 16, "titles: " + titled)
    }

    // The configuration is written indented by two; the WLAN file in its own layout.
    function test_saveFiles() {
        startScene()
        var cfg = scene.cfg
        cfg.global.theme = 'black'
        scene.saveCfg(cfg)
        compare(cMainWindow.cfg, JSON.stringify(cfg, null, 2))
        compare(scene.cfg.global.theme, 'black')

        scene.saveWlan({
            "interface": true,
            "connections": [
                { "wlan": { "ssid": "Line 4", "psk": "a\"b" }, "prio": 1 },
                { "wlan": {}, "tags": [] }
            ],
            "region": null
        })
        compare(cMainWindow.wlan,
                '{\n' +
                '  "interface": true, \n' +
                '  "connections": [\n' +
                '    {\n' +
                '      "wlan": {\n' +
                '        "ssid": "Line 4", \n' +
                '        "psk": "a\\"b"\n' +
                '      }, \n' +
                '      "prio": 1\n' +
                '    }, \n' +
                '    {\n' +
                '      "wlan": {}, \n' +
                '      "tags": []\n' +
                '    }\n' +
                '  ], \n' +
                '  "region": null\n' +
                '}')
    }

    // The JSON writer of the WLAN file and the text formatter of the translations.
    function test_json2AndFormat() {
        compare(Json2.stringify({ a: 1.5, b: false, c: "x\ny\u0001", d: undefined, e: function () {}, f: NaN }),
                '{"a":1.5,"b":false,"c":"x\\ny\\u0001","f":null}')
        compare(Json2.stringify([undefined, Infinity, "é"]), '[null,null,"é"]')
        // the text written can be read back
        var value = { "interface": false, "connections": [{ "wlan": { "ssid": "ä\\\"" } }] }
        compare(JSON.parse(Json2.stringify(value, null, 2)), value)
        startScene()
        compare("{1}{0}{1}".format("a", "b"), "bab")
        compare("{0} {1} {2}".format("x"), "x {1} {2}", "missing arguments stay")
        compare("{0}|{1}|{2}".format(0, false, ""), "0|false|")
        compare("{a} {} {0x}".format("z"), "{a} {} {0x}")
        compare("{10}".format(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, "ten"), "ten")
    }

    // The summary of the connection states goes to the host (0 none, 1 one is down, 2 all up;
    // the icon's states are the header's test), also when the icon is configured away; a
    // broken report is logged and changes nothing.
    function test_connectionStates() {
        cMainWindow.reset()
        startScene()
        compare(callsTo("sendResConnStatus").map(function (c) { return c.args[0] }), [0])
        scene.resServiceConChanged({ values: { a: 1, b: 0 } })
        scene.resServiceConChanged({ values: { a: 1, b: -1 } })
        scene.resServiceConChanged({ values: { a: 2 } })
        compare(callsTo("sendResConnStatus").map(function (c) { return c.args[0] }), [0, 1, 2, 0])
        scene.resServiceConChanged(null)
        compare(loggedErrors().length, 1)
        verify(loggedErrors()[0].indexOf("error in resServiceConChanged ") === 0, loggedErrors()[0])
        compare(part("srvIcon").state, "None", "the scene keeps its state")

        startScene(deployedConfig({ showdataconnectionstatus: false }))
        scene.resServiceConChanged({ values: { a: 0 } })
        compare(callsTo("sendResConnStatus")[1].args[0], 1, "the summary is reported anyway")
        compare(part("srvIcon").state, "DISABLED")
        verify(!part("srvIcon").visible)
    }

    // The states the host read before the scene came up are shown at once.
    function test_connectionStatesAtStart() {
        cMainWindow.reset()
        cMainWindow.cfg = JSON.stringify(deployedConfig())
        cMainWindow.resConStates = { values: { xml: 0, op: 1 }, keys: ['xml', 'op'] }
        scene = Qt.createComponent("qrc:/qml/main.qml").createObject(tc)
        compare(callsTo("getInitResConStates").length, 1)
        compare(callsTo("sendResConnStatus")[0].args[0], 1)
        // the header's symbols are built after the first frame and show it then
        compare(part("header").srvState, "Off")
        scene.firstFrameShown = true
        compare(part("srvIcon").state, "Off")
    }

    // A broken or missing service file gives no rows (the good one is on the service screen).
    function test_readSrvsFile() {
        startScene()
        cMainWindow.srvFiles = { bad: '{"data": [' }
        scene.serviceName = 'bad'
        compare(scene.readSrvsFile(), [])
        compare(loggedErrors(), ["Error parsing service file: bad"])
        scene.serviceName = 'missing'
        compare(scene.readSrvsFile(), [])
    }
}
