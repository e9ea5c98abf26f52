pragma ComponentBehavior: Bound

import QtQuick

// Job selection: every job of the tool, starting on the job chosen last. Holding Left or
// Right walks on, as on the program selection.
GUIView {
    id: root
    objectName: "jobSelect"
    fontFamily: mainwindow.defaultFont

    headerText: qsTr("Job select")
    focus: true

    property alias list: jobList
    property alias latchTimer: latchTimer

    GenericList {
        id: jobList
        objectName: "jobList"
        textCenter: qsTr("Select")
        delegate: Item {
            id: jobRow
            required property var slot
            required property string name
            width: 240
            height: 52
            SlotText {
                width: 222
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                curr_slot: jobRow.slot
                text: jobRow.name
                color: jobRow.ListView.isCurrentItem ? jobList.textColor : jobList.unSelTextColor
            }
        }
    }

    // Opens the key latch 10 ms after it closed, for as long as the screen is armed; it runs
    // only while the latch is closed, so the screen costs nothing while no key is pressed.
    Timer {
        id: latchTimer
        property bool armed: false
        interval: 10
        running: armed && mainwindow.changeView
        onTriggered: mainwindow.changeView = false
    }

    function setTheme(value) {
        guiView_setTheme(value)
        jobList.setTheme(value)
    }

    function updateJobList() {
        jobList.model.clear()
        const jobs = cMainWindow.getJobList()
        for (let k = 0; k < jobs.length; ++k)
            jobList.model.append({ slot: Number(jobs[k].slot), name: jobs[k].slot + ": " + jobs[k].name })
        jobList.directJobSelect('slot', mainwindow.selectedJob, jobs)
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
            const entry = jobList.getValue()
            if (entry) {
                cMainWindow.jobselected(entry.slot)
                mainwindow.selectedJob = entry.slot
            }
            if (!mainwindow.changeView) {
                mainwindow.changeView = true
                latchTimer.armed = false
                mainwindow.gotoStatePrevMenu()
            }
            return
        }
        if (mainwindow.changeView)
            return
        if (key === Qt.Key_Left)
            jobList.up()
        else
            jobList.down()
        mainwindow.changeView = true
    }

    Keys.onReleased: (event) => {
        if (event.key === Qt.Key_A)
            mainwindow.changeView = false
    }

    Component.onCompleted: {
        setTheme(mainwindow.theme)
        updateJobList()
        latchTimer.armed = true
        jobList.updateBar()
    }
}
