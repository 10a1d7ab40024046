import QtQuick
import QtQuick.Shapes
import Vantor.Ui

// The usage ring: a faint full track and, over it, a round-capped arc from twelve o'clock
// clockwise over the given share (clamped, with its 1 % minimum, by the view model). The share
// eases out over 0.2 s, fading over 0.16 s. A limit nearing its end also shows a mark in the
// middle, so the warning does not rest on its colour alone.
Shape {
    id: root
    property real progress: 0.01
    // The UsageColor: 0 spent (red), 1 nearing (yellow), 2 normal (blue).
    property int tone: 2
    // Values not current, or a card set back while another is open: a lighter arc.
    property bool faded: false
    property bool reduceMotion: false
    property color color: root.tone === 0 ? (root.faded ? Theme.fadedSpentUsage : Theme.spentUsage)
                        : root.tone === 1 ? (root.faded ? Theme.fadedNearingUsage : Theme.nearingUsage)
                        : (root.faded ? Theme.fadedNormalUsage : Theme.normalUsage)
    readonly property real lineWidth: 6
    readonly property real radius: (Math.min(width, height) - lineWidth) / 2

    antialiasing: true

    Behavior on progress {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 200; easing.type: Easing.OutQuad }
    }
    Behavior on color {
        enabled: !root.reduceMotion
        ColorAnimation { duration: 160; easing.type: Easing.OutQuad }
    }

    ShapePath {
        strokeColor: Theme.ringTrack
        strokeWidth: root.lineWidth
        fillColor: "transparent"
        capStyle: ShapePath.FlatCap
        PathAngleArc {
            centerX: root.width / 2
            centerY: root.height / 2
            radiusX: root.radius
            radiusY: root.radius
            startAngle: 0
            sweepAngle: 360
        }
    }
    ShapePath {
        strokeColor: root.color
        strokeWidth: root.lineWidth
        fillColor: "transparent"
        capStyle: ShapePath.RoundCap
        PathAngleArc {
            centerX: root.width / 2
            centerY: root.height / 2
            radiusX: root.radius
            radiusY: root.radius
            startAngle: -90
            sweepAngle: 360 * Math.min(Math.max(root.progress, 0), 1)
        }
    }

    // "!" in the ring's colour: a bar over a dot.
    Item {
        objectName: "nearingMark"
        visible: root.tone === 1
        anchors.centerIn: parent
        width: 3
        height: Math.round(root.radius * 1.1)
        Rectangle {
            width: parent.width
            height: parent.height - parent.width - 2
            radius: width / 2
            color: root.color
        }
        Rectangle {
            y: parent.height - height
            width: parent.width
            height: width
            radius: width / 2
            color: root.color
        }
    }
}
