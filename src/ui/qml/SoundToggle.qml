import QtQuick
import Vantor.Ui

// The "Play reset alert" row: a label and a small switch in a capsule, toggled by a click anywhere on
// it. The switch is drawn here, so opening the popover does not load a controls style.
Rectangle {
    id: root
    property string text
    property bool checked
    property bool reduceMotion: false
    signal toggled(bool value)
    function activate() { root.toggled(!root.checked) }

    implicitHeight: 40
    radius: height / 2
    color: Theme.quaternaryFill
    activeFocusOnTab: true
    border.width: activeFocus ? 2 : 0
    border.color: Theme.accent

    Text {
        textFormat: Text.PlainText
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        text: root.text
        color: Theme.text
        font.pixelSize: Theme.textSize
        font.weight: Font.DemiBold
    }

    Rectangle {
        objectName: "soundSwitch"
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        width: 32
        height: 18
        radius: height / 2
        color: root.checked ? Theme.accent : Theme.switchTrack

        Accessible.role: Accessible.CheckBox
        Accessible.name: root.text
        Accessible.checkable: true
        Accessible.checked: root.checked
        Accessible.onToggleAction: root.toggled(!root.checked)
        Accessible.onPressAction: root.toggled(!root.checked)

        Rectangle {
            width: 14
            height: 14
            radius: 7
            y: 2
            x: root.checked ? parent.width - width - 2 : 2
            color: Theme.switchKnob
            Behavior on x {
                enabled: !root.reduceMotion
                NumberAnimation { duration: 120; easing.type: Easing.OutQuad }
            }
        }

    }

    // The whole row is the switch, its label too.
    MouseArea {
        anchors.fill: parent
        onClicked: root.toggled(!root.checked)
    }
}
