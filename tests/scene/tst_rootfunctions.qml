import QtQuick
import QtTest

SceneTestCase {
    name: "RootFunctions"

    function result(cycle, torque) {
        return { prg_nr: "5", prg_name: "M6", result: "1", torque: torque, dTorque: "12.000", angle: "90.00",
                 dAngle: "-", tgs: "0.800", dTgs: "-", cycle: cycle, qcode: "0", row: "17", torqueUnit: "Nm" }
    }

    // The result cache behind the actual values screen, and the identification code away from it.
    function test_resultCache() {
        startScene()
        scene.gotoState('info')
        scene.newIdcode("ABC")
        compare(scene.curridcode, "ABC")
        compare(scene.firstInit, true, "only the actual values screen clears it")
        scene.setResults(result("ID-0001", "12.500"))
        compare(scene.ongoingTightening, false)
        compare(scene.curridcode, "ID-0001")
        compare([scene.ac_prgnr, scene.ac_torque, scene.ac_cycle, scene.ac_row, scene.ac_torqueUnit],
                ["5", "12.500", "ID-0001", "17", "Nm"])

        // the host's reset: cache untouched, the last identification code shown
        scene.newIdcode("SCAN-77")
        scene.setResults(result("-", "-"))
        compare(scene.ongoingTightening, true)
        compare(scene.curridcode, "SCAN-77")
        compare(scene.ac_torque, "12.500")
        compare(scene.ac_cycle, "ID-0001")

        scene.genericListShowArrows = 3
        scene.resetResult()
        compare(scene.ongoingTightening, true)
        compare(scene.genericListShowArrows, 0)
        compare(scene.ac_torque, "12.500")

        scene.setAcCacheValues("1", "a", "0", "1.0", "-", "-", "-", "-", "-", "-", "0", "1", "Nm")
        compare(scene.ac_prgnr, "5", "a cycle of - fills nothing")
    }

    function test_exceptionsAreLogged() {
        startScene()
        scene.updatePrgnr(7)
        scene.updatePrgnr(Symbol("bad"))
        scene.newIdcode(Symbol("bad"))
        scene.displayscanicon(Symbol("bad"))
        var lines = callsTo("logToSys").map(function (c) { return c.args[0] })
        compare(lines.length, 3)
        verify(lines[0].indexOf("JS Exception in updatePrgnr: ") === 0, lines[0])
        verify(lines[1].indexOf("JS Exception in newIdcode:") === 0, lines[1])
        verify(lines[2].indexOf("JS Exception in displayscanicon:") === 0, lines[2])
        compare(part("prgLabel").text, "P:7", "the scene keeps its state")
    }
}
