import QtQuick
import QtQuick.Controls.Fusion
import Vantor.Ui

// The "Play sound" row: a label and a small switch in a capsule.
Rectangle {
    id: root
    property string text
    property bool checked
    signal toggled(bool value)

    implicitHeight: 40
    radius: height / 2
    color: Theme.quaternaryFill

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        text: root.text
        color: Theme.text
        font.pixelSize: 12
        font.weight: Font.DemiBold
    }
    Switch {
        objectName: "soundSwitch"
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        scale: 0.8
        checked: root.checked
        Accessible.name: root.text
        // The state is the truth: after a click, follow it again.
        onToggled: {
            root.toggled(checked)
            checked = Qt.binding(() => root.checked)
        }
    }
}
