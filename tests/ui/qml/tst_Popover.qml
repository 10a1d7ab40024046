import QtQuick
import QtTest
import Vantor.Ui

Item {
    id: stage
    width: 300
    height: 500

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
        name: "Popover"
        when: windowShown

        function cleanupTestCase() {
            lastFrame.color = "#01000000"
            waitForRendering(lastFrame)
        }

        Component {
            id: popoverComponent
            UsagePopoverView {}
        }

        function ringOpacity(card) {
            return findChild(card, "ring").opacity
        }

        function test_expandingOneCollapsesTheOther() {
            const view = createTemporaryObject(popoverComponent, stage, {model: fixtures.popover()})
            const codex = findChild(view, "codexCard")
            const claude = findChild(view, "claudeCard")
            mouseClick(codex, 20, 20)
            compare(view.model.expandedProvider, "codex")
            tryCompare(findChild(codex, "details"), "visible", true)
            // The collapsed card's ring dims while another card is open.
            tryVerify(function() { return Math.abs(ringOpacity(claude) - 0.42) < 1e-6 })
            mouseClick(claude, 20, 20)
            compare(view.model.expandedProvider, "claude")
            verify(!codex.expanded)
            mouseClick(claude, 20, 20)
            compare(view.model.expandedProvider, "")
            tryVerify(function() { return ringOpacity(codex) === 1 && ringOpacity(claude) === 1 })
        }

        function test_reduceMotionJumps() {
            const model = fixtures.popover()
            model.reduceMotion = true
            const view = createTemporaryObject(popoverComponent, stage, {model: model})
            const codex = findChild(view, "codexCard")
            const claude = findChild(view, "claudeCard")
            model.codex.toggle()
            // No animation: every value is at its end at once.
            compare(ringOpacity(claude), 0.42)
            compare(findChild(codex, "logo").width, 24)
            compare(codex.height, codex.implicitHeight)
        }
    }
}
