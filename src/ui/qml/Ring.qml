import QtQuick
import QtQuick.Shapes
import Vantor.Ui

// The usage ring: a faint full track and, over it, a round-capped arc from twelve o'clock
// clockwise over the given share (clamped, with its 1 % minimum, by the view model). The share
// eases out over 0.2 s, dimming over 0.16 s.
Shape {
    id: root
    property real progress: 0.01
    property color color: "transparent"
    property bool active: true
    property bool reduceMotion: false
    readonly property real lineWidth: 6
    readonly property real radius: (Math.min(width, height) - lineWidth) / 2

    opacity: active ? 1.0 : Theme.inactiveRingOpacity
    antialiasing: true

    Behavior on progress {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 200; easing.type: Easing.OutQuad }
    }
    Behavior on opacity {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 160; easing.type: Easing.OutQuad }
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
}
