import QtQuick
import QtTest
import Vantor.Ui

Item {
    id: stage
    width: 440
    height: 660

    // One more frame after the last test lets the scene graph free the nodes of the views
    // the tests made; without it they are still held when the window goes.
    Rectangle {
        id: lastFrame
        width: 1
        height: 1
        color: "transparent"
    }

    TestCase {
        id: testCase
        name: "Settings"
        when: windowShown

        function cleanupTestCase() {
            lastFrame.color = "#01000000"
            waitForRendering(lastFrame)
        }

        Component {
            id: settingsComponent
            SettingsView {}
        }

        function test_pickersFollowTheSwitch() {
            const view = createTemporaryObject(settingsComponent, stage,
                                               {model: fixtures.settings(), popover: null})
            verify(view !== null)
            const names = ["language", "voice", "sound", "playAudioTest"]
            for (const name of names)
                verify(findChild(view, name).enabled, name)
            mouseClick(findChild(view, "alertsEnabled"))
            verify(!view.model.alertsEnabled)
            for (const name of names)
                verify(!findChild(view, name).enabled, name)
            verify(findChild(view, "sendTestNotification").enabled)
            verify(findChild(view, "alertsEnabled").enabled)
        }

        function test_refusedLoginItemSnapsBack() {
            const view = createTemporaryObject(settingsComponent, stage,
                                               {model: fixtures.settings(), popover: null})
            fixtures.refuseLoginItem()
            const toggle = findChild(view, "launchAtLogin")
            verify(!toggle.checked)
            mouseClick(toggle)
            verify(!toggle.checked)
            verify(!view.model.launchAtLogin)
        }

        function test_languageOrGenderResetsTheSound_data() {
            return [{tag: "language", picker: "language", index: 2},
                    {tag: "gender", picker: "voice", index: 1}]
        }
        function test_languageOrGenderResetsTheSound(data) {
            const view = createTemporaryObject(settingsComponent, stage,
                                               {model: fixtures.settings(), popover: null})
            const sound = findChild(view, "sound")
            view.model.soundIndex = 1
            compare(sound.currentIndex, 1)
            verify(fixtures.voiceID() !== "")
            const picker = findChild(view, data.picker)
            picker.activated(data.index)
            compare(picker.currentIndex, data.index)
            compare(sound.currentIndex, 0)
            compare(sound.currentText, "Automatic")
            compare(fixtures.voiceID(), "")
        }
    }
}
