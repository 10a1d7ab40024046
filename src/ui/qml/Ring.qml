import QtQuick
import Vantor.Ui

// The usage ring with its timings: the share eases out over 0.2 s, dimming over 0.16 s.
CircularDeterminateIndicator {
    id: root
    property bool active: true
    property bool reduceMotion: false

    trackColor: Theme.ringTrack
    lineWidth: 6
    opacity: active ? 1.0 : Theme.inactiveRingOpacity

    Behavior on progress {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 200; easing.type: Easing.OutQuad }
    }
    Behavior on opacity {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 160; easing.type: Easing.OutQuad }
    }
}
