import QtQuick
import QtTest

// Base of the scene tests: starts the real scene from the resources with a configuration
// text in the fake host, finds its parts by objectName and grabs it.
TestCase {
    id: root

    property var scene: null

    // A configuration as deployed: a menu, the blue theme, the actual values first; `globals`
    // changes members of "global".
    function deployedConfig(globals) {
        var cfg = {
            global: {
                language: 'en', theme: 'blue', font: "Tavik Sans", startview: 'actualValues',
                firstsetup: false, laserwarning: false, shownokackpopup: false,
                showdataconnectionstatus: true, acknowledge: false
            },
            view: {
                MainMenu: {
                    entries: [
                        { state: 'prgselect', active: true },
                        { state: 'jobselect', active: true },
                        { state: 'info' },
                        { state: 'testview' }
                    ]
                },
                warning: { forceread: false }
            },
            wizard: { start: 'language', transitions: { setdatetime: 'actualValues' } }
        }
        for (var key in globals)
            cfg.global[key] = globals[key]
        return cfg
    }

    // cfg: a configuration object, or a text handed over as it is.
    function startScene(cfg) {
        stopScene()
        cMainWindow.reset()
        if (cfg === undefined)
            cfg = deployedConfig()
        cMainWindow.cfg = typeof cfg === 'string' ? cfg : JSON.stringify(cfg)
        var component = Qt.createComponent("qrc:/qml/main.qml")
        verify(component.status === Component.Ready, component.errorString())
        scene = component.createObject(root)
        verify(scene !== null, "scene created")
        // as the host does once the first frame is shown
        scene.firstFrameShown = true
        return scene
    }

    // The old scene goes at once: destroy() only schedules it, and until then it would still
    // take the keys of the next case.
    function stopScene() {
        if (scene) {
            scene.destroy()
            scene = null
            wait(0)
        }
    }

    function part(name) {
        var item = findChild(scene, name)
        verify(item !== null, "scene part " + name)
        return item
    }

    // Waits until header and bar have slid to where the current state puts them.
    function settle() {
        var header = part("header")
        var bar = part("buttonBar")
        tryCompare(header, "y", header.state === "Visible" ? 0 : -30)
        tryCompare(bar, "y", bar.state === "Visible" ? 290 : 320)
    }

    function grab(fileName) {
        settle()
        var image = grabImage(scene)
        if (fileName)
            image.save(grabDir + "/" + fileName)
        return image
    }

    function isWhite(image, x, y) {
        return image.red(x, y) > 220 && image.green(x, y) > 220 && image.blue(x, y) > 220
    }

    function isRed(image, x, y) {
        return image.red(x, y) > 200 && image.green(x, y) < 80 && image.blue(x, y) < 80
    }

    function countPixels(image, x0, y0, x1, y1, test) {
        var n = 0
        for (var y = y0; y < y1; ++y)
            for (var x = x0; x < x1; ++x)
                if (test(image, x, y))
                    ++n
        return n
    }

    // Which of the bar's three keys show something drawn (a light icon or text).
    function barDrawn(image) {
        return [[5, 65], [90, 150], [175, 235]].map(function (r) {
            return countPixels(image, r[0], 293, r[1], 318, isWhite) > 20
        })
    }

    // What the bar was told to show on its three keys ('@name' is an icon).
    function barStrings() {
        var b = part("buttonBar")
        return [b.btnLeftStr, b.btnMiddleStr, b.btnRightStr]
    }

    // Metrics of the scene's font at a point size (0: the given font object).
    function fontMetrics(pointSize, font) {
        var m = Qt.createQmlObject('import QtQuick; FontMetrics {}', root)
        if (font) {
            m.font = font
        } else {
            m.font.family = scene.defaultFont
            m.font.pointSize = pointSize
            m.font.letterSpacing = 0.5
        }
        return m
    }

    // The names in a list's model.
    function rowTexts(list) {
        var names = []
        for (var i = 0; i < list.model.count; ++i)
            names.push(list.model.get(i).name)
        return names
    }

    // A long code cut into list pieces: each but the last just reaches 215 px at the point
    // size, and together they are the whole text.
    function checkPieces(list, pointSize, minPieces, whole) {
        var m = fontMetrics(pointSize)
        var pieces = rowTexts(list)
        verify(pieces.length >= minPieces, "pieces: " + pieces.length)
        for (var i = 0; i < pieces.length - 1; ++i) {
            verify(m.advanceWidth(pieces[i]) >= 215, "piece " + i + " reaches 215 px")
            verify(m.advanceWidth(pieces[i].substring(0, pieces[i].length - 1)) < 215, "piece " + i + " is the shortest")
        }
        compare(pieces.join(""), whole)
    }

    // Every shown Text item under `item` (its own and its ancestors' visibility).
    function shownTexts(item, out) {
        if (out === undefined)
            out = []
        if (!item || !item.visible || item.opacity === 0)
            return out
        if (typeof item.textFormat === 'number' && typeof item.truncated === 'boolean' && item.text !== "")
            out.push(item)
        for (var i = 0; i < item.children.length; ++i)
            shownTexts(item.children[i], out)
        return out
    }

    // Where a text's drawing starts and ends, in the scene's x.
    function drawnSpan(t) {
        var left = t.leftPadding
        if (t.horizontalAlignment === Text.AlignRight)
            left = t.width - t.rightPadding - t.contentWidth
        else if (t.horizontalAlignment === Text.AlignHCenter)
            left = t.leftPadding + (t.width - t.leftPadding - t.rightPadding - t.contentWidth) / 2
        var x = t.mapToItem(scene, left, 0).x
        return [x, x + t.contentWidth]
    }

    // The shown texts that are drawn beyond their box (cut through a letter or over what lies
    // beside them) or beyond the display's edges, described by object name and text.
    function textsThatDoNotFit(item) {
        var bad = []
        var texts = shownTexts(item)
        for (var i = 0; i < texts.length; ++i) {
            var t = texts[i]
            var span = drawnSpan(t)
            var wide = t.contentWidth > t.width - t.leftPadding - t.rightPadding + 1
            var high = t.height > 0 && t.contentHeight > t.height - t.topPadding - t.bottomPadding + 1
            if (wide || high || span[0] < -1 || span[1] > 241)
                bad.push((t.objectName || "text") + " \"" + t.text + "\" " + Math.round(span[0]) + "+"
                         + Math.round(t.contentWidth) + " in " + Math.round(t.width) + "x" + Math.round(t.height))
        }
        return bad
    }

    function callsTo(name) {
        return cMainWindow.callsTo(name)
    }

    function loggedErrors() {
        return callsTo("syslogError").map(function (c) { return c.args[0] })
    }

    when: windowShown
    visible: true
    width: 240
    height: 320

    function cleanup() {
        stopScene()
    }
}
