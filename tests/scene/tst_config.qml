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
        compare(scene.theme, 'blue')
        compare(part("header").theme, 'blue')
        compare(scene.defaultFont, "Tavik Sans Medium")
        compare(part("prgLabel").font.family, "Tavik Sans Medium")
        // no connection states are shown with the default
        compare(part("srvIcon").state, "DISABLED")
    }

    function test_deployedConfiguration() {
        var cfg = deployedConfig()
        cfg.global.theme = 'black'
        cfg.global.language = 'de'
        startScene(cfg)
        compare(loggedErrors(), [])
        compare(callsTo("setLanguage").map(function (c) { return c.args[0] }), ['de'])
        var entries = scene.cfg.view.MainMenu.entries
        compare(entries.length, 4)
        compare(entries[0].name, "Program selection")
        compare(entries[1].name, "Job Select")
        compare(entries[2].name, "System information")
        compare(scene.theme, 'black')
        compare(part("header").theme, 'black')
        compare(part("buttonBar").theme, 'black')
        compare(scene.defaultFont, "Tavik Sans")
    }

    function test_missingGlobalMembers() {
        startScene({ view: { MainMenu: { entries: [] } } })
        compare(loggedErrors(), [])
        compare(scene.theme, 'blue')
        compare(scene.defaultFont, "Tavik Sans")
        compare(scene.state, 'actualValues')
    }

    function test_reloadAppliesTheme() {
        startScene()
        scene.gotoState('info')
        var frame = scene.screen
        compare(frame.textColor, '#000000')
        var cfg = deployedConfig()
        cfg.global.theme = 'black'
        cMainWindow.cfg = JSON.stringify(cfg)
        scene.loadCfg()
        compare(scene.theme, 'black')
        compare(frame.textColor, '#ffffff', "the screen on display follows")
    }

    function test_saveCfg() {
        startScene()
        var cfg = scene.cfg
        cfg.global.theme = 'black'
        scene.saveCfg(cfg)
        compare(cMainWindow.cfg, JSON.stringify(cfg, null, 2))
        verify(cMainWindow.cfg.indexOf('\n  "global": {\n    "language": "en",') >= 0)
        compare(scene.cfg.global.theme, 'black')
    }

    function test_saveWlanLayout() {
        startScene()
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

    function test_json2Values() {
        compare(Json2.stringify({ a: 1.5, b: false, c: "x\ny\u0001", d: undefined, e: function () {}, f: NaN }),
                '{"a":1.5,"b":false,"c":"x\\ny\\u0001","f":null}')
        compare(Json2.stringify([undefined, Infinity, "é"]), '[null,null,"é"]')
        compare(Json2.stringify("top"), '"top"')
        compare(Json2.stringify({ a: [1, 2] }, null, 2), '{\n  "a": [\n    1, \n    2\n  ]\n}')
        // the text written can be read back
        var value = { "interface": false, "connections": [{ "wlan": { "ssid": "ä\\\"" } }] }
        compare(JSON.parse(Json2.stringify(value, null, 2)), value)
    }

    function test_format() {
        startScene()
        compare("{0} of {1}".format("3", 7), "3 of 7")
        compare("{1}{0}{1}".format("a", "b"), "bab")
        compare("{0} {1} {2}".format("x"), "x {1} {2}", "missing arguments stay")
        compare("{0}|{1}|{2}".format(0, false, ""), "0|false|")
        compare("{a} {} {0x}".format("z"), "{a} {} {0x}")
        compare("{10}".format(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, "ten"), "ten")
        compare("plain".format(), "plain")
    }

    function test_connectionStates() {
        cMainWindow.reset()
        startScene()
        compare(callsTo("sendResConnStatus").map(function (c) { return c.args[0] }), [0])
        compare(part("srvIcon").state, "None")

        cMainWindow.calls = []
        scene.resServiceConChanged({ values: { a: 1, b: 0 } })
        compare(callsTo("sendResConnStatus")[0].args[0], 1)
        compare(part("srvIcon").state, "Off")
        scene.resServiceConChanged({ values: { a: 1, b: -1 } })
        compare(callsTo("sendResConnStatus")[1].args[0], 2)
        compare(part("srvIcon").state, "On")
        scene.resServiceConChanged({ values: { a: 2 } })
        compare(callsTo("sendResConnStatus")[2].args[0], 0)
        compare(part("srvIcon").state, "None")

        scene.resServiceConChanged(null)
        compare(loggedErrors().length, 1)
        verify(loggedErrors()[0].indexOf("error in resServiceConChanged ") === 0, loggedErrors()[0])
        compare(part("srvIcon").state, "None", "the scene keeps its state")
    }

    function test_connectionStatesHidden() {
        var cfg = deployedConfig()
        cfg.global.showdataconnectionstatus = false
        startScene(cfg)
        scene.resServiceConChanged({ values: { a: 0 } })
        compare(callsTo("sendResConnStatus")[1].args[0], 1, "the summary is reported anyway")
        compare(part("srvIcon").state, "DISABLED")
        verify(!part("srvIcon").visible)
    }

    function test_connectionStatesAtStart() {
        cMainWindow.reset()
        var cfg = deployedConfig()
        cMainWindow.cfg = JSON.stringify(cfg)
        cMainWindow.resConStates = { values: { xml: 0, op: 1 }, keys: ['xml', 'op'] }
        var component = Qt.createComponent("qrc:/qml/main.qml")
        scene = component.createObject(tc)
        compare(callsTo("getInitResConStates").length, 1)
        compare(callsTo("sendResConnStatus")[0].args[0], 1)
        compare(part("srvIcon").state, "Off")
    }

    function test_readSrvsFile() {
        startScene()
        cMainWindow.srvFiles = { good: '{"data": [{"key": "Port", "val": "4545"}, {"key": "IP", "val": "-"}]}',
                                 bad: '{"data": [' }
        scene.serviceName = 'good'
        var rows = scene.readSrvsFile()
        compare(rows.length, 2)
        compare(rows[0].val, "4545")
        compare(callsTo("readSrvsFile")[0].args[0], 'good')
        scene.serviceName = 'bad'
        compare(scene.readSrvsFile(), [])
        compare(loggedErrors(), ["Error parsing service file: bad"])
        scene.serviceName = 'missing'
        compare(scene.readSrvsFile(), [])
    }
}
